#pragma once
// The program's own thin layer over the graph manager: a holder of one graph
// and its control facets (CMediaGraph), the pin finder (GetPin), the
// program-owned media type record (CMediaTypeValue) and the duration text.
// Nothing here shows a message; callers decide what to report.

#include "FilterGraph.h"
#include "MediaTypes.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class CAMTimeline;
class CAMTimelineObj;
class CRenderEngine;

// The notification the join page receives (WM_USER + 20).
constexpr unsigned WM_GRAPHNOTIFY = 0x0400 + 20;

class CMediaGraph {
public:
    CMediaGraph() = default;
    virtual ~CMediaGraph();
    CMediaGraph(const CMediaGraph&) = delete;
    CMediaGraph& operator=(const CMediaGraph&) = delete;

    // Releases whatever is held, then creates an empty graph and takes its
    // facets.
    HRESULT CreateGraph();
    void QueryControls();
    void ReleaseAll();
    // Attaches the event callback; a null callback detaches it and lets the
    // events facet go.
    void SetNotifyWindow(IMediaEventEx::NotifyCallback callback);
    void Run();
    void Stop();
    REFERENCE_TIME GetDuration();
    REFERENCE_TIME GetCurrentPosition();
    // "%02d:%02d:%02d" of GetDuration(); hours do not wrap.
    std::string GetDurationText();
    // Builds (never runs) a decoding graph for one file so that its duration
    // can be read: the MPEG chain by hand when the path names an MP3,
    // RenderFile otherwise.
    HRESULT BuildDecodeGraph(const std::string& path);

    // The join graph: `files` back to back (each for its duration) through
    // `encoder` into the raw file writer at `outputPath`, without a clock.
    void BuildJoinGraph(const std::vector<std::string>& files, const std::string& outputPath,
                        const std::vector<REFERENCE_TIME>& durations, const std::shared_ptr<CBaseFilter>& encoder);
    // Why the last BuildJoinGraph built no graph that can run ("" when it
    // built one): a missing or unreadable input (named), an output that is
    // one of the inputs, a connection that failed.
    std::string LastError() const { return m_lastError; }

    // The owned facets, in declaration order; empty when not held.
    std::shared_ptr<IGraphBuilder> graph;
    std::shared_ptr<IMediaEventEx> events;
    std::shared_ptr<IMediaSeeking> seeking;
    std::shared_ptr<IMediaControl> control;
    std::shared_ptr<CAMTimeline> timeline;
    std::shared_ptr<CAMTimelineObj> group;
    std::shared_ptr<CRenderEngine> renderEngine;

private:
    std::string m_lastError;
};

// The `index`-th pin (from 0) of `direction` on `filter`, in the filter's pin
// order: S_OK, E_POINTER for no filter, E_FAIL when there is no such pin
// (`*pin` is then null).
HRESULT GetPin(const std::shared_ptr<CBaseFilter>& filter, PIN_DIRECTION direction, int index,
               std::shared_ptr<CPin>* pin);

// "%02d:%02d:%02d" of a duration: whole seconds taken as a 32-bit number,
// hours not limited to two digits.
std::string DurationText(REFERENCE_TIME duration);

// A media type record owned by the program.
class CMediaTypeValue {
public:
    CMediaTypeValue();
    ~CMediaTypeValue();
    CMediaTypeValue(const CMediaTypeValue&) = delete;
    CMediaTypeValue& operator=(const CMediaTypeValue&) = delete;

    void SetMajorType(const GUID& guid);
    // Frees the format block (when cbFormat is not 0) and lets pUnk go;
    // harmless when run again.
    void FreeFields();

    GUID majortype;
    GUID subtype;
    std::int32_t bFixedSizeSamples = 1;
    std::int32_t bTemporalCompression = 0;
    std::uint32_t lSampleSize = 1;
    GUID formattype;
    std::shared_ptr<void> pUnk;
    std::uint32_t cbFormat = 0;
    std::uint8_t* pbFormat = nullptr; // allocated with std::malloc
};
