#pragma once
// The filter graph manager behind every facet of FilterGraph.h. Callers hold
// a facet (std::shared_ptr<IMediaControl> ...) obtained by an implicit
// upcast of the std::shared_ptr<CFilterGraph> that CreateFilterGraph gives.
//
// Control calls come from one thread (the GUI's); the streaming runs on the
// workers' threads. Position, duration, state and events may be read from
// any thread while the graph streams. The notify callback runs on whatever
// thread queued the event: it must only hand the news on (post a message),
// never call back into the graph's control.

#include "media/graph/FilterGraph.h"
#include "media/graph/StreamWorker.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

class CFilterGraph final : public IGraphBuilder,
                           public IMediaControl,
                           public IMediaSeeking,
                           public IMediaEventEx,
                           public IMediaFilter,
                           public IMediaEventSink,
                           private CStreamWorker::Listener {
public:
    CFilterGraph();
    ~CFilterGraph() override;
    CFilterGraph(const CFilterGraph&) = delete;
    CFilterGraph& operator=(const CFilterGraph&) = delete;

    // IGraphBuilder
    [[nodiscard]] HRESULT AddFilter(const std::shared_ptr<CBaseFilter>& filter, const std::string& name) override;
    [[nodiscard]] HRESULT RemoveFilter(const std::shared_ptr<CBaseFilter>& filter) override;
    std::shared_ptr<CBaseFilter> FindFilterByName(const std::string& name) const override;
    std::vector<std::shared_ptr<CBaseFilter>> EnumFilters() const override;
    [[nodiscard]] HRESULT AddSourceFilter(const std::string& path, const std::string& name,
                            std::shared_ptr<CBaseFilter>* source) override;
    [[nodiscard]] HRESULT ConnectDirect(const std::shared_ptr<CPin>& out, const std::shared_ptr<CPin>& in,
                          const MediaType* type) override;
    [[nodiscard]] HRESULT Disconnect(const std::shared_ptr<CPin>& pin) override;
    [[nodiscard]] HRESULT RenderFile(const std::string& path, const std::string* playList) override;
    std::string LastError() const override;

    // IMediaControl
    [[nodiscard]] HRESULT Run() override;
    [[nodiscard]] HRESULT Pause() override;
    [[nodiscard]] HRESULT Stop() override;
    [[nodiscard]] HRESULT GetState(long timeoutMs, FILTER_STATE* state) override;

    // IMediaSeeking
    [[nodiscard]] HRESULT GetDuration(REFERENCE_TIME* duration) override;
    [[nodiscard]] HRESULT GetCurrentPosition(REFERENCE_TIME* position) override;
    [[nodiscard]] HRESULT SetPositions(REFERENCE_TIME* current, unsigned currentFlags, REFERENCE_TIME* stop,
                         unsigned stopFlags) override;

    // IMediaEvent(Ex)
    [[nodiscard]] HRESULT GetEvent(long* code, long* param1, long* param2, long timeoutMs) override;
    [[nodiscard]] HRESULT FreeEventParams(long code, long param1, long param2) override;
    [[nodiscard]] HRESULT WaitForCompletion(long timeoutMs, long* code) override;
    std::string ErrorReason() const override;
    [[nodiscard]] HRESULT SetNotifyWindow(NotifyCallback callback) override;

    // IMediaFilter
    [[nodiscard]] HRESULT SetSyncSource(std::nullptr_t) override;

    // IMediaEventSink: filters report here (through CBaseFilter::NotifyEvent).
    void Notify(long code, long param1, const std::string& reason) override;

private:
    // One stream head: a PCM output pin with a reader, joined to a pin that
    // takes pushed PCM.
    struct Head {
        std::shared_ptr<CPin> output;
        std::shared_ptr<IPcmReader> reader;
        IPcmSink* sink = nullptr;
        std::shared_ptr<CBaseFilter> sinkFilter;
    };
    struct Event {
        long code = 0;
        long param1 = 0;
        long param2 = 0;
    };

    // Building (FilterGraph.cpp); the control mutex is held.
    void SetLastErrorText(const std::string& reason);
    const std::vector<Head>& HeadsLocked();
    std::shared_ptr<IPcmReader> DurationReaderLocked();
    std::vector<std::shared_ptr<CBaseFilter>> DownstreamFirstLocked() const;
    bool Contains(const CBaseFilter& filter) const;

    // Streaming (FilterGraphControl.cpp); the control mutex is held.
    // `fromStop`: a start from the stopped state, which begins again at 0
    // when the position stands at the end.
    bool StartStreamingLocked(bool paused, bool fromStop, std::string* failure);
    void StopStreamingLocked();
    // From stopped: pauses every filter and starts the streaming. E_FAIL
    // when a filter failed to start (its EC_ERRORABORT is queued),
    // VFW_E_NOT_CONNECTED when nothing can stream; `failure` says why.
    [[nodiscard]] HRESULT CueLocked(bool paused, std::string* failure);
    // A run that cannot stream ends at once with EC_ERRORABORT and its reason.
    void EndRunLocked(HRESULT hr, const std::string& failure);
    // A graph whose stream cannot be taken up again stops, and its run ends.
    void AbandonRunLocked(const std::string& failure);
    REFERENCE_TIME PositionLocked();
    REFERENCE_TIME DurationLocked();

    // Events.
    void PostEvent(long code, long param1, long param2);

    // CStreamWorker::Listener (streaming threads).
    void OnStreamEnded(CStreamWorker& worker) override;
    void OnStreamFailed(CStreamWorker& worker, const std::string& reason) override;
    bool AbortRequested() const override { return m_abortRequested; }

    mutable std::mutex m_controlMutex;
    std::vector<std::shared_ptr<CBaseFilter>> m_filters; // in the order they joined
    std::optional<std::vector<Head>> m_heads;            // cached until the topology changes
    FILTER_STATE m_state = State_Stopped;
    REFERENCE_TIME m_start = 0; // where the next streaming starts (and the position when stopped)
    std::vector<std::unique_ptr<CStreamWorker>> m_workers;
    bool m_paced = true;
    std::string m_lastError;

    // Shared with the streaming threads.
    std::mutex m_streamMutex;
    std::vector<std::shared_ptr<CBaseFilter>> m_runFilters; // the filters of the current streaming
    std::vector<CStreamWorker*> m_runWorkers;
    int m_endedHeads = 0;
    bool m_failed = false;
    std::string m_abortReason;
    std::atomic<bool> m_abortRequested{false};
    std::atomic<bool> m_streaming{false};
    std::atomic<bool> m_startFailed{false}; // a filter reported a failure while starting

    mutable std::mutex m_eventMutex;
    std::condition_variable m_eventArrived;
    std::deque<Event> m_events;
    long m_completion = 0; // EC_COMPLETE / EC_ERRORABORT of the current run, 0 while none
    std::string m_errorReason;

    std::recursive_mutex m_notifyMutex; // held while the callback runs; it may detach itself
    NotifyCallback m_notify;
};
