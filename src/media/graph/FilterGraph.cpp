// Building a graph: filters join under names, pins are connected after the
// two sides agree on a media type, RenderFile builds a playback chain.

#include "media/graph/CFilterGraph.h"

#include "media/graph/FilterRegistry.h"

#include <algorithm>
#include <filesystem>
#include <functional>
#include <set>

std::shared_ptr<CFilterGraph> CreateFilterGraph()
{
    return std::make_shared<CFilterGraph>();
}

CFilterGraph::CFilterGraph() = default;

CFilterGraph::~CFilterGraph()
{
    (void)Stop(); // a stop always succeeds; the graph goes either way
    std::lock_guard lock(m_controlMutex);
    for (auto& filter : m_filters) {
        for (auto& pin : filter->EnumPins()) {
            std::lock_guard pinLock(pin->m_mutex);
            pin->m_peer.reset();
        }
        filter->m_graph = nullptr;
        filter->m_name.clear();
    }
}

void CFilterGraph::SetLastErrorText(const std::string& reason)
{
    m_lastError = reason;
}

std::string CFilterGraph::LastError() const
{
    std::lock_guard lock(m_controlMutex);
    return m_lastError;
}

bool CFilterGraph::Contains(const CBaseFilter& filter) const
{
    return std::any_of(m_filters.begin(), m_filters.end(), [&](const auto& f) { return f.get() == &filter; });
}

HRESULT CFilterGraph::AddFilter(const std::shared_ptr<CBaseFilter>& filter, const std::string& name)
{
    if (!filter)
        return E_POINTER;
    std::lock_guard lock(m_controlMutex);
    if (m_state != State_Stopped)
        return VFW_E_WRONG_STATE;
    if (Contains(*filter) || filter->m_graph)
        return E_INVALIDARG;
    // A name already taken gets a number, so that every name stays unique.
    std::string unique = name;
    HRESULT hr = S_OK;
    auto taken = [&](const std::string& n) {
        return std::any_of(m_filters.begin(), m_filters.end(), [&](const auto& f) { return f->m_name == n; });
    };
    for (int i = 1; taken(unique); ++i) {
        char suffix[16];
        std::snprintf(suffix, sizeof suffix, " %04d", i);
        unique = name + suffix;
        hr = VFW_S_DUPLICATE_NAME;
    }
    filter->m_name = unique;
    filter->m_graph = this;
    if (!m_paced)
        filter->SetPaced(false);
    m_filters.push_back(filter);
    m_heads.reset();
    return hr;
}

HRESULT CFilterGraph::RemoveFilter(const std::shared_ptr<CBaseFilter>& filter)
{
    if (!filter)
        return E_POINTER;
    std::unique_lock lock(m_controlMutex);
    if (m_state != State_Stopped)
        return VFW_E_WRONG_STATE;
    auto it = std::find(m_filters.begin(), m_filters.end(), filter);
    if (it == m_filters.end())
        return VFW_E_NOT_FOUND;
    lock.unlock();
    for (auto& pin : filter->EnumPins())
        (void)Disconnect(pin); // a pin not connected has nothing to undo
    lock.lock();
    it = std::find(m_filters.begin(), m_filters.end(), filter);
    if (it != m_filters.end())
        m_filters.erase(it);
    filter->m_graph = nullptr;
    filter->m_name.clear();
    m_heads.reset();
    return S_OK;
}

std::shared_ptr<CBaseFilter> CFilterGraph::FindFilterByName(const std::string& name) const
{
    std::lock_guard lock(m_controlMutex);
    for (auto& filter : m_filters)
        if (filter->m_name == name)
            return filter;
    return nullptr;
}

std::vector<std::shared_ptr<CBaseFilter>> CFilterGraph::EnumFilters() const
{
    std::lock_guard lock(m_controlMutex);
    return m_filters;
}

