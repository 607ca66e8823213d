// Running a graph: state changes, the streaming workers, position and
// duration, seeking, and the facets that only pass a setting on.

#include "media/graph/CFilterGraph.h"

#include <algorithm>
#include <chrono>

namespace {
constexpr unsigned kPositioningMask = 0x3;
constexpr unsigned kRelativePositioning = 2;
constexpr unsigned kIncrementalPositioning = 3;
} // namespace

// --- streaming -------------------------------------------------------------

bool CFilterGraph::StartStreamingLocked(bool paused, bool fromStop, std::string* failure)
{
    const auto& heads = HeadsLocked();
    if (heads.empty()) {
        *failure = "nothing to play: the graph has no connected audio stream";
        return false;
    }
    // Started again at the very end: play from the beginning.
    const REFERENCE_TIME duration = DurationLocked();
    if (fromStop && duration > 0 && m_start >= duration)
        m_start = 0;
    {
        std::lock_guard lock(m_streamMutex);
        m_runFilters = m_filters;
        m_runWorkers.clear();
        m_endedHeads = 0;
        m_failed = false;
        m_abortReason.clear();
    }
    m_abortRequested = false;
    {
        std::lock_guard lock(m_eventMutex);
        m_completion = 0;
    }
    for (const Head& head : heads) {
        const std::int64_t startFrame = TimeToFrame(m_start, head.reader->Format().sampleRate);
        m_workers.push_back(std::make_unique<CStreamWorker>(head.reader, head.sink, *head.sinkFilter,
                                                            startFrame, paused, static_cast<Listener&>(*this)));
    }
    {
        std::lock_guard lock(m_streamMutex);
        for (auto& worker : m_workers)
            m_runWorkers.push_back(worker.get());
    }
    m_streaming = true;
    for (auto& worker : m_workers)
        worker->Start();
    return true;
}

void CFilterGraph::StopStreamingLocked()
{
    if (m_workers.empty())
        return;
    for (auto& worker : m_workers)
        worker->RequestStop();
    for (auto& filter : m_filters)
        filter->Interrupt();
    for (auto& worker : m_workers)
        worker->Join();
    m_streaming = false;
    {
        std::lock_guard lock(m_streamMutex);
        m_runWorkers.clear();
    }
    m_workers.clear();
}

REFERENCE_TIME CFilterGraph::DurationLocked()
{
    auto reader = DurationReaderLocked();
    if (!reader || reader->LengthFrames() < 0)
        return 0;
    return FrameToTime(reader->LengthFrames(), reader->Format().sampleRate);
}

REFERENCE_TIME CFilterGraph::PositionLocked()
{
    if (m_workers.empty())
        return m_start;
    const CStreamWorker& worker = *m_workers.front();
    const CBaseFilter& sink = worker.SinkFilter();
    // A renderer knows what has been heard, an encoder that works ahead what
    // it has written; otherwise what the sink took.
    std::int64_t done = worker.PushedFrames();
    if (const std::int64_t played = sink.PlayedFrames(); played >= 0)
        done = played;
    const REFERENCE_TIME position = FrameToTime(worker.StartFrame() + done, worker.Format().sampleRate);
    const REFERENCE_TIME duration = DurationLocked();
    return duration > 0 ? std::min(position, duration) : position;
}

// --- IMediaControl ---------------------------------------------------------

HRESULT CFilterGraph::CueLocked(bool paused, std::string* failure)
{
    {
        // This run's ending, whatever a run before it ended with.
        std::lock_guard lock(m_eventMutex);
        m_completion = 0;
        m_errorReason.clear();
    }
    const auto order = DownstreamFirstLocked();
    m_startFailed = false;
    for (auto& filter : order)
        if (FAILED(filter->Pause()))
            m_startFailed = true;
    if (m_startFailed) {
        // A filter could not start (an output that cannot be made...) and
        // reported why; nothing streams and nothing is left behind.
        for (auto& filter : order)
            filter->Abort(true);
        for (auto& filter : order)
            filter->Stop();
        *failure = ErrorReason();
        if (failure->empty())
            *failure = "a filter of the graph could not start";
        return E_FAIL;
    }
    if (!StartStreamingLocked(paused, true, failure)) {
        for (auto& filter : order)
            filter->Stop();
        return VFW_E_NOT_CONNECTED;
    }
    return S_OK;
}

void CFilterGraph::EndRunLocked(HRESULT hr, const std::string& failure)
{
    m_lastError = failure;
    // A filter that could not start has queued its EC_ERRORABORT already.
    if (hr == E_FAIL)
        return;
    {
        std::lock_guard lock(m_eventMutex);
        m_errorReason = failure;
    }
    PostEvent(EC_ERRORABORT, hr, 0);
}

void CFilterGraph::AbandonRunLocked(const std::string& failure)
{
    for (auto& filter : DownstreamFirstLocked())
        filter->Stop();
    m_state = State_Stopped;
    EndRunLocked(VFW_E_NOT_CONNECTED, failure);
}

