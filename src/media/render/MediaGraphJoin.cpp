// The join graph: the files back to back on one audio track of an editing
// timeline, rendered through the page's MP3 encoder into the raw file writer
// and run without a clock.

#include "media/render/MediaGraph.h"

#include "media/graph/CFilterGraph.h"
#include "media/filters/CaptureGraphBuilder.h"
#include "media/filters/FileWriter.h"
#include "media/graph/FilterRegistry.h"
#include "media/render/RenderEngine.h"
#include "media/render/Timeline.h"
#include "media/graph/MediaTypeValue.h"

#include <filesystem>

namespace {

// The output must not be one of the inputs: writing it would destroy the
// file while it is being read. Compared by identity, however it is named.
std::string OutputAmongInputs(const std::vector<std::string>& files, const std::string& outputPath)
{
    std::error_code ec;
    if (!std::filesystem::exists(outputPath, ec))
        return {};
    for (const std::string& file : files) {
        std::error_code same;
        if (std::filesystem::equivalent(file, outputPath, same))
            return "the output " + outputPath + " is one of the files to join (" + file + ")";
    }
    return {};
}

} // namespace

void CMediaGraph::BuildJoinGraph(const std::vector<std::string>& files, const std::string& outputPath,
                                 const std::vector<REFERENCE_TIME>& durations,
                                 const std::shared_ptr<CBaseFilter>& encoder)
{
    m_lastError.clear();
    // 1-2. A fresh, empty graph in place of whatever was held.
    if (graph)
        ReleaseAll();
    graph = CreateFilterGraph();
    if (!graph) {
        m_lastError = "cannot create a filter graph";
        return;
    }
    // Faults the build itself refuses: the graph stays empty, and running it
    // ends at once with an error instead of writing anything.
    if (files.empty())
        m_lastError = "there are no files to join";
    else if (files.size() != durations.size())
        m_lastError = "every file to join needs its duration";
    else
        m_lastError = OutputAmongInputs(files, outputPath);
    if (!m_lastError.empty()) {
        QueryControls();
        return;
    }

    // 3. Timeline.
    timeline = std::make_shared<CAMTimeline>();
    // 4-6. One audio group.
    timeline->CreateEmptyNode(&group, TIMELINE_MAJOR_TYPE_GROUP);
    auto groupSettings = std::dynamic_pointer_cast<IAMTimelineGroup>(group);
    CMediaTypeValue mediaType;
    mediaType.SetMajorType(MEDIATYPE_Audio);
    if (groupSettings)
        groupSettings->SetMediaType(&mediaType);
    timeline->AddGroup(group);
    // 7. Its track.
    std::shared_ptr<CAMTimelineObj> track;
    timeline->CreateEmptyNode(&track, TIMELINE_MAJOR_TYPE_TRACK);
    if (auto composition = std::dynamic_pointer_cast<IAMTimelineComp>(group))
        composition->VTrackInsBefore(track, -1);
    auto trackSources = std::dynamic_pointer_cast<IAMTimelineTrack>(track);
    // 8. The files back to back, each from its start for its duration.
    REFERENCE_TIME start = 0;
    for (std::size_t i = 0; i < files.size(); ++i) {
        std::shared_ptr<CAMTimelineObj> source;
        timeline->CreateEmptyNode(&source, TIMELINE_MAJOR_TYPE_SOURCE);
        if (auto src = std::dynamic_pointer_cast<IAMTimelineSrc>(source)) {
            src->SetMediaName(files[i]);
            src->SetMediaTimes(0, durations[i]);
        }
        source->SetStartStop(start, start + durations[i]);
        if (trackSources)
            trackSources->SrcAdd(source);
        start += durations[i];
    }
    // 9. Every input must be there and readable; nobody is asked to find one.
    if (FAILED(timeline->ValidateSourceNames(SFN_VALIDATEF_CHECK | SFN_VALIDATEF_POPUP | SFN_VALIDATEF_REPLACE,
                                             nullptr, 0))) {
        m_lastError = timeline->LastError();
        QueryControls();
        return;
    }
    // 10-12. The render engine's graph becomes the holder's graph.
    renderEngine = std::make_shared<CRenderEngine>();
    renderEngine->SetTimelineObject(timeline);
    if (FAILED(renderEngine->ConnectFrontEnd())) {
        m_lastError = renderEngine->LastError();
        QueryControls();
        return;
    }
    std::shared_ptr<CFilterGraph> engineGraph;
    renderEngine->GetFilterGraph(&engineGraph);
    graph = engineGraph;
    // 13. Capture graph builder.
    CCaptureGraphBuilder2 builder;
    builder.SetFiltergraph(graph);
    // 14. The raw file writer, from its identifier text.
    GUID writerClass;
    std::shared_ptr<CBaseFilter> writer;
    if (SUCCEEDED(UuidFromString(clsid::RawFileWriter, &writerClass)))
        CreateFilter(writerClass, &writer);
    // 15.
    if (encoder)
        graph->AddFilter(encoder, "Lame");
    if (writer)
        graph->AddFilter(writer, "Dest");
    // 16. The output was chosen with the overwrite question already asked.
    if (IFileSinkFilter* sink = GetFileSink(writer)) {
        sink->SetFileName(outputPath, nullptr);
        sink->SetOverwrite(true);
    }
    // 17. Group output -> encoder -> writer (a converter where needed).
    std::shared_ptr<CPin> pin;
    if (renderEngine->GetGroupOutputPin(0, &pin) == S_OK) {
        if (FAILED(builder.RenderStream(nullptr, nullptr, pin, encoder, writer)))
            m_lastError = builder.LastError();
    } else {
        m_lastError = "the timeline has no audio output";
    }
    // 18. No clock: as fast as decoding and encoding go.
    if (auto filter = std::dynamic_pointer_cast<IMediaFilter>(graph))
        filter->SetSyncSource(nullptr);
    // 19.
    QueryControls();
    // 20. The builder, pin, writer, track and media type go with this scope.
}