HRESULT CFilterGraph::AddSourceFilter(const std::string& path, const std::string& name,
                                      std::shared_ptr<CBaseFilter>* source)
{
    if (source)
        source->reset();
    std::shared_ptr<CBaseFilter> filter;
    HRESULT hr = CreateFilter(clsid::AsyncFileSource, &filter);
    if (FAILED(hr))
        return hr;
    if (FAILED(filter->Load(path))) {
        std::lock_guard lock(m_controlMutex);
        SetLastErrorText(filter->LastError());
        return VFW_E_NOT_FOUND_FILE;
    }
    hr = AddFilter(filter, name);
    if (FAILED(hr))
        return hr;
    if (source)
        *source = filter;
    return S_OK;
}

HRESULT CFilterGraph::ConnectDirect(const std::shared_ptr<CPin>& out, const std::shared_ptr<CPin>& in,
                                    const MediaType* type)
{
    if (!out || !in)
        return E_POINTER;
    std::lock_guard lock(m_controlMutex);
    auto fail = [&](HRESULT hr, const std::string& reason) {
        SetLastErrorText(reason);
        return hr;
    };
    if (m_state != State_Stopped)
        return fail(VFW_E_WRONG_STATE, "the graph must be stopped to connect pins");
    if (!Contains(out->Filter()) || !Contains(in->Filter()))
        return fail(VFW_E_NOT_FOUND, "a pin's filter is not in this graph");
    if (out->m_dir != PINDIR_OUTPUT || in->m_dir != PINDIR_INPUT)
        return fail(E_INVALIDARG, "a connection goes from an output pin to an input pin");
    if (out->IsConnected() || in->IsConnected())
        return fail(VFW_E_ALREADY_CONNECTED, "a pin is already connected");

    const std::string link = "\"" + out->Filter().QueryFilterInfo() + "\" to \"" + in->Filter().QueryFilterInfo() + "\"";
    std::vector<MediaType> candidates = type ? std::vector<MediaType>{*type} : out->EnumMediaTypes();
    if (candidates.empty())
        return fail(VFW_E_NO_ACCEPTABLE_TYPES, "cannot connect " + link + ": the output offers no format");
    std::string refusal;
    for (const MediaType& candidate : candidates) {
        if (in->QueryAccept(candidate) != S_OK)
            continue;
        {
            std::scoped_lock pins(out->m_mutex, in->m_mutex);
            out->m_peer = in;
            in->m_peer = out;
            out->m_type = candidate;
            in->m_type = candidate;
        }
        HRESULT hr = out->CompleteConnect(*in, candidate);
        if (SUCCEEDED(hr)) {
            hr = in->CompleteConnect(*out, candidate);
            if (FAILED(hr))
                out->BreakConnect();
        }
        if (SUCCEEDED(hr)) {
            m_heads.reset();
            return S_OK;
        }
        {
            std::scoped_lock pins(out->m_mutex, in->m_mutex);
            out->m_peer.reset();
            in->m_peer.reset();
            out->m_type = MediaType{};
            in->m_type = MediaType{};
        }
        refusal = in->Filter().LastError();
        if (refusal.empty())
            refusal = out->Filter().LastError();
        if (!refusal.empty())
            return fail(hr, refusal);
    }
    if (refusal.empty())
        refusal = "cannot connect " + link + ": no format both sides take (offered: " +
                  DescribeMediaType(candidates.front()) + ")";
    return fail(VFW_E_TYPE_NOT_ACCEPTED, refusal);
}

HRESULT CFilterGraph::Disconnect(const std::shared_ptr<CPin>& pin)
{
    if (!pin)
        return E_POINTER;
    std::lock_guard lock(m_controlMutex);
    if (m_state != State_Stopped)
        return VFW_E_WRONG_STATE;
    auto peer = pin->ConnectedTo();
    if (!peer)
        return S_FALSE;
    {
        std::scoped_lock pins(pin->m_mutex, peer->m_mutex);
        pin->m_peer.reset();
        peer->m_peer.reset();
        pin->m_type = MediaType{};
        peer->m_type = MediaType{};
    }
    pin->BreakConnect();
    peer->BreakConnect();
    m_heads.reset();
    return S_OK;
}

