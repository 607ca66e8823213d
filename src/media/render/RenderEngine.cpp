// The render engine: one timeline source filter with a PCM output pin per
// group. A group's reader plays its sources in timeline order, back to back:
// each source cut to its media times (frames [round(t0*r), round(t1*r)) of
// its own rate r), then converted to the group's format.

#include "media/render/RenderEngine.h"

#include "media/graph/CFilterGraph.h"
#include "media/pcm/PcmStages.h"
#include "media/render/Timeline.h"
#include "media/decode/OpenReader.h"
#include "media/decode/SourceKind.h"
#include "media/graph/ClassIds.h"

#include <algorithm>
#include <mutex>

namespace {

// Sources whose opened reader stays open from the build to the stream; the
// others are opened when the stream reaches them.
constexpr std::size_t kMaxOpenReaders = 8;
// Cuts shorter than this (about 6 s at 44.1 kHz) decode on one thread.
constexpr std::int64_t kParallelMinFrames = 262144;

struct SourceInfo {
    std::string path;
    std::shared_ptr<IPcmReader> reader; // open now (may be null: opened later)
    AudioFormat format;
    std::int64_t firstFrame = 0; // the cut in the source's own frames
    std::int64_t endFrame = 0;
};

// The group's sources back to back in `format`: each cut, then converted
// straight to that format.
std::shared_ptr<IPcmReader> BuildGroupReader(std::vector<SourceInfo>& sources, const AudioFormat& format,
                                             bool parallelDecode)
{
    std::vector<ConcatPiece> pieces;
    for (auto& info : sources) {
        ConcatPiece piece;
        piece.frames = ConvertedLength(info.endFrame - info.firstFrame, info.format.sampleRate, format.sampleRate);
        const std::string path = info.path;
        const std::int64_t first = info.firstFrame, end = info.endFrame;
        const AudioFormat sourceFormat = info.format;
        SourceOpener reopen = [path, sourceFormat](std::string* reason) -> std::shared_ptr<IPcmReader> {
            auto reader = std::shared_ptr<IPcmReader>(OpenPcmReader(path, reason));
            if (reader && reader->Format() != sourceFormat) {
                *reason = path + " changed while the job ran";
                return nullptr;
            }
            return reader;
        };
        const bool twoLanes = parallelDecode && end - first >= kParallelMinFrames &&
                              DetectSourceKind(path) == SourceKind::MpegAudio;
        auto stage = [=](std::shared_ptr<IPcmReader> reader) -> std::shared_ptr<IPcmReader> {
            if (twoLanes)
                return MakeConvertReader(MakeParallelDecodeReader(reopen, std::move(reader), first, end, path), format);
            return MakeConvertReader(MakeCutReader(std::move(reader), first, end, path), format);
        };
        if (info.reader) // used once; a second reader of the group opens the file again
            piece.opened = stage(std::move(info.reader));
        piece.open = [reopen, stage](std::string* reason) -> std::shared_ptr<IPcmReader> {
            auto reader = reopen(reason);
            return reader ? stage(std::move(reader)) : nullptr;
        };
        pieces.push_back(std::move(piece));
    }
    return MakeConcatReader(format, std::move(pieces));
}

class CGroupOutputPin final : public CPin, public IPcmSourceAnyFormat {
public:
    CGroupOutputPin(CBaseFilter& owner, std::string name, const AudioFormat& format, std::vector<SourceInfo> sources,
                    bool parallelDecode)
        : CPin(owner, std::move(name), PINDIR_OUTPUT), m_format(format), m_sources(std::move(sources)),
          m_parallelDecode(parallelDecode)
    {
    }
    std::vector<MediaType> EnumMediaTypes() const override { return {MediaType{MediaKind::Pcm, m_format, {}}}; }

    std::shared_ptr<IPcmReader> PcmSource() override
    {
        std::lock_guard lock(m_mutex);
        if (!m_reader)
            m_reader = BuildGroupReader(m_sources, m_format, m_parallelDecode);
        return m_reader;
    }

    std::shared_ptr<IPcmReader> PcmSourceAs(const AudioFormat& format) override
    {
        if (format == m_format)
            return PcmSource();
        std::lock_guard lock(m_mutex);
        return BuildGroupReader(m_sources, format, m_parallelDecode);
    }

private:
    AudioFormat m_format;
    std::mutex m_mutex;
    std::vector<SourceInfo> m_sources;
    bool m_parallelDecode = false;
    std::shared_ptr<IPcmReader> m_reader;
};

class CTimelineSourceFilter final : public CBaseFilter {
public:
    CTimelineSourceFilter() : CBaseFilter(clsid::TimelineSource) {}
    void AddGroupPin(const AudioFormat& format, std::vector<SourceInfo> sources, bool parallelDecode,
                     std::string description)
    {
        const std::string name = "Group " + std::to_string(EnumPins().size());
        AddPin(std::make_shared<CGroupOutputPin>(*this, name, format, std::move(sources), parallelDecode));
        m_description += (m_description.empty() ? "" : "; ") + description;
    }
    std::string Describe() const override { return m_description; }

private:
    std::string m_description;
};

} // namespace

