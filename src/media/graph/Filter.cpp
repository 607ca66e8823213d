#include "media/graph/Filter.h"

#include <cstdio>

std::string DescribeMediaType(const MediaType& type)
{
    char rate[64];
    std::snprintf(rate, sizeof rate, "%d Hz, %d ch", type.audio.sampleRate, type.audio.channels);
    switch (type.kind) {
    case MediaKind::Stream:
        return "Stream (" + type.path + ")";
    case MediaKind::MpegAudio:
        return std::string("MPEG audio, ") + rate;
    case MediaKind::Pcm:
        return std::string("PCM float, ") + rate;
    case MediaKind::Mp3:
        return type.audio.Valid() ? std::string("MP3, ") + rate : std::string("MP3");
    case MediaKind::Wave:
        return "WAV file bytes";
    }
    return "unknown";
}

CPin::CPin(CBaseFilter& owner, std::string name, PIN_DIRECTION dir)
    : m_owner(owner)
    , m_name(std::move(name))
    , m_dir(dir)
{
}

HRESULT CPin::QueryDirection(PIN_DIRECTION* dir) const
{
    if (!dir)
        return E_POINTER;
    *dir = m_dir;
    return S_OK;
}

std::shared_ptr<CPin> CPin::ConnectedTo() const
{
    std::lock_guard lock(m_mutex);
    return m_peer.lock();
}

HRESULT CPin::QueryAccept(const MediaType& type) const
{
    if (m_dir != PINDIR_INPUT)
        return VFW_E_TYPE_NOT_ACCEPTED;
    // The sinks are looked up only to learn what this pin can take.
    auto& self = const_cast<CPin&>(*this);
    switch (type.kind) {
    case MediaKind::Pcm:
        return self.PcmSink() ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
    case MediaKind::Mp3:
    case MediaKind::Wave:
        return self.ByteSink() ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
    default:
        return VFW_E_TYPE_NOT_ACCEPTED;
    }
}

HRESULT CPin::CompleteConnect(CPin&, const MediaType&)
{
    return S_OK;
}

void CPin::BreakConnect() {}

CBaseFilter::CBaseFilter(std::string clsidText)
    : m_clsid(std::move(clsidText))
{
}

std::string CBaseFilter::LastError() const
{
    std::lock_guard lock(m_errorMutex);
    return m_lastError;
}

void CBaseFilter::SetLastError(const std::string& reason)
{
    std::lock_guard lock(m_errorMutex);
    m_lastError = reason;
}

void CBaseFilter::NotifyEvent(long code, long param1, const std::string& reason)
{
    if (code == EC_ERRORABORT && !reason.empty())
        SetLastError(reason);
    if (m_graph)
        m_graph->Notify(code, param1, reason);
}
