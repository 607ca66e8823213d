// tarnwick-cli probe FILE...
//
// One tab-separated line per file: duration in 100 ns units, its hh:mm:ss
// text, sample rate, channels, path. The duration comes from the decoding
// graph the join page builds to measure its files.

#include "CliArgs.h"
#include "Commands.h"
#include "media/graph/FilterGraph.h"
#include "media/render/MediaGraph.h"

#include <cstdio>
#include <filesystem>

namespace cli {
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

struct Probed {
    Measured measured;
    std::string durationText;
};

// Builds the decoding graph for `path`; throws Failure with the reason when
// the file cannot be decoded.
Probed Probe(const std::string& path)
{
    // Opening a FIFO for reading would wait for a writer forever.
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)
        && !std::filesystem::is_directory(status))
        throw Failure("cannot read " + path + ": not a regular file");

    CMediaGraph graph;
    graph.BuildDecodeGraph(path); // measured below even when a step failed
    Probed probed;
    if (graph.graph) {
        const AudioFormat format = DecodedFormat(*graph.graph);
        probed.measured = {graph.GetDuration(), format.sampleRate, format.channels};
        probed.durationText = graph.GetDurationText();
        if (format.Valid())
            return probed;
    }
    std::string reason = graph.LastError();
    if (reason.empty())
        reason = "no decodable audio";
    throw Failure("cannot read " + path + ": " + reason);
}

} // namespace

Measured MeasureFile(const std::string& path)
{
    return Probe(path).measured;
}

int RunProbe(const std::vector<std::string>& args)
{
    const ParsedArgs parsed = ParseArgs(args, {}, {});
    if (parsed.positional.empty())
        throw UsageError("probe takes at least one FILE");
    int status = 0;
    for (const std::string& path : parsed.positional) {
        try {
            const Probed p = Probe(path);
            std::printf("%lld\t%s\t%d\t%d\t%s\n", (long long)p.measured.duration, p.durationText.c_str(),
                        p.measured.sampleRate, p.measured.channels, path.c_str());
            std::fflush(stdout);
        } catch (const Failure& e) {
            std::fprintf(stderr, "tarnwick-cli: %s\n", e.what());
            status = 1;
        }
    }
    return status;
}

} // namespace cli