CRenderEngine::CRenderEngine() = default;
CRenderEngine::~CRenderEngine() = default;

HRESULT CRenderEngine::SetTimelineObject(const std::shared_ptr<CAMTimeline>& timeline)
{
    if (!timeline)
        return E_POINTER;
    m_timeline = timeline;
    m_graph.reset();
    m_source.reset();
    return S_OK;
}

HRESULT CRenderEngine::SetParallelDecode(bool parallel)
{
    m_parallelDecode = parallel;
    return S_OK;
}

HRESULT CRenderEngine::GetTimelineObject(std::shared_ptr<CAMTimeline>* timeline) const
{
    if (!timeline)
        return E_POINTER;
    *timeline = m_timeline;
    return S_OK;
}

HRESULT CRenderEngine::ConnectFrontEnd()
{
    if (!m_timeline) {
        m_lastError = "the render engine has no timeline";
        return E_UNEXPECTED;
    }
    auto source = std::make_shared<CTimelineSourceFilter>();
    std::size_t openReaders = 0;
    const auto groups = m_timeline->Groups();
    for (std::size_t g = 0; g < groups.size(); ++g) {
        const auto& group = groups[g];
        if (!group->IsAudio()) {
            m_lastError = "group " + std::to_string(g) + " of the timeline is not an audio group";
            return VFW_E_UNSUPPORTED_STREAM;
        }
        // All tracks' sources in timeline order (no mixing: one stream).
        std::vector<std::shared_ptr<CAMTimelineSrc>> nodes;
        for (const auto& track : group->Tracks())
            for (auto& node : track->Sources())
                nodes.push_back(node);
        std::stable_sort(nodes.begin(), nodes.end(), [](const auto& a, const auto& b) {
            REFERENCE_TIME aStart = 0, aStop = 0, bStart = 0, bStop = 0;
            a->GetStartStop(&aStart, &aStop);
            b->GetStartStop(&bStart, &bStop);
            return aStart < bStart;
        });

        std::vector<SourceInfo> sources;
        AudioFormat groupFormat;
        for (auto& node : nodes) {
            SourceInfo info{node->MediaName(), node->TakeOpenedReader(), {}, 0, 0};
            if (!info.reader) {
                std::string reason;
                info.reader = OpenPcmReader(node->MediaName(), &reason);
                if (!info.reader) {
                    m_lastError = reason.empty() ? "cannot open " + node->MediaName() : reason;
                    return VFW_E_NOT_FOUND_FILE;
                }
            }
            info.format = info.reader->Format();
            if (!info.format.Valid()) {
                m_lastError = "no audio in " + node->MediaName();
                return VFW_E_INVALID_FILE_FORMAT;
            }
            info.firstFrame = TimeToFrame(node->MediaStart(), info.format.sampleRate);
            info.endFrame = TimeToFrame(node->MediaStop(), info.format.sampleRate);
            const std::int64_t length = info.reader->LengthFrames();
            if (length >= 0)
                info.endFrame = std::min(info.endFrame, length);
            info.firstFrame = std::clamp<std::int64_t>(info.firstFrame, 0, std::max<std::int64_t>(0, info.endFrame));
            info.endFrame = std::max(info.endFrame, info.firstFrame);
            groupFormat.sampleRate = std::max(groupFormat.sampleRate, info.format.sampleRate);
            groupFormat.channels = std::max(groupFormat.channels, std::min(info.format.channels, 2));
            if (openReaders < kMaxOpenReaders)
                ++openReaders;
            else
                info.reader.reset(); // opened again when the stream gets there
            sources.push_back(std::move(info));
        }
        if (group->OutputFormat().Valid())
            groupFormat = group->OutputFormat();
        if (!groupFormat.Valid())
            groupFormat = AudioFormat{44100, 2}; // an empty group: silence of no length

        const std::string description = std::to_string(sources.size()) + " source(s) -> "
                                        + DescribeMediaType({MediaKind::Pcm, groupFormat, {}});
        source->AddGroupPin(groupFormat, std::move(sources), m_parallelDecode, description);
    }

    auto graph = CreateFilterGraph();
    if (HRESULT hr = graph->AddFilter(source, kTimelineSourceName); FAILED(hr)) {
        m_lastError = "cannot add the timeline source to the graph";
        return hr;
    }
    m_graph = std::move(graph);
    m_source = std::move(source);
    m_lastError.clear();
    return S_OK;
}

HRESULT CRenderEngine::GetFilterGraph(std::shared_ptr<CFilterGraph>* graph) const
{
    if (!graph)
        return E_POINTER;
    *graph = m_graph;
    return m_graph ? S_OK : S_FALSE;
}

HRESULT CRenderEngine::GetGroupOutputPin(long group, std::shared_ptr<CPin>* pin) const
{
    if (!pin)
        return E_POINTER;
    pin->reset();
    if (!m_source)
        return E_UNEXPECTED;
    const auto& pins = m_source->EnumPins();
    if (group < 0 || group >= static_cast<long>(pins.size()))
        return E_INVALIDARG;
    *pin = pins[static_cast<std::size_t>(group)];
    return S_OK;
}
