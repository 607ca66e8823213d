// The join graph: the files back to back on one audio track of an editing
// timeline, rendered through the page's MP3 encoder into the raw file writer
// and run without a clock.

#include "media/render/MediaGraph.h"

#include "media/filters/FileWriter.h"
#include "media/graph/CFilterGraph.h"
#include "media/graph/FilterRegistry.h"
#include "media/render/AudioTimeline.h"
#include "media/render/RenderEngine.h"
#include "media/render/Timeline.h"

#include <filesystem>
#include <optional>

std::optional<std::string> InputSameAsOutput(const std::vector<std::string>& files, const std::string& outputPath)
{
    namespace fs = std::filesystem;
    const fs::path output = fs::absolute(outputPath);
    std::error_code ec;
    const bool outputExists = fs::exists(output, ec);
    for (const std::string& file : files) {
        const fs::path input = fs::absolute(file);
        if (outputExists && fs::exists(input, ec)) {
            std::error_code same;
            if (fs::equivalent(input, output, same) && !same)
                return file;
            if (!same)
                continue;
        }
        if (fs::weakly_canonical(input, ec) == fs::weakly_canonical(output, ec))
            return file;
    }
    return std::nullopt;
}

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
    else if (const auto same = InputSameAsOutput(files, outputPath))
        m_lastError = "the output " + outputPath + " is one of the files to join (" + *same + ")";
    if (!m_lastError.empty()) {
        QueryControls();
        return;
    }

    // 3-9. The timeline: one audio group and track, the files back to back,
    // each from its start for its duration; every input must be there and
    // readable, and nobody is asked to find one.
    std::vector<TimelineSource> sources;
    REFERENCE_TIME start = 0;
    for (std::size_t i = 0; i < files.size(); ++i) {
        sources.push_back({files[i], 0, durations[i], start, start + durations[i]});
        start += durations[i];
    }
    AudioTimeline built;
    const HRESULT validated = BuildAudioTimeline(sources, &built, &m_lastError);
    timeline = built.timeline;
    group = built.group;
    if (FAILED(validated)) {
        QueryControls();
        return;
    }
    // 14. The raw file writer, from its identifier text. Where it cannot
    // be made or named, the graph stays as it is and running it ends in an
    // error.
    GUID writerClass;
    std::shared_ptr<CBaseFilter> writer;
    if (FAILED(UuidFromString(clsid::RawFileWriter, &writerClass)) || FAILED(CreateFilter(writerClass, &writer))) {
        m_lastError = "the file writer is not available";
        QueryControls();
        return;
    }
    // 16. The output was chosen with the overwrite question already asked.
    IFileSinkFilter* sink = GetFileSink(writer);
    if (!sink || FAILED(sink->SetFileName(outputPath, nullptr)) || FAILED(sink->SetOverwrite(true))) {
        m_lastError = "cannot name the output " + outputPath;
        QueryControls();
        return;
    }
    // 10-13, 15, 17. The render engine's graph becomes the holder's graph:
    // group output -> encoder -> writer (a converter where needed). A graph
    // that could not be connected is kept (LastError says why): running it
    // ends in an error.
    std::shared_ptr<CFilterGraph> engineGraph;
    const HRESULT rendered =
        RenderAudioTimeline(timeline, encoder, writer, false, &renderEngine, &engineGraph, &m_lastError);
    if (FAILED(rendered) && m_lastError.empty())
        m_lastError = "cannot connect the join graph";
    if (!engineGraph) {
        QueryControls();
        return;
    }
    graph = engineGraph;
    // 18. No clock: as fast as decoding and encoding go.
    auto filter = std::dynamic_pointer_cast<IMediaFilter>(graph);
    if (!filter || FAILED(filter->SetSyncSource(nullptr)))
        m_lastError = "the join graph cannot run without a clock";
    // 19.
    QueryControls();
}
