#include "SourceFilters.h"

namespace {

class FileSourceOutputPin final : public CPin {
public:
    FileSourceOutputPin(CBaseFilter& owner, std::string path)
        : CPin(owner, "Output", PINDIR_OUTPUT)
        , m_path(std::move(path))
    {
    }
    std::vector<MediaType> EnumMediaTypes() const override
    {
        MediaType type;
        type.kind = MediaKind::Stream;
        type.path = m_path;
        return {type};
    }

private:
    std::string m_path;
};

class PcmOutputPin final : public CPin {
public:
    PcmOutputPin(CBaseFilter& owner, std::shared_ptr<IPcmReader> reader)
        : CPin(owner, "Output", PINDIR_OUTPUT)
        , m_reader(std::move(reader))
    {
    }
    std::vector<MediaType> EnumMediaTypes() const override
    {
        MediaType type;
        type.kind = MediaKind::Pcm;
        type.audio = m_reader->Format();
        return {type};
    }
    std::shared_ptr<IPcmReader> PcmSource() override { return m_reader; }

private:
    std::shared_ptr<IPcmReader> m_reader;
};

} // namespace

CFileSourceFilter::CFileSourceFilter(std::string path)
    : CBaseFilter(clsid::AsyncFileSource)
    , m_path(std::move(path))
{
    AddPin(std::make_shared<FileSourceOutputPin>(*this, m_path));
}

CSoundFileSourceFilter::CSoundFileSourceFilter(std::string path, std::shared_ptr<IPcmReader> reader,
                                               std::string format)
    : CBaseFilter(clsid::SoundFileSource)
    , m_path(std::move(path))
    , m_formatText(std::move(format))
{
    AddPin(std::make_shared<PcmOutputPin>(*this, std::move(reader)));
}

std::string CSoundFileSourceFilter::Describe() const
{
    return "file=" + m_path + (m_formatText.empty() ? "" : "\\nformat=" + m_formatText);
}
