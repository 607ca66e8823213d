// The capture graph builder's RenderStream and the converter it inserts.

#include "media/filters/CaptureGraphBuilder.h"

#include "media/graph/ClassIds.h"

#include "media/graph/FilterGraph.h"
#include "media/pcm/PcmStages.h"

#include <mutex>
#include <optional>

namespace {

std::shared_ptr<CPin> FirstPin(const CBaseFilter& filter, PIN_DIRECTION wanted, bool unconnected)
{
    for (const auto& pin : filter.EnumPins()) {
        PIN_DIRECTION dir = PINDIR_INPUT;
        pin->QueryDirection(&dir);
        if (dir == wanted && (!unconnected || !pin->IsConnected()))
            return pin;
    }
    return nullptr;
}

std::string NameOf(const CBaseFilter& filter)
{
    const std::string name = filter.QueryFilterInfo();
    return name.empty() ? filter.ClassId() : "\"" + name + "\"";
}

class CConverterInputPin final : public CPin {
public:
    explicit CConverterInputPin(CBaseFilter& owner) : CPin(owner, "In", PINDIR_INPUT) {}
    // Pulled, not pushed: the output's reader reads through this pin's peer.
    HRESULT QueryAccept(const MediaType& type) const override
    {
        return type.kind == MediaKind::Pcm && type.audio.Valid() ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
    }
};

class CConverterOutputPin final : public CPin {
public:
    CConverterOutputPin(CBaseFilter& owner, const AudioFormat& target)
        : CPin(owner, "Out", PINDIR_OUTPUT), m_target(target)
    {
    }
    std::vector<MediaType> EnumMediaTypes() const override { return {MediaType{MediaKind::Pcm, m_target, {}}}; }

    std::shared_ptr<IPcmReader> PcmSource() override
    {
        std::lock_guard lock(m_mutex);
        if (!m_reader) {
            auto input = FirstPin(Filter(), PINDIR_INPUT, false);
            auto upstream = input ? input->ConnectedTo() : nullptr;
            if (auto* anyFormat = dynamic_cast<IPcmSourceAnyFormat*>(upstream.get())) {
                m_reader = anyFormat->PcmSourceAs(m_target);
                return m_reader;
            }
            auto source = upstream ? upstream->PcmSource() : nullptr;
            if (!source)
                return nullptr;
            m_reader = MakeConvertReader(std::move(source), m_target);
        }
        return m_reader;
    }

    void BreakConnect() override
    {
        std::lock_guard lock(m_mutex);
        m_reader.reset();
    }

private:
    AudioFormat m_target;
    std::mutex m_mutex;
    std::shared_ptr<IPcmReader> m_reader;
};

class CAudioConverter final : public CBaseFilter {
public:
    explicit CAudioConverter(const AudioFormat& target) : CBaseFilter(clsid::AudioConverter), m_target(target)
    {
        AddPin(std::make_shared<CConverterInputPin>(*this));
        AddPin(std::make_shared<CConverterOutputPin>(*this, target));
    }
    std::string Describe() const override
    {
        return "libsoxr HQ to " + DescribeMediaType({MediaKind::Pcm, m_target, {}});
    }

private:
    AudioFormat m_target;
};

} // namespace

std::shared_ptr<CBaseFilter> CreateAudioConverter(const AudioFormat& target)
{
    return std::make_shared<CAudioConverter>(target);
}

HRESULT CCaptureGraphBuilder2::SetFiltergraph(const std::shared_ptr<IGraphBuilder>& graph)
{
    if (!graph)
        return E_POINTER;
    if (m_graph)
        return E_UNEXPECTED;
    m_graph = graph;
    return S_OK;
}

HRESULT CCaptureGraphBuilder2::RenderStream(const GUID* category, const GUID* type,
                                            const std::shared_ptr<CPin>& source,
                                            const std::shared_ptr<CBaseFilter>& intermediate,
                                            const std::shared_ptr<CBaseFilter>& sink)
{
    if (category || type)
        return E_NOTIMPL; // only whole pins are rendered
    if (!m_graph) {
        m_lastError = "the capture graph builder has no graph";
        return E_UNEXPECTED;
    }
    if (!source) {
        m_lastError = "no pin to render";
        return E_POINTER;
    }
    std::shared_ptr<CPin> out = source;
    if (intermediate) {
        if (HRESULT hr = ConnectThrough(out, intermediate, &out); FAILED(hr))
            return hr;
    }
    if (!sink)
        return S_OK;
    auto in = FirstPin(*sink, PINDIR_INPUT, true);
    if (!out || !in) {
        m_lastError = "nothing to connect to " + NameOf(*sink);
        return VFW_E_CANNOT_RENDER;
    }
    if (HRESULT hr = m_graph->ConnectDirect(out, in, nullptr); FAILED(hr)) {
        m_lastError = "cannot connect " + NameOf(out->Filter()) + " to " + NameOf(*sink);
        if (!sink->LastError().empty())
            m_lastError += ": " + sink->LastError();
        return hr;
    }
    return S_OK;
}

// Connects `out` to `filter`'s input, putting a converter in between when
// the filter does not take the pin's PCM format; `filterOut` receives the
// filter's output pin.
HRESULT CCaptureGraphBuilder2::ConnectThrough(const std::shared_ptr<CPin>& out,
                                              const std::shared_ptr<CBaseFilter>& filter,
                                              std::shared_ptr<CPin>* filterOut)
{
    auto in = FirstPin(*filter, PINDIR_INPUT, true);
    if (!in) {
        m_lastError = NameOf(*filter) + " has no free input";
        return VFW_E_CANNOT_RENDER;
    }
    bool accepted = false;
    const std::vector<MediaType> offered = out->EnumMediaTypes();
    for (const MediaType& t : offered)
        accepted = accepted || in->QueryAccept(t) == S_OK;

    std::shared_ptr<CPin> from = out;
    if (!accepted && !offered.empty() && offered.front().kind == MediaKind::Pcm) {
        // The input's own preferred formats say what to convert to: keep the
        // channel count when it is among them.
        const AudioFormat have = offered.front().audio;
        std::optional<AudioFormat> target;
        for (const MediaType& t : in->EnumMediaTypes()) {
            if (t.kind != MediaKind::Pcm || in->QueryAccept(t) != S_OK)
                continue;
            if (!target || t.audio.channels == have.channels)
                target = t.audio;
        }
        if (!target) {
            m_lastError = NameOf(*filter) + " takes no PCM format a converter could make";
            return VFW_E_CANNOT_RENDER;
        }
        auto converter = CreateAudioConverter(*target);
        if (HRESULT hr = m_graph->AddFilter(converter, kAudioConverterName); FAILED(hr)) {
            m_lastError = "cannot add the audio converter";
            return hr;
        }
        if (HRESULT hr = m_graph->ConnectDirect(out, FirstPin(*converter, PINDIR_INPUT, true), nullptr);
            FAILED(hr)) {
            m_lastError = "cannot connect " + NameOf(out->Filter()) + " to the audio converter";
            return hr;
        }
        from = FirstPin(*converter, PINDIR_OUTPUT, false);
    }
    if (HRESULT hr = m_graph->ConnectDirect(from, in, nullptr); FAILED(hr)) {
        m_lastError = "cannot connect " + NameOf(from->Filter()) + " to " + NameOf(*filter);
        if (!filter->LastError().empty())
            m_lastError += ": " + filter->LastError();
        return hr;
    }
    *filterOut = FirstPin(*filter, PINDIR_OUTPUT, false);
    return S_OK;
}
