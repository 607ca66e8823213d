#include "media/filters/SourceFilters.h"

#include "media/decode/OpenReader.h"
#include "media/graph/ClassIds.h"
#include "media/graph/UniqueFd.h"

namespace {

class FileSourceOutputPin final : public CPin {
public:
    FileSourceOutputPin(CBaseFilter& owner, const std::string& path)
        : CPin(owner, "Output", PINDIR_OUTPUT)
        , m_path(path)
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
    const std::string& m_path; // the owner's, set by Load
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

CFileSourceFilter::CFileSourceFilter()
    : CBaseFilter(clsid::AsyncFileSource)
{
    AddPin(std::make_shared<FileSourceOutputPin>(*this, m_path));
}

HRESULT CFileSourceFilter::Load(const std::string& path)
{
    std::string reason;
    if (!OpenForReading(path, &reason)) {
        SetLastError(reason);
        return VFW_E_NOT_FOUND_FILE;
    }
    m_path = path;
    return S_OK;
}

CSoundFileSourceFilter::CSoundFileSourceFilter()
    : CBaseFilter(clsid::SoundFileSource)
{
}

HRESULT CSoundFileSourceFilter::Load(const std::string& path)
{
    if (!EnumPins().empty())
        return E_UNEXPECTED;
    std::string reason;
    std::shared_ptr<IPcmReader> reader = OpenPcmReader(path, &reason);
    if (!reader) {
        SetLastError(reason);
        return VFW_E_UNSUPPORTED_STREAM;
    }
    m_path = path;
    m_formatText = reader->Describe();
    AddPin(std::make_shared<PcmOutputPin>(*this, std::move(reader)));
    return S_OK;
}

std::string CSoundFileSourceFilter::Describe() const
{
    return "file=" + m_path + (m_formatText.empty() ? "" : "\\nformat=" + m_formatText);
}
