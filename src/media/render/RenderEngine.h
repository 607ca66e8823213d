#pragma once
// The render engine: turns an editing timeline into a graph whose timeline
// source filter has one output pin per group. A group's pin is PCM and hands
// out a reader that plays the group's sources back to back, each cut to its
// media times and converted to the group's format.

#include "media/graph/Filter.h"
#include "media/graph/MediaTypes.h"

#include <memory>
#include <string>

class CAMTimeline;
class CFilterGraph;

// CLSID_RenderEngine.
class CRenderEngine {
public:
    CRenderEngine();
    ~CRenderEngine();
    [[nodiscard]] HRESULT SetTimelineObject(const std::shared_ptr<CAMTimeline>& timeline);
    HRESULT GetTimelineObject(std::shared_ptr<CAMTimeline>* timeline) const;
    // Builds a new graph holding the timeline source filter. Fails (reason in
    // LastError()) when a source cannot be opened or has no audio.
    [[nodiscard]] HRESULT ConnectFrontEnd();
    HRESULT GetFilterGraph(std::shared_ptr<CFilterGraph>* graph) const;
    // S_OK with the pin of group `group`; E_INVALIDARG when there is none.
    HRESULT GetGroupOutputPin(long group, std::shared_ptr<CPin>* pin) const;
    std::string LastError() const { return m_lastError; }
    // Long MP3 cuts are decoded on two threads (set before ConnectFrontEnd).
    // Pays off only when the consumer is cheap, as when writing WAV; an
    // encoder wants the second core for itself.
    [[nodiscard]] HRESULT SetParallelDecode(bool parallel);

private:
    bool m_parallelDecode = false;
    std::shared_ptr<CAMTimeline> m_timeline;
    std::shared_ptr<CFilterGraph> m_graph;
    std::shared_ptr<CBaseFilter> m_source;
    std::string m_lastError;
};
