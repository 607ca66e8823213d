// The editing timeline's nodes and the validation of its sources.

#include "media/render/Timeline.h"

#include "media/graph/MediaTypeValue.h"
#include "media/decode/OpenReader.h"
#include "media/graph/PcmReader.h"

#include <algorithm>
#include <filesystem>

namespace {
// Readers kept open from validation to streaming; beyond this many sources
// each is opened again when the stream reaches it, so memory stays flat.
constexpr std::size_t kMaxKeptReaders = 8;
} // namespace

HRESULT CAMTimelineObj::GetTimelineType(TIMELINE_MAJOR_TYPE* type) const
{
    if (!type)
        return E_POINTER;
    *type = m_type;
    return S_OK;
}

HRESULT CAMTimelineObj::SetStartStop(REFERENCE_TIME start, REFERENCE_TIME stop)
{
    if (stop < start)
        return E_INVALIDARG;
    m_start = start;
    m_stop = stop;
    return S_OK;
}

HRESULT CAMTimelineObj::GetStartStop(REFERENCE_TIME* start, REFERENCE_TIME* stop) const
{
    if (!start || !stop)
        return E_POINTER;
    *start = m_start;
    *stop = m_stop;
    return S_OK;
}

HRESULT CAMTimelineSrc::SetMediaName(const std::string& path)
{
    m_path = path;
    m_opened.reset();
    return S_OK;
}

HRESULT CAMTimelineSrc::GetMediaName(std::string* path) const
{
    if (!path)
        return E_POINTER;
    *path = m_path;
    return S_OK;
}

HRESULT CAMTimelineSrc::SetMediaTimes(REFERENCE_TIME start, REFERENCE_TIME stop)
{
    if (start < 0 || stop < start)
        return E_INVALIDARG;
    m_mediaStart = start;
    m_mediaStop = stop;
    return S_OK;
}

HRESULT CAMTimelineSrc::GetMediaTimes(REFERENCE_TIME* start, REFERENCE_TIME* stop) const
{
    if (!start || !stop)
        return E_POINTER;
    *start = m_mediaStart;
    *stop = m_mediaStop;
    return S_OK;
}

std::shared_ptr<IPcmReader> CAMTimelineSrc::TakeOpenedReader()
{
    return std::move(m_opened);
}

void CAMTimelineSrc::KeepOpenedReader(std::shared_ptr<IPcmReader> reader)
{
    m_opened = std::move(reader);
}

HRESULT CAMTimelineTrack::SrcAdd(const std::shared_ptr<CAMTimelineObj>& source)
{
    auto src = std::dynamic_pointer_cast<CAMTimelineSrc>(source);
    if (!src)
        return source ? E_NOINTERFACE : E_POINTER;
    m_sources.push_back(std::move(src));
    return S_OK;
}

std::vector<std::shared_ptr<CAMTimelineSrc>> CAMTimelineTrack::Sources() const
{
    std::vector<std::shared_ptr<CAMTimelineSrc>> sorted = m_sources;
    std::stable_sort(sorted.begin(), sorted.end(), [](const auto& a, const auto& b) {
        REFERENCE_TIME aStart = 0, aStop = 0, bStart = 0, bStop = 0;
        a->GetStartStop(&aStart, &aStop);
        b->GetStartStop(&bStart, &bStop);
        return aStart < bStart;
    });
    return sorted;
}

HRESULT CAMTimelineGroup::SetMediaType(const CMediaTypeValue* type)
{
    if (!type)
        return E_POINTER;
    if (!(type->majortype == MEDIATYPE_Audio))
        return VFW_E_TYPE_NOT_ACCEPTED; // this engine renders audio groups only
    m_audio = true;
    return S_OK;
}

HRESULT CAMTimelineGroup::SetOutputFormat(const AudioFormat& format)
{
    if (!format.Valid())
        return E_INVALIDARG;
    m_audio = true;
    m_format = format;
    return S_OK;
}

