#include "media/render/AudioTimeline.h"

#include "media/filters/CaptureGraphBuilder.h"
#include "media/graph/CFilterGraph.h"
#include "media/graph/MediaTypeValue.h"
#include "media/render/RenderEngine.h"
#include "media/render/Timeline.h"

namespace {

// A step of building that failed: its result, with what it was in `reason`.
HRESULT StepFailed(HRESULT hr, const char* step, std::string* reason)
{
    *reason = std::string("cannot build the timeline: ") + step + " failed";
    return hr;
}

} // namespace

HRESULT BuildAudioTimeline(const std::vector<TimelineSource>& sources, AudioTimeline* out, std::string* reason)
{
    auto timeline = std::make_shared<CAMTimeline>();
    out->timeline = timeline;
    // One audio group.
    if (HRESULT hr = timeline->CreateEmptyNode(&out->group, TIMELINE_MAJOR_TYPE_GROUP); FAILED(hr))
        return StepFailed(hr, "making its group", reason);
    CMediaTypeValue mediaType;
    mediaType.SetMajorType(MEDIATYPE_Audio);
    auto settings = std::dynamic_pointer_cast<IAMTimelineGroup>(out->group);
    if (!settings)
        return StepFailed(E_NOINTERFACE, "finding the group's settings", reason);
    if (HRESULT hr = settings->SetMediaType(&mediaType); FAILED(hr))
        return StepFailed(hr, "setting the group's media type", reason);
    if (HRESULT hr = timeline->AddGroup(out->group); FAILED(hr))
        return StepFailed(hr, "adding its group", reason);
    // Its track.
    std::shared_ptr<CAMTimelineObj> track;
    if (HRESULT hr = timeline->CreateEmptyNode(&track, TIMELINE_MAJOR_TYPE_TRACK); FAILED(hr))
        return StepFailed(hr, "making its track", reason);
    auto composition = std::dynamic_pointer_cast<IAMTimelineComp>(out->group);
    auto trackSources = std::dynamic_pointer_cast<IAMTimelineTrack>(track);
    if (!composition || !trackSources)
        return StepFailed(E_NOINTERFACE, "finding the track", reason);
    if (HRESULT hr = composition->VTrackInsBefore(track, -1); FAILED(hr))
        return StepFailed(hr, "adding its track", reason);
    // The sources.
    for (const TimelineSource& piece : sources) {
        std::shared_ptr<CAMTimelineObj> source;
        if (HRESULT hr = timeline->CreateEmptyNode(&source, TIMELINE_MAJOR_TYPE_SOURCE); FAILED(hr))
            return StepFailed(hr, "making a source", reason);
        auto src = std::dynamic_pointer_cast<IAMTimelineSrc>(source);
        if (!src)
            return StepFailed(E_NOINTERFACE, "finding a source's settings", reason);
        if (FAILED(src->SetMediaName(piece.path)) || FAILED(src->SetMediaTimes(piece.mediaStart, piece.mediaStop))
            || FAILED(source->SetStartStop(piece.timelineStart, piece.timelineStop)))
            return StepFailed(E_INVALIDARG, ("placing " + piece.path).c_str(), reason);
        if (HRESULT hr = trackSources->SrcAdd(source); FAILED(hr))
            return StepFailed(hr, ("adding " + piece.path).c_str(), reason);
    }
    // Every source must be there and readable.
    const HRESULT hr = timeline->ValidateSourceNames(SFN_VALIDATEF_CHECK | SFN_VALIDATEF_POPUP | SFN_VALIDATEF_REPLACE,
                                                     nullptr, 0);
    if (FAILED(hr))
        *reason = timeline->LastError();
    return hr;
}

HRESULT RenderAudioTimeline(const std::shared_ptr<CAMTimeline>& timeline, const std::shared_ptr<CBaseFilter>& stage,
                            const std::shared_ptr<CBaseFilter>& writer, bool parallelDecode,
                            std::shared_ptr<CRenderEngine>* engine, std::shared_ptr<CFilterGraph>* graph,
                            std::string* reason)
{
    auto renderEngine = std::make_shared<CRenderEngine>();
    *engine = renderEngine;
    if (HRESULT hr = renderEngine->SetParallelDecode(parallelDecode); FAILED(hr))
        return StepFailed(hr, "choosing how to decode", reason);
    if (HRESULT hr = renderEngine->SetTimelineObject(timeline); FAILED(hr))
        return StepFailed(hr, "handing the timeline to the render engine", reason);
    if (const HRESULT hr = renderEngine->ConnectFrontEnd(); FAILED(hr)) {
        *reason = renderEngine->LastError();
        return hr;
    }
    if (HRESULT hr = renderEngine->GetFilterGraph(graph); FAILED(hr) || !*graph)
        return StepFailed(FAILED(hr) ? hr : E_POINTER, "taking the render engine's graph", reason);
    CCaptureGraphBuilder2 builder;
    if (HRESULT hr = builder.SetFiltergraph(*graph); FAILED(hr))
        return StepFailed(hr, "preparing the graph builder", reason);
    if (stage) {
        if (HRESULT hr = (*graph)->AddFilter(stage, "Lame"); FAILED(hr))
            return StepFailed(hr, "adding the encoding stage", reason);
    }
    if (writer) {
        if (HRESULT hr = (*graph)->AddFilter(writer, "Dest"); FAILED(hr))
            return StepFailed(hr, "adding the writer", reason);
    }
    // Group output -> encoding stage -> writer.
    std::shared_ptr<CPin> pin;
    if (renderEngine->GetGroupOutputPin(0, &pin) != S_OK) {
        *reason = "the timeline has no audio output";
        return VFW_E_CANNOT_RENDER;
    }
    const HRESULT hr = builder.RenderStream(nullptr, nullptr, pin, stage, writer);
    if (FAILED(hr))
        *reason = builder.LastError();
    return hr;
}
