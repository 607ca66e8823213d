#pragma once
// The filter graph manager: filters joined pin to pin, run, paused and
// stopped from the GUI thread while its own worker threads stream.
//
// Its facets are separate abstract classes so that callers hold exactly the
// facet they use (m_pControl, m_pSeeking, ...), all backed by one graph.

#include "media/graph/Filter.h"
#include "media/graph/MediaTypes.h"

#include <functional>
#include <memory>
#include <string>

class IGraphBuilder {
public:
    virtual ~IGraphBuilder() = default;
    [[nodiscard]] virtual HRESULT AddFilter(const std::shared_ptr<CBaseFilter>& filter, const std::string& name) = 0;
    [[nodiscard]] virtual HRESULT RemoveFilter(const std::shared_ptr<CBaseFilter>& filter) = 0;
    virtual std::shared_ptr<CBaseFilter> FindFilterByName(const std::string& name) const = 0;
    virtual std::vector<std::shared_ptr<CBaseFilter>> EnumFilters() const = 0;
    // The file source for `path`, added under `name`. Fails when the file
    // cannot be opened for reading (reason in LastError()).
    [[nodiscard]] virtual HRESULT AddSourceFilter(const std::string& path, const std::string& name,
                                    std::shared_ptr<CBaseFilter>* source) = 0;
    // Joins two pins with no intermediate filter; `type` may be null.
    [[nodiscard]] virtual HRESULT ConnectDirect(const std::shared_ptr<CPin>& out, const std::shared_ptr<CPin>& in,
                                  const MediaType* type) = 0;
    [[nodiscard]] virtual HRESULT Disconnect(const std::shared_ptr<CPin>& pin) = 0;
    // Builds a playback chain for any sound file (the sound-file source and
    // the audio renderer).
    [[nodiscard]] virtual HRESULT RenderFile(const std::string& path, const std::string* playList) = 0;
    // Reason of the last failed build step or streaming failure.
    virtual std::string LastError() const = 0;
};

// Run from stopped goes through pause: every filter is paused (downstream
// first), the streaming starts, then every filter runs. A filter that fails
// to start makes Run fail (its EC_ERRORABORT is queued); a graph with nothing
// to stream queues EC_ERRORABORT at once. Pause from stopped on a graph that
// cannot cue fails with the reason (LastError) and leaves it stopped. Stop keeps the position; Run after
// a Stop at the very end starts again from the beginning.
class IMediaControl {
public:
    virtual ~IMediaControl() = default;
    [[nodiscard]] virtual HRESULT Run() = 0;
    [[nodiscard]] virtual HRESULT Pause() = 0;
    [[nodiscard]] virtual HRESULT Stop() = 0;
    [[nodiscard]] virtual HRESULT GetState(long timeoutMs, FILTER_STATE* state) = 0;
};

class IMediaSeeking {
public:
    virtual ~IMediaSeeking() = default;
    [[nodiscard]] virtual HRESULT GetDuration(REFERENCE_TIME* duration) = 0;
    [[nodiscard]] virtual HRESULT GetCurrentPosition(REFERENCE_TIME* position) = 0;
    [[nodiscard]] virtual HRESULT SetPositions(REFERENCE_TIME* current, unsigned currentFlags,
                                 REFERENCE_TIME* stop, unsigned stopFlags) = 0;
};

class IMediaEvent {
public:
    virtual ~IMediaEvent() = default;
    // Takes the next event; E_ABORT when none arrives within timeoutMs.
    [[nodiscard]] virtual HRESULT GetEvent(long* code, long* param1, long* param2, long timeoutMs) = 0;
    [[nodiscard]] virtual HRESULT FreeEventParams(long code, long param1, long param2) = 0;
    // Waits until the graph completes or aborts: S_OK with the event code,
    // E_ABORT (code 0) on time-out, VFW_E_WRONG_STATE at once when the graph
    // is stopped and has not ended (it never would). A negative time-out
    // waits without limit.
    [[nodiscard]] virtual HRESULT WaitForCompletion(long timeoutMs, long* code) = 0;
    // Reason carried by the last EC_ERRORABORT ("" otherwise).
    virtual std::string ErrorReason() const = 0;
};

class IMediaEventEx : public IMediaEvent {
public:
    // Stands in for a notify window: called from any thread whenever an event
    // is queued; the GUI turns it into a posted event. Null detaches.
    using NotifyCallback = std::function<void()>;
    [[nodiscard]] virtual HRESULT SetNotifyWindow(NotifyCallback callback) = 0;
};

class IMediaFilter {
public:
    virtual ~IMediaFilter() = default;
    // Null: no clock; renderers then play as fast as they are fed.
    [[nodiscard]] virtual HRESULT SetSyncSource(std::nullptr_t) = 0;
};

class CFilterGraph;
// CLSID_FilterGraph: creates an empty graph.
std::shared_ptr<CFilterGraph> CreateFilterGraph();