HRESULT CAMTimelineGroup::VTrackInsBefore(const std::shared_ptr<CAMTimelineObj>& track, long priority)
{
    auto node = std::dynamic_pointer_cast<CAMTimelineTrack>(track);
    if (!node)
        return track ? E_NOINTERFACE : E_POINTER;
    if (priority < 0 || priority >= static_cast<long>(m_tracks.size()))
        m_tracks.push_back(std::move(node));
    else
        m_tracks.insert(m_tracks.begin() + priority, std::move(node));
    return S_OK;
}

HRESULT CAMTimelineGroup::VTrackGetCount(long* count) const
{
    if (!count)
        return E_POINTER;
    *count = static_cast<long>(m_tracks.size());
    return S_OK;
}

HRESULT CAMTimeline::CreateEmptyNode(std::shared_ptr<CAMTimelineObj>* node, TIMELINE_MAJOR_TYPE type)
{
    if (!node)
        return E_POINTER;
    switch (type) {
    case TIMELINE_MAJOR_TYPE_GROUP: *node = std::make_shared<CAMTimelineGroup>(); return S_OK;
    case TIMELINE_MAJOR_TYPE_TRACK: *node = std::make_shared<CAMTimelineTrack>(); return S_OK;
    case TIMELINE_MAJOR_TYPE_SOURCE: *node = std::make_shared<CAMTimelineSrc>(); return S_OK;
    default: node->reset(); return E_NOTIMPL; // no compositions, transitions or effects
    }
}

HRESULT CAMTimeline::AddGroup(const std::shared_ptr<CAMTimelineObj>& group)
{
    auto node = std::dynamic_pointer_cast<CAMTimelineGroup>(group);
    if (!node)
        return group ? E_NOINTERFACE : E_POINTER;
    std::lock_guard lock(m_mutex);
    if (std::find(m_groups.begin(), m_groups.end(), node) != m_groups.end())
        return E_INVALIDARG;
    m_groups.push_back(std::move(node));
    return S_OK;
}

HRESULT CAMTimeline::GetGroupCount(long* count) const
{
    if (!count)
        return E_POINTER;
    std::lock_guard lock(m_mutex);
    *count = static_cast<long>(m_groups.size());
    return S_OK;
}

HRESULT CAMTimeline::GetGroup(std::shared_ptr<CAMTimelineObj>* group, long index) const
{
    if (!group)
        return E_POINTER;
    std::lock_guard lock(m_mutex);
    if (index < 0 || index >= static_cast<long>(m_groups.size()))
        return E_INVALIDARG;
    *group = m_groups[static_cast<std::size_t>(index)];
    return S_OK;
}

HRESULT CAMTimeline::ValidateSourceNames(long flags, const void* override, long notifyEvent)
{
    (void)flags;  // never a pop-up, never a replaced name: failures are reported
    (void)override;
    (void)notifyEvent;
    std::size_t kept = 0;
    for (const auto& group : Groups()) {
        for (const auto& track : group->Tracks()) {
            for (const auto& source : track->Sources()) {
                const std::string& path = source->MediaName();
                std::string reason;
                std::shared_ptr<IPcmReader> reader;
                if (!path.empty())
                    reader = OpenPcmReader(path, &reason);
                if (!reader || !reader->Format().Valid()) {
                    std::error_code ec;
                    const bool exists = !path.empty() && std::filesystem::exists(path, ec);
                    if (path.empty())
                        reason = "a source of the timeline has no file name";
                    else if (reason.empty())
                        reason = "cannot read " + path + ": no audio in the file";
                    else if (reason.find(path) == std::string::npos)
                        reason = "cannot read " + path + ": " + reason;
                    std::lock_guard lock(m_mutex);
                    m_lastError = reason;
                    return exists ? VFW_E_INVALID_FILE_FORMAT : VFW_E_NOT_FOUND_FILE;
                }
                source->SetSourceFormat(reader->Format());
                if (kept < kMaxKeptReaders) {
                    source->KeepOpenedReader(std::move(reader));
                    ++kept;
                }
            }
        }
    }
    std::lock_guard lock(m_mutex);
    m_lastError.clear();
    return S_OK;
}

std::string CAMTimeline::LastError() const
{
    std::lock_guard lock(m_mutex);
    return m_lastError;
}
