#pragma once
// The capture graph builder: joins a PCM output pin through an encoding
// stage into a writer, putting a sample-rate/channel converter in between
// when the encoding stage does not take the pin's format.

#include "media/graph/Filter.h"
#include "media/graph/MediaTypes.h"

#include <memory>
#include <string>

class IGraphBuilder;

// CLSID_CaptureGraphBuilder2.
class CCaptureGraphBuilder2 {
public:
    [[nodiscard]] HRESULT SetFiltergraph(const std::shared_ptr<IGraphBuilder>& graph);
    // Connects source -> intermediate -> sink (both already in the graph;
    // intermediate may be null: source -> sink). `category` and `type` are
    // accepted for the familiar call shape and must be null.
    [[nodiscard]] HRESULT RenderStream(const GUID* category, const GUID* type, const std::shared_ptr<CPin>& source,
                         const std::shared_ptr<CBaseFilter>& intermediate,
                         const std::shared_ptr<CBaseFilter>& sink);
    std::string LastError() const { return m_lastError; }

private:
    [[nodiscard]] HRESULT ConnectThrough(const std::shared_ptr<CPin>& out, const std::shared_ptr<CBaseFilter>& filter,
                           std::shared_ptr<CPin>* filterOut);
    std::shared_ptr<IGraphBuilder> m_graph;
    std::string m_lastError;
};

// The converter RenderStream inserts: PCM in, PCM out in a fixed format
// (libsoxr for the rate). Its output reader does the work on the reading
// thread, so conversion runs beside encoding.
std::shared_ptr<CBaseFilter> CreateAudioConverter(const AudioFormat& target);
