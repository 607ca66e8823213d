#pragma once
// The timeline steps both jobs share: one audio group with one track of
// sources (a split has one, a join has one per file), checked that every
// source is there, then rendered through an encoding stage into a writer.

#include "media/graph/MediaTypes.h"

#include <memory>
#include <string>
#include <vector>

class CAMTimeline;
class CAMTimelineObj;
class CBaseFilter;
class CFilterGraph;
class CRenderEngine;

// One source on the track: the stretch [mediaStart, mediaStop) of `path`,
// placed at [timelineStart, timelineStop) of the output.
struct TimelineSource {
    std::string path;
    REFERENCE_TIME mediaStart = 0;
    REFERENCE_TIME mediaStop = 0;
    REFERENCE_TIME timelineStart = 0;
    REFERENCE_TIME timelineStop = 0;
};

struct AudioTimeline {
    std::shared_ptr<CAMTimeline> timeline;
    std::shared_ptr<CAMTimelineObj> group;
};

// Timeline, audio group, track, the sources in order, and the check that
// each can be opened (nobody is asked to find a missing one). On failure
// `reason` names the source; the timeline built so far is still returned.
[[nodiscard]] HRESULT BuildAudioTimeline(const std::vector<TimelineSource>& sources, AudioTimeline* out, std::string* reason);

// The render engine's graph of `timeline`, with `stage` added as "Lame" and
// `writer` as "Dest" and the group's output connected through them (a
// converter put in where the stage needs another format). `engine` receives
// the render engine, which may be kept for as long as the graph; the graph
// is returned even when connecting failed (`reason` says why).
[[nodiscard]] HRESULT RenderAudioTimeline(const std::shared_ptr<CAMTimeline>& timeline, const std::shared_ptr<CBaseFilter>& stage,
                            const std::shared_ptr<CBaseFilter>& writer, bool parallelDecode,
                            std::shared_ptr<CRenderEngine>* engine, std::shared_ptr<CFilterGraph>* graph,
                            std::string* reason);
