#include "media/render/MediaGraph.h"

#include "media/graph/CFilterGraph.h"
#include "media/graph/FilterRegistry.h"
#include "media/graph/GetPin.h"
#include "media/graph/TimeText.h"
#include "media/decode/SourceKind.h"
#include "media/render/MediaInit.h"


CMediaGraph::~CMediaGraph()
{
    ReleaseAll();
}

HRESULT CMediaGraph::CreateGraph()
{
    MediaInitialize();
    if (graph)
        ReleaseAll();
    auto created = CreateFilterGraph();
    if (!created)
        return E_OUTOFMEMORY;
    graph = created;
    QueryControls();
    return S_OK;
}

void CMediaGraph::QueryControls()
{
    // The facets are views of one graph manager.
    auto manager = std::dynamic_pointer_cast<CFilterGraph>(graph);
    if (!manager)
        return;
    control = manager;
    seeking = manager;
    events = manager;
}

void CMediaGraph::ReleaseAll()
{
    control.reset();
    seeking.reset();
    if (events) {
        (void)events->SetNotifyWindow(nullptr); // letting go of the callback cannot fail
        events.reset();
    }
    group.reset();
    timeline.reset();
    renderEngine.reset();
    graph.reset();
}

HRESULT CMediaGraph::SetNotifyWindow(IMediaEventEx::NotifyCallback callback)
{
    if (!events)
        return E_NOINTERFACE;
    const bool detach = !callback;
    const HRESULT hr = events->SetNotifyWindow(std::move(callback));
    if (detach)
        events.reset();
    return hr;
}

HRESULT CMediaGraph::Run()
{
    return control ? control->Run() : E_NOINTERFACE;
}

HRESULT CMediaGraph::Stop()
{
    return control ? control->Stop() : E_NOINTERFACE;
}

REFERENCE_TIME CMediaGraph::GetDuration()
{
    REFERENCE_TIME duration = 0;
    if (!seeking || FAILED(seeking->GetDuration(&duration)))
        return 0;
    return duration;
}

REFERENCE_TIME CMediaGraph::GetCurrentPosition()
{
    REFERENCE_TIME position = 0;
    if (!seeking || FAILED(seeking->GetCurrentPosition(&position)))
        return 0;
    return position;
}

std::string CMediaGraph::GetDurationText()
{
    return FormatClock(GetDuration());
}

HRESULT RenderMpegChain(IGraphBuilder& graph, const std::string& path, std::string* reason)
{
    // Every step is taken even after one failed, as a graph that is only
    // measured may still give a duration; the first failure is what the
    // caller hears of (a missing file, data that is not audio...).
    HRESULT first = S_OK;
    auto step = [&](HRESULT hr, const char* what = nullptr) {
        if (FAILED(hr) && SUCCEEDED(first)) {
            first = hr;
            if (reason)
                *reason = what ? what : graph.LastError();
        }
        return hr;
    };
    std::shared_ptr<CBaseFilter> splitter, decoder, renderer, source;
    step(CreateFilter(clsid::MPEG1Splitter, &splitter), "the MPEG splitter is not available");
    step(CreateFilter(clsid::Mp3Decoder, &decoder), "the MP3 decoder is not available");
    step(CreateFilter(clsid::DSoundRender, &renderer), "the audio renderer is not available");
    step(graph.AddSourceFilter(path, path, &source));
    step(graph.AddFilter(splitter, "MPEG-I Stream Splitter"));
    step(graph.AddFilter(decoder, "MPEG Layer-3 Decoder"));
    step(graph.AddFilter(renderer, "Default DirectSound Device"));

    // A pin that is not there (its filter was not made) has been told of
    // above; the links that can still be made are.
    std::shared_ptr<CPin> out, in;
    if (SUCCEEDED(GetPin(source, PINDIR_OUTPUT, 0, &out)) && SUCCEEDED(GetPin(splitter, PINDIR_INPUT, 0, &in)))
        step(graph.ConnectDirect(out, in, nullptr));
    if (FAILED(GetPin(splitter, PINDIR_OUTPUT, 0, &out))) {
        step(VFW_E_CANNOT_RENDER, "no MPEG audio stream to decode");
        return first;
    }
    if (SUCCEEDED(GetPin(decoder, PINDIR_INPUT, 0, &in)))
        step(graph.ConnectDirect(out, in, nullptr));
    if (SUCCEEDED(GetPin(decoder, PINDIR_OUTPUT, 0, &out)) && SUCCEEDED(GetPin(renderer, PINDIR_INPUT, 0, &in)))
        step(graph.ConnectDirect(out, in, nullptr));
    return first;
}

HRESULT CMediaGraph::BuildDecodeGraph(const std::string& path)
{
    m_lastError.clear();
    if (FAILED(CreateGraph()) || !graph) {
        m_lastError = "cannot create a filter graph";
        return E_OUTOFMEMORY;
    }
    return RenderSource(path);
}

HRESULT CMediaGraph::RenderSource(const std::string& path)
{
    m_lastError.clear();
    if (!graph) {
        m_lastError = "no graph to build in";
        return E_UNEXPECTED;
    }
    if (DetectSourceKind(path) == SourceKind::MpegAudio)
        return RenderMpegChain(*graph, path, &m_lastError);
    const HRESULT hr = graph->RenderFile(path, nullptr);
    if (FAILED(hr))
        m_lastError = graph->LastError();
    return hr;
}
