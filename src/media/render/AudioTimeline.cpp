#include "media/render/AudioTimeline.h"

#include "media/filters/CaptureGraphBuilder.h"
#include "media/graph/CFilterGraph.h"
#include "media/graph/MediaTypeValue.h"
#include "media/render/RenderEngine.h"
#include "media/render/Timeline.h"

HRESULT BuildAudioTimeline(const std::vector<TimelineSource>& sources, AudioTimeline* out, std::string* reason)
{
    auto timeline = std::make_shared<CAMTimeline>();
    out->timeline = timeline;
    // One audio group.
    timeline->CreateEmptyNode(&out->group, TIMELINE_MAJOR_TYPE_GROUP);
    CMediaTypeValue mediaType;
    mediaType.SetMajorType(MEDIATYPE_Audio);
    if (auto settings = std::dynamic_pointer_cast<IAMTimelineGroup>(out->group))
        settings->SetMediaType(&mediaType);
    timeline->AddGroup(out->group);
    // Its track.
    std::shared_ptr<CAMTimelineObj> track;
    timeline->CreateEmptyNode(&track, TIMELINE_MAJOR_TYPE_TRACK);
    if (auto composition = std::dynamic_pointer_cast<IAMTimelineComp>(out->group))
        composition->VTrackInsBefore(track, -1);
    auto trackSources = std::dynamic_pointer_cast<IAMTimelineTrack>(track);
    // The sources.
    for (const TimelineSource& piece : sources) {
        std::shared_ptr<CAMTimelineObj> source;
        timeline->CreateEmptyNode(&source, TIMELINE_MAJOR_TYPE_SOURCE);
        if (auto src = std::dynamic_pointer_cast<IAMTimelineSrc>(source)) {
            src->SetMediaName(piece.path);
            src->SetMediaTimes(piece.mediaStart, piece.mediaStop);
        }
        source->SetStartStop(piece.timelineStart, piece.timelineStop);
        if (trackSources)
            trackSources->SrcAdd(source);
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
    renderEngine->SetParallelDecode(parallelDecode);
    renderEngine->SetTimelineObject(timeline);
    if (const HRESULT hr = renderEngine->ConnectFrontEnd(); FAILED(hr)) {
        *reason = renderEngine->LastError();
        return hr;
    }
    renderEngine->GetFilterGraph(graph);
    CCaptureGraphBuilder2 builder;
    builder.SetFiltergraph(*graph);
    if (stage)
        (*graph)->AddFilter(stage, "Lame");
    if (writer)
        (*graph)->AddFilter(writer, "Dest");
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
