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
        events->SetNotifyWindow(nullptr);
        events.reset();
    }
    group.reset();
    timeline.reset();
    renderEngine.reset();
    graph.reset();
}

void CMediaGraph::SetNotifyWindow(IMediaEventEx::NotifyCallback callback)
{
    if (!events)
        return;
    const bool detach = !callback;
    events->SetNotifyWindow(std::move(callback));
    if (detach)
        events.reset();
}

void CMediaGraph::Run()
{
    if (control)
        control->Run();
}

void CMediaGraph::Stop()
{
    if (control)
        control->Stop();
}

REFERENCE_TIME CMediaGraph::GetDuration()
{
    REFERENCE_TIME duration = 0;
    if (seeking)
        seeking->GetDuration(&duration);
    return duration;
}

REFERENCE_TIME CMediaGraph::GetCurrentPosition()
{
    REFERENCE_TIME position = 0;
    if (seeking)
        seeking->GetCurrentPosition(&position);
    return position;
}

std::string CMediaGraph::GetDurationText()
{
    return FormatClock(GetDuration());
}

HRESULT CMediaGraph::BuildDecodeGraph(const std::string& path)
{
    CreateGraph();
    if (!graph)
        return S_OK;
    if (DetectSourceKind(path) != SourceKind::MpegAudio)
        return graph->RenderFile(path, nullptr);

    // Creation results are not checked: a missing filter shows later as a
    // zero duration.
    std::shared_ptr<CBaseFilter> splitter, decoder, renderer, source;
    CreateFilter(clsid::MPEG1Splitter, &splitter);
    CreateFilter(clsid::Mp3Decoder, &decoder);
    CreateFilter(clsid::DSoundRender, &renderer);
    graph->AddSourceFilter(path, path, &source);
    graph->AddFilter(splitter, "MPEG-I Stream Splitter");
    graph->AddFilter(decoder, "MPEG Layer-3 Decoder");
    graph->AddFilter(renderer, "Default DirectSound Device");

    std::shared_ptr<CPin> out, in;
    GetPin(source, PINDIR_OUTPUT, 0, &out);
    GetPin(splitter, PINDIR_INPUT, 0, &in);
    graph->ConnectDirect(out, in, nullptr);
    if (FAILED(GetPin(splitter, PINDIR_OUTPUT, 0, &out)))
        return S_OK;
    GetPin(decoder, PINDIR_INPUT, 0, &in);
    graph->ConnectDirect(out, in, nullptr);
    GetPin(decoder, PINDIR_OUTPUT, 0, &out);
    GetPin(renderer, PINDIR_INPUT, 0, &in);
    graph->ConnectDirect(out, in, nullptr);
    return S_OK;
}