HRESULT CFilterGraph::RenderFile(const std::string& path, const std::string*)
{
    std::shared_ptr<CBaseFilter> source;
    HRESULT hr = CreateFilter(clsid::SoundFileSource, &source);
    if (FAILED(hr))
        return hr;
    if (FAILED(source->Load(path))) {
        std::lock_guard lock(m_controlMutex);
        SetLastErrorText(source->LastError());
        std::error_code ec;
        if (!std::filesystem::exists(path, ec))
            return VFW_E_NOT_FOUND_FILE;
        return VFW_E_UNSUPPORTED_STREAM;
    }
    std::shared_ptr<CBaseFilter> renderer;
    hr = CreateFilter(clsid::DSoundRender, &renderer);
    if (FAILED(hr))
        return hr;
    if (FAILED(hr = AddFilter(source, path)) || FAILED(hr = AddFilter(renderer, "Default DirectSound Device")))
        return hr;
    hr = ConnectDirect(source->EnumPins().front(), renderer->EnumPins().front(), nullptr);
    if (FAILED(hr)) {
        // Taking back a chain that could not be joined; both were just added.
        (void)RemoveFilter(renderer);
        (void)RemoveFilter(source);
        return VFW_E_CANNOT_RENDER;
    }
    return S_OK;
}

const std::vector<CFilterGraph::Head>& CFilterGraph::HeadsLocked()
{
    if (m_heads)
        return *m_heads;
    std::vector<Head> heads;
    for (auto& filter : m_filters) {
        for (auto& pin : filter->EnumPins()) {
            if (pin->m_dir != PINDIR_OUTPUT || pin->ConnectionMediaType().kind != MediaKind::Pcm)
                continue;
            auto peer = pin->ConnectedTo();
            if (!peer || !peer->PcmSink())
                continue;
            auto reader = pin->PcmSource();
            if (!reader || !reader->Format().Valid())
                continue;
            Head head;
            head.output = pin;
            head.reader = std::move(reader);
            head.sink = peer->PcmSink();
            head.sinkFilter = peer->Filter().shared_from_this();
            heads.push_back(std::move(head));
        }
    }
    m_heads = std::move(heads);
    return *m_heads;
}

std::shared_ptr<IPcmReader> CFilterGraph::DurationReaderLocked()
{
    const auto& heads = HeadsLocked();
    if (!heads.empty())
        return heads.front().reader;
    // A graph that is only built to be measured may end in an unconnected
    // PCM output (a decoder whose renderer could not be joined).
    for (auto& filter : m_filters)
        for (auto& pin : filter->EnumPins())
            if (pin->m_dir == PINDIR_OUTPUT)
                if (auto reader = pin->PcmSource())
                    return reader;
    return nullptr;
}

std::vector<std::shared_ptr<CBaseFilter>> CFilterGraph::DownstreamFirstLocked() const
{
    std::vector<std::shared_ptr<CBaseFilter>> order;
    std::set<const CBaseFilter*> seen;
    std::function<void(const std::shared_ptr<CBaseFilter>&)> visit = [&](const std::shared_ptr<CBaseFilter>& f) {
        if (!seen.insert(f.get()).second)
            return;
        for (auto& pin : f->EnumPins()) {
            if (pin->m_dir != PINDIR_OUTPUT)
                continue;
            if (auto peer = pin->ConnectedTo())
                for (auto& candidate : m_filters)
                    if (candidate.get() == &peer->Filter())
                        visit(candidate);
        }
        order.push_back(f);
    };
    for (auto& filter : m_filters)
        visit(filter);
    return order;
}
