#pragma once
// Source filters: the file source that AddSourceFilter adds (its Stream pin
// feeds the MPEG splitter), and the sound-file source that RenderFile uses
// (a decoder behind one PCM output pin). Both are created empty and given
// their file by Load.

#include "media/graph/Filter.h"

#include <memory>
#include <string>

class CFileSourceFilter final : public CBaseFilter {
public:
    CFileSourceFilter();
    // Checks that `path` can be read as a regular file.
    [[nodiscard]] HRESULT Load(const std::string& path) override;
    const std::string& Path() const { return m_path; }
    std::string Describe() const override { return "file=" + m_path; }

private:
    std::string m_path;
};

class CSoundFileSourceFilter final : public CBaseFilter {
public:
    CSoundFileSourceFilter();
    // Opens the decoder for `path`; the output pin appears with it.
    [[nodiscard]] HRESULT Load(const std::string& path) override;
    std::string Describe() const override;

private:
    std::string m_path;
    std::string m_formatText;
};