HRESULT CFilterGraph::Run()
{
    std::lock_guard lock(m_controlMutex);
    if (m_state == State_Running)
        return S_OK;
    std::string failure;
    if (m_state == State_Stopped) {
        // Nothing can stream: the run ends at once, so that whoever waits
        // for the end is not left waiting.
        if (const HRESULT hr = CueLocked(false, &failure); FAILED(hr)) {
            EndRunLocked(hr, failure);
            return hr == E_FAIL ? hr : S_OK;
        }
    } else if (m_workers.empty() && !StartStreamingLocked(false, false, &failure)) {
        // Paused, but the stream could not be taken up again after a seek.
        AbandonRunLocked(failure);
        return S_OK;
    }
    for (auto& filter : DownstreamFirstLocked()) {
        if (FAILED(filter->Run())) {
            // It has said why; the stream stops and the run ends with that.
            StopStreamingLocked();
            AbandonRunLocked(ErrorReason().empty() ? "a filter of the graph could not run" : ErrorReason());
            return E_FAIL;
        }
    }
    for (auto& worker : m_workers)
        worker->SetPaused(false);
    m_state = State_Running;
    return S_OK;
}

HRESULT CFilterGraph::Pause()
{
    std::lock_guard lock(m_controlMutex);
    if (m_state == State_Paused)
        return S_OK;
    if (m_state == State_Stopped) {
        // Cued: the stream is read ahead and waits for Run. A graph that
        // cannot cue stays stopped and says why.
        std::string failure;
        if (const HRESULT hr = CueLocked(true, &failure); FAILED(hr)) {
            m_lastError = failure;
            return hr;
        }
    } else {
        for (auto& worker : m_workers)
            worker->SetPaused(true);
        for (auto& filter : DownstreamFirstLocked()) {
            if (FAILED(filter->Pause())) {
                StopStreamingLocked();
                AbandonRunLocked(ErrorReason().empty() ? "a filter of the graph could not pause" : ErrorReason());
                return E_FAIL;
            }
        }
    }
    m_state = State_Paused;
    return S_OK;
}

HRESULT CFilterGraph::Stop()
{
    std::lock_guard lock(m_controlMutex);
    if (m_state == State_Stopped)
        return S_OK;
    // The position is kept, so that Run goes on from here.
    const bool interrupted = !m_workers.empty() &&
                             !std::all_of(m_workers.begin(), m_workers.end(), [](auto& w) { return w->Ended(); });
    m_start = PositionLocked();
    StopStreamingLocked();
    bool failed = false;
    {
        std::lock_guard streamLock(m_streamMutex);
        failed = m_failed;
    }
    const auto order = DownstreamFirstLocked();
    // A job stopped half way keeps what was written (a failed one was
    // already cleaned up).
    if (interrupted && !failed)
        for (auto& filter : order)
            filter->Abort(false);
    for (auto& filter : order)
        filter->Stop();
    m_state = State_Stopped;
    return S_OK;
}

HRESULT CFilterGraph::GetState(long, FILTER_STATE* state)
{
    if (!state)
        return E_POINTER;
    std::lock_guard lock(m_controlMutex);
    *state = m_state;
    return S_OK;
}

// --- IMediaSeeking ---------------------------------------------------------

HRESULT CFilterGraph::GetDuration(REFERENCE_TIME* duration)
{
    if (!duration)
        return E_POINTER;
    std::lock_guard lock(m_controlMutex);
    auto reader = DurationReaderLocked();
    if (!reader || reader->LengthFrames() < 0)
        return E_FAIL;
    *duration = DurationLocked();
    return S_OK;
}

HRESULT CFilterGraph::GetCurrentPosition(REFERENCE_TIME* position)
{
    if (!position)
        return E_POINTER;
    std::lock_guard lock(m_controlMutex);
    *position = PositionLocked();
    return S_OK;
}

HRESULT CFilterGraph::SetPositions(REFERENCE_TIME* current, unsigned currentFlags, REFERENCE_TIME*, unsigned)
{
    const unsigned how = currentFlags & kPositioningMask;
    if (how == AM_SEEKING_NoPositioning)
        return S_OK;
    if (!current)
        return E_POINTER;
    std::lock_guard lock(m_controlMutex);
    REFERENCE_TIME target = *current;
    if (how == kRelativePositioning || how == kIncrementalPositioning)
        target += PositionLocked();
    const REFERENCE_TIME duration = DurationLocked();
    target = std::max<REFERENCE_TIME>(0, duration > 0 ? std::min(target, duration) : target);
    if (m_workers.empty()) {
        m_start = target;
        return S_OK;
    }
    // Flush and go on from the new place in the same state.
    const bool paused = m_state != State_Running;
    std::vector<IPcmSink*> sinks;
    for (const Head& head : HeadsLocked())
        sinks.push_back(head.sink);
    StopStreamingLocked();
    for (IPcmSink* sink : sinks)
        sink->Flush();
    m_start = target;
    std::string failure;
    if (!StartStreamingLocked(paused, false, &failure) && m_state == State_Running) {
        // A running graph that cannot go on from the new place ends now
        // (a paused one tries again on Run).
        AbandonRunLocked(failure);
    }
    return S_OK;
}

// --- IMediaFilter, video and audio facets ----------------------------------

HRESULT CFilterGraph::SetSyncSource(std::nullptr_t)
{
    std::lock_guard lock(m_controlMutex);
    m_paced = false;
    for (auto& filter : m_filters)
        filter->SetPaced(false);
    return S_OK;
}
