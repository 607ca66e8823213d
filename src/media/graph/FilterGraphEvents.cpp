// Events of a graph: queued by the streaming threads and the filters, taken
// by the control thread, announced through the notify callback.

#include "media/graph/CFilterGraph.h"

// --- events ----------------------------------------------------------------

void CFilterGraph::PostEvent(long code, long param1, long param2)
{
    {
        std::lock_guard lock(m_eventMutex);
        m_events.push_back({code, param1, param2});
        if (code == EC_COMPLETE || code == EC_USERABORT || code == EC_ERRORABORT)
            if (m_completion == 0)
                m_completion = code;
    }
    m_eventArrived.notify_all();
    std::lock_guard lock(m_notifyMutex);
    if (m_notify)
        m_notify();
}

HRESULT CFilterGraph::GetEvent(long* code, long* param1, long* param2, long timeoutMs)
{
    if (!code || !param1 || !param2)
        return E_POINTER;
    std::unique_lock lock(m_eventMutex);
    auto ready = [this] { return !m_events.empty(); };
    if (timeoutMs < 0)
        m_eventArrived.wait(lock, ready);
    else if (!m_eventArrived.wait_for(lock, std::chrono::milliseconds(timeoutMs), ready))
        return E_ABORT;
    const Event event = m_events.front();
    m_events.pop_front();
    *code = event.code;
    *param1 = event.param1;
    *param2 = event.param2;
    return S_OK;
}

HRESULT CFilterGraph::FreeEventParams(long, long, long)
{
    return S_OK;
}

HRESULT CFilterGraph::WaitForCompletion(long timeoutMs, long* code)
{
    if (!code)
        return E_POINTER;
    *code = 0;
    {
        // A stopped graph that has not ended will not end by itself.
        std::lock_guard stateLock(m_controlMutex);
        std::lock_guard lock(m_eventMutex);
        if (m_completion == 0 && m_state == State_Stopped)
            return VFW_E_WRONG_STATE;
    }
    std::unique_lock lock(m_eventMutex);
    auto ended = [this] { return m_completion != 0; };
    if (timeoutMs < 0)
        m_eventArrived.wait(lock, ended);
    else if (!m_eventArrived.wait_for(lock, std::chrono::milliseconds(timeoutMs), ended))
        return E_ABORT;
    *code = m_completion;
    return S_OK;
}

std::string CFilterGraph::ErrorReason() const
{
    std::lock_guard lock(m_eventMutex);
    return m_errorReason;
}

HRESULT CFilterGraph::SetNotifyWindow(NotifyCallback callback)
{
    std::lock_guard lock(m_notifyMutex);
    m_notify = std::move(callback);
    return S_OK;
}

void CFilterGraph::Notify(long code, long param1, const std::string& reason)
{
    if (code == EC_ERRORABORT && m_streaming) {
        // Handled on the streaming thread, which cleans up before it reports.
        std::lock_guard lock(m_streamMutex);
        if (m_abortReason.empty())
            m_abortReason = reason;
        m_abortRequested = true;
        return;
    }
    if (code == EC_ERRORABORT) {
        m_startFailed = true;
        std::lock_guard lock(m_eventMutex);
        m_errorReason = reason;
    }
    PostEvent(code, param1, 0);
}

// --- CStreamWorker::Listener -----------------------------------------------

void CFilterGraph::OnStreamEnded(CStreamWorker&)
{
    {
        std::lock_guard lock(m_streamMutex);
        if (m_failed || ++m_endedHeads < static_cast<int>(m_runWorkers.size()))
            return;
    }
    PostEvent(EC_COMPLETE, S_OK, 0);
}

void CFilterGraph::OnStreamFailed(CStreamWorker& worker, const std::string& reason)
{
    std::vector<std::shared_ptr<CBaseFilter>> filters;
    std::string why = reason;
    {
        std::lock_guard lock(m_streamMutex);
        if (m_failed)
            return;
        m_failed = true;
        filters = m_runFilters;
        for (CStreamWorker* other : m_runWorkers)
            if (other != &worker)
                other->RequestStop();
        if (why.empty())
            why = m_abortReason;
    }
    if (why.empty())
        why = worker.SinkFilter().LastError();
    if (why.empty())
        why = "the filter \"" + worker.SinkFilter().QueryFilterInfo() + "\" failed";
    // Partial outputs go before anyone hears of the failure.
    for (auto& filter : filters)
        filter->Abort(true);
    {
        std::lock_guard lock(m_eventMutex);
        m_errorReason = why;
    }
    PostEvent(EC_ERRORABORT, E_FAIL, 0);
}
