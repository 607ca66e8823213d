#include "MediaGraph.h"

#include "CFilterGraph.h"
#include "FilterRegistry.h"

#include <cstdio>
#include <cstdlib>

CMediaGraph::~CMediaGraph()
{
    ReleaseAll();
}

HRESULT CMediaGraph::CreateGraph()
{
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

std::string DurationText(REFERENCE_TIME duration)
{
    const auto totalSeconds = static_cast<std::int32_t>(duration / kUnitsPerSecond);
    const std::int32_t totalMinutes = totalSeconds / 60;
    char text[48];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", totalMinutes / 60, totalMinutes % 60, totalSeconds % 60);
    return text;
}

std::string CMediaGraph::GetDurationText()
{
    return DurationText(GetDuration());
}

HRESULT CMediaGraph::BuildDecodeGraph(const std::string& path)
{
    CreateGraph();
    if (!graph)
        return S_OK;
    if (!PathNamesMp3(path))
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

HRESULT GetPin(const std::shared_ptr<CBaseFilter>& filter, PIN_DIRECTION direction, int index,
               std::shared_ptr<CPin>* pin)
{
    if (!pin)
        return E_POINTER;
    pin->reset();
    if (!filter)
        return E_POINTER;
    for (const auto& candidate : filter->EnumPins()) {
        // Preset to no valid direction, so that a failed query never matches.
        auto found = static_cast<PIN_DIRECTION>(3);
        candidate->QueryDirection(&found);
        if (found != direction)
            continue;
        if (index == 0) {
            *pin = candidate;
            return S_OK;
        }
        --index;
    }
    return E_FAIL;
}

CMediaTypeValue::CMediaTypeValue() = default;

CMediaTypeValue::~CMediaTypeValue()
{
    FreeFields();
}

void CMediaTypeValue::SetMajorType(const GUID& guid)
{
    majortype = guid;
}

void CMediaTypeValue::FreeFields()
{
    if (cbFormat != 0) {
        std::free(pbFormat);
        cbFormat = 0;
        pbFormat = nullptr;
    }
    pUnk.reset();
}
