#pragma once
// The MPEG chain of a hand-built MP3 graph: the stream splitter opens the
// file its input is connected to (and refuses data that is not MPEG audio),
// the layer-3 decoder hands the decoded PCM to whatever follows.

#include "media/graph/Filter.h"

class Mp3Reader;

class CMpegSplitterFilter final : public CBaseFilter {
public:
    CMpegSplitterFilter();
    std::string Describe() const override;

private:
    friend class MpegSplitterInputPin;
    // The output pin appears once the input is connected, as the stream's
    // format is known only then.
    [[nodiscard]] HRESULT OpenStream(const std::string& path);
    void CloseStream();

    std::shared_ptr<class MpegSplitterOutputPin> m_output;
    std::string m_streamText;
};

class CMp3DecoderFilter final : public CBaseFilter {
public:
    CMp3DecoderFilter();
    std::string Describe() const override;
};
