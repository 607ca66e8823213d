#pragma once
// The program's own thin layer over the graph manager: a holder of one graph
// and its control facets. Nothing here shows a message; callers decide what
// to report.

#include "media/graph/FilterGraph.h"
#include "media/graph/GetPin.h"
#include "media/graph/MediaTypes.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class CAMTimeline;
class CAMTimelineObj;
class CRenderEngine;

class CMediaGraph {
public:
    CMediaGraph() = default;
    virtual ~CMediaGraph();
    CMediaGraph(const CMediaGraph&) = delete;
    CMediaGraph& operator=(const CMediaGraph&) = delete;

    // Releases whatever is held, then creates an empty graph and takes its
    // facets.
    [[nodiscard]] HRESULT CreateGraph();
    void QueryControls();
    void ReleaseAll();
    // Attaches the event callback; a null callback detaches it and lets the
    // events facet go.
    [[nodiscard]] HRESULT SetNotifyWindow(IMediaEventEx::NotifyCallback callback);
    [[nodiscard]] HRESULT Run();
    [[nodiscard]] HRESULT Stop();
    // 0 when there is no graph or it cannot say.
    REFERENCE_TIME GetDuration();
    REFERENCE_TIME GetCurrentPosition();
    // "%02d:%02d:%02d" of GetDuration(); hours do not wrap.
    std::string GetDurationText();
    // Builds (never runs) a decoding graph for one file so that its duration
    // can be read: a new graph, then RenderSource. Returns the first failed
    // step's result, with its reason in LastError().
    [[nodiscard]] HRESULT BuildDecodeGraph(const std::string& path);
    // Adds the playback chain of one file to the graph held: the MPEG chain
    // by hand when the file holds MPEG audio (DetectSourceKind), RenderFile
    // otherwise. Returns the first failed step's result, with its reason in
    // LastError().
    [[nodiscard]] HRESULT RenderSource(const std::string& path);

    // The join graph: `files` back to back (each for its duration) through
    // `encoder` into the raw file writer at `outputPath`, without a clock.
    void BuildJoinGraph(const std::vector<std::string>& files, const std::string& outputPath,
                        const std::vector<REFERENCE_TIME>& durations, const std::shared_ptr<CBaseFilter>& encoder);
    // Why the last BuildDecodeGraph or RenderSource failed, or why the last BuildJoinGraph
    // built no graph that can run ("" when it built one): a missing or unreadable input (named), an output that is
    // one of the inputs, a connection that failed.
    std::string LastError() const { return m_lastError; }

    // The owned facets, in declaration order; empty when not held.
    std::shared_ptr<IGraphBuilder> graph;
    std::shared_ptr<IMediaEventEx> events;
    std::shared_ptr<IMediaSeeking> seeking;
    std::shared_ptr<IMediaControl> control;
    std::shared_ptr<CAMTimeline> timeline;
    std::shared_ptr<CAMTimelineObj> group;
    std::shared_ptr<CRenderEngine> renderEngine;

private:
    std::string m_lastError;
};

// The MP3 playback chain built by hand: file source -> "MPEG-I Stream
// Splitter" -> "MPEG Layer-3 Decoder" -> "Default DirectSound Device", each
// filter under that name. Every step is taken even after one failed; the
// first failure is returned, with its reason in `reason`.
[[nodiscard]] HRESULT RenderMpegChain(IGraphBuilder& graph, const std::string& path, std::string* reason);

// The file of `files` that is the same file as `outputPath`, however either
// is named (links, "..", relative paths); none when the output is new.
// Writing such an output would destroy an input while it is read.
std::optional<std::string> InputSameAsOutput(const std::vector<std::string>& files, const std::string& outputPath);
