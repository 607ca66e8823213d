#include "media/filters/MpegFilters.h"

#include "media/graph/ClassIds.h"
#include "media/decode/Mp3Reader.h"
#include "media/decode/SourceKind.h"

class MpegSplitterOutputPin final : public CPin {
public:
    explicit MpegSplitterOutputPin(CBaseFilter& owner)
        : CPin(owner, "Audio", PINDIR_OUTPUT)
    {
    }
    std::vector<MediaType> EnumMediaTypes() const override
    {
        if (!m_reader)
            return {};
        MediaType type;
        type.kind = MediaKind::MpegAudio;
        type.audio = m_reader->Format();
        type.path = m_path;
        return {type};
    }
    std::shared_ptr<IPcmReader> m_reader;
    std::string m_path;
};

class MpegSplitterInputPin final : public CPin {
public:
    explicit MpegSplitterInputPin(CMpegSplitterFilter& owner)
        : CPin(owner, "Input", PINDIR_INPUT)
        , m_splitter(owner)
    {
    }
    HRESULT QueryAccept(const MediaType& type) const override
    {
        return type.kind == MediaKind::Stream ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
    }
    HRESULT CompleteConnect(CPin&, const MediaType& type) override { return m_splitter.OpenStream(type.path); }
    void BreakConnect() override { m_splitter.CloseStream(); }

private:
    CMpegSplitterFilter& m_splitter;
};

CMpegSplitterFilter::CMpegSplitterFilter()
    : CBaseFilter(clsid::MPEG1Splitter)
{
    AddPin(std::make_shared<MpegSplitterInputPin>(*this));
}

HRESULT CMpegSplitterFilter::OpenStream(const std::string& path)
{
    // libmpg123 would take chance patterns in other data (a WAV's samples)
    // for frames and decode noise.
    if (DetectSourceKind(path) != SourceKind::MpegAudio) {
        SetLastError("cannot decode " + path + ": no MPEG audio found in the file");
        return VFW_E_UNSUPPORTED_STREAM;
    }
    std::string reason;
    auto reader = Mp3Reader::Open(path, &reason);
    if (!reader) {
        SetLastError(reason);
        return VFW_E_UNSUPPORTED_STREAM;
    }
    m_streamText = reader->Describe();
    if (!m_output) {
        m_output = std::make_shared<MpegSplitterOutputPin>(*this);
        AddPin(m_output);
    }
    m_output->m_reader = std::shared_ptr<IPcmReader>(std::move(reader));
    m_output->m_path = path;
    return S_OK;
}

void CMpegSplitterFilter::CloseStream()
{
    // The pin stays (pins never leave a filter); it just has nothing to give.
    if (m_output && !m_output->IsConnected())
        m_output->m_reader.reset();
}

std::string CMpegSplitterFilter::Describe() const
{
    return m_streamText.empty() ? std::string() : "stream=" + m_streamText;
}

namespace {

class DecoderInputPin final : public CPin {
public:
    explicit DecoderInputPin(CBaseFilter& owner)
        : CPin(owner, "XForm In", PINDIR_INPUT)
    {
    }
    HRESULT QueryAccept(const MediaType& type) const override
    {
        return type.kind == MediaKind::MpegAudio ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
    }
    HRESULT CompleteConnect(CPin& peer, const MediaType&) override
    {
        auto* splitterPin = dynamic_cast<MpegSplitterOutputPin*>(&peer);
        if (!splitterPin || !splitterPin->m_reader)
            return VFW_E_TYPE_NOT_ACCEPTED;
        m_reader = splitterPin->m_reader;
        return S_OK;
    }
    void BreakConnect() override { m_reader.reset(); }
    std::shared_ptr<IPcmReader> m_reader;
};

class DecoderOutputPin final : public CPin {
public:
    DecoderOutputPin(CBaseFilter& owner, DecoderInputPin& input)
        : CPin(owner, "XForm Out", PINDIR_OUTPUT)
        , m_input(input)
    {
    }
    std::vector<MediaType> EnumMediaTypes() const override
    {
        if (!m_input.m_reader)
            return {};
        MediaType type;
        type.kind = MediaKind::Pcm;
        type.audio = m_input.m_reader->Format();
        return {type};
    }
    std::shared_ptr<IPcmReader> PcmSource() override { return m_input.m_reader; }

private:
    DecoderInputPin& m_input;
};

} // namespace

CMp3DecoderFilter::CMp3DecoderFilter()
    : CBaseFilter(clsid::Mp3Decoder)
{
    auto input = std::make_shared<DecoderInputPin>(*this);
    auto output = std::make_shared<DecoderOutputPin>(*this, *input);
    AddPin(input);
    AddPin(output);
}

std::string CMp3DecoderFilter::Describe() const
{
    return "decoder=libmpg123, gapless, float";
}
