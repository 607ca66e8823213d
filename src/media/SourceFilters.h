#pragma once
// Source filters: the file source that AddSourceFilter adds (its Stream pin
// feeds the MPEG splitter), and the sound-file source that RenderFile uses
// (a decoder behind one PCM output pin).

#include "Filter.h"

#include <memory>
#include <string>

// Class identifier texts of the two sources.
namespace clsid {
inline constexpr const char* AsyncFileSource = "E436EBB5-524F-11CE-9F53-0020AF0BA770";
inline constexpr const char* SoundFileSource = "D51BD5A1-7548-11CF-A520-0080C77EF58A";
} // namespace clsid

class CFileSourceFilter final : public CBaseFilter {
public:
    explicit CFileSourceFilter(std::string path);
    const std::string& Path() const { return m_path; }
    std::string Describe() const override { return "file=" + m_path; }

private:
    std::string m_path;
};

class CSoundFileSourceFilter final : public CBaseFilter {
public:
    CSoundFileSourceFilter(std::string path, std::shared_ptr<IPcmReader> reader, std::string format);
    std::string Describe() const override;

private:
    std::string m_path;
    std::string m_formatText;
};
