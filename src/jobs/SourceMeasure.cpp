#include "SourceMeasure.h"

#include "media/graph/FilterGraph.h"
#include "media/render/MediaGraph.h"

#include <filesystem>

namespace {

// The format on the first connected PCM link of the graph: the decoder's
// output for an MP3, the sound-file source's output otherwise.
AudioFormat DecodedFormat(const IGraphBuilder& graph)
{
    for (const auto& filter : graph.EnumFilters()) {
        for (const auto& pin : filter->EnumPins()) {
            PIN_DIRECTION dir = PINDIR_INPUT;
            pin->QueryDirection(&dir);
            if (dir == PINDIR_OUTPUT && pin->IsConnected() && pin->ConnectionMediaType().kind == MediaKind::Pcm
                && pin->ConnectionMediaType().audio.Valid())
                return pin->ConnectionMediaType().audio;
        }
    }
    return {};
}

} // namespace

SourceMeasure MeasureSource(const std::string& path)
{
    SourceMeasure measure;
    // Opening a FIFO for reading would wait for a writer forever.
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)
        && !std::filesystem::is_directory(status)) {
        measure.error = "not a regular file";
        return measure;
    }

    measure.identity = IdentifySource(path);
    CMediaGraph graph;
    // Measured even when a step failed: a graph only measured may still
    // give a duration.
    (void)graph.BuildDecodeGraph(path);
    measure.duration = graph.GetDuration();
    if (graph.graph) {
        const AudioFormat format = DecodedFormat(*graph.graph);
        measure.sampleRate = format.sampleRate;
        measure.channels = format.channels;
        if (format.Valid())
            return measure;
    }
    measure.error = graph.LastError().empty() ? "no decodable audio" : graph.LastError();
    return measure;
}
