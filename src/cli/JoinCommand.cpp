// tarnwick-cli join OUTPUT INPUT... [--bitrate KBPS] [--samplerate KHZ] [--overwrite]
//
// The output is written under a hidden temporary name in its own folder and
// put in place only when the job has completed, so a failed or interrupted
// join never leaves a half-written file under the chosen name, and with
// --overwrite the old file survives until the new one is complete.

#include "CliArgs.h"
#include "Commands.h"
#include "media/graph/FilterGraph.h"
#include "media/graph/FilterRegistry.h"
#include "JobWatch.h"
#include "media/filters/LameEncoder.h"
#include "media/render/MediaGraph.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include <fcntl.h>
#include <unistd.h>

namespace cli {
namespace fs = std::filesystem;

namespace {

bool SameFile(const fs::path& a, const fs::path& b)
{
    std::error_code ec;
    if (fs::exists(a, ec) && fs::exists(b, ec)) {
        const bool same = fs::equivalent(a, b, ec);
        if (!ec)
            return same;
    }
    return fs::weakly_canonical(a, ec) == fs::weakly_canonical(b, ec);
}

// A name beside `output` that no file has yet.
fs::path TemporaryBeside(const fs::path& output)
{
    for (int attempt = 0;; ++attempt) {
        const fs::path candidate = output.parent_path()
                                   / ("." + output.filename().string() + ".tarnwick-" + std::to_string(::getpid())
                                      + "-" + std::to_string(attempt) + ".part");
        std::error_code ec;
        if (!fs::exists(fs::symlink_status(candidate, ec)))
            return candidate;
    }
}

// Puts the finished file in place: replacing only when asked to, and never
// replacing a file that appeared while the job ran when not.
void MoveIntoPlace(const fs::path& from, const fs::path& to, bool overwrite)
{
    if (overwrite) {
        if (::rename(from.c_str(), to.c_str()) != 0)
            throw Failure("cannot put the output in place as " + to.string() + ": " + std::strerror(errno));
        return;
    }
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return;
    int err = errno;
    if (err == EINVAL || err == ENOSYS) { // file systems without renameat2 flags
        if (::link(from.c_str(), to.c_str()) == 0) {
            ::unlink(from.c_str());
            return;
        }
        err = errno;
    }
    if (err == EEXIST)
        throw Failure(to.string() + " appeared while joining; the result was not written over it");
    throw Failure("cannot put the output in place as " + to.string() + ": " + std::strerror(err));
}

// Removes the temporary output however the job ends, unless it was moved.
class TemporaryOutput {
public:
    explicit TemporaryOutput(fs::path path) : m_path(std::move(path)) {}
    ~TemporaryOutput()
    {
        std::error_code ec;
        fs::remove(m_path, ec);
    }
    const fs::path& Path() const { return m_path; }

private:
    fs::path m_path;
};

} // namespace

int RunJoin(const std::vector<std::string>& args)
{
    const ParsedArgs parsed = ParseArgs(args, {"--bitrate", "--samplerate"}, {"--overwrite"});
    if (parsed.positional.size() < 2)
        throw UsageError("join takes OUTPUT and at least one INPUT");
    const bool overwrite = parsed.Flag("--overwrite");
    const Mp3Settings settings = ResolveMp3Settings(KiloHertzToHz(parsed.Value("--samplerate").value_or("44.1")),
                                                    ParseBitRate(parsed.Value("--bitrate").value_or("192")));

    const fs::path output = fs::absolute(parsed.positional[0]);
    std::vector<std::string> inputs;
    for (std::size_t i = 1; i < parsed.positional.size(); ++i) {
        const fs::path input = fs::absolute(parsed.positional[i]);
        if (SameFile(output, input))
            throw Failure("the output " + parsed.positional[0] + " is also an input (" + parsed.positional[i] + ")");
        inputs.push_back(input.string());
    }
    std::error_code ec;
    const fs::file_status status = fs::symlink_status(output, ec);
    if (fs::is_directory(fs::status(output, ec)))
        throw Failure(output.string() + " is a folder");
    if (fs::exists(status) && !overwrite)
        throw Failure(output.string() + " exists; add --overwrite to replace it");
    if (!fs::is_directory(output.parent_path(), ec))
        throw Failure("no folder " + output.parent_path().string() + " for the output");
    if (!settings.note.empty())
        std::fprintf(stderr, "%s\n", settings.note.c_str());

    std::vector<REFERENCE_TIME> durations;
    for (const std::string& input : inputs)
        durations.push_back(MeasureFile(input).duration);

    // Created by its class identifier, as the join page creates its encoder.
    std::shared_ptr<CBaseFilter> encoder;
    CreateFilter(clsid::LameEncoder, &encoder);
    IAudioEncoderProperties* properties = GetEncoderProperties(encoder);
    if (!properties || FAILED(properties->set_SampleRate(settings.sampleRate))
        || FAILED(properties->set_Bitrate(settings.bitRate)))
        throw Failure("the MP3 encoder does not take " + std::to_string(settings.bitRate) + " kbps at "
                      + HzToKiloHertzText(settings.sampleRate) + " kHz");

    TemporaryOutput temporary(TemporaryBeside(output));
    CMediaGraph graph;
    graph.BuildJoinGraph(inputs, temporary.Path().string(), durations, encoder);
    if (!graph.control || !graph.events)
        throw Failure("cannot build the join graph" + (graph.graph ? ": " + graph.graph->LastError() : ""));

    graph.Run();
    const REFERENCE_TIME total = graph.GetDuration();
    const JobOutcome outcome = WaitForJob(
        {[&graph](long timeoutMs) {
             long code = 0;
             graph.events->WaitForCompletion(timeoutMs, &code);
             return code;
         },
         [&graph, total] { return total > 0 ? double(graph.GetCurrentPosition()) / double(total) : 0.0; },
         output.filename().string()});
    switch (outcome.end) {
    case JobEnd::Completed:
        graph.Stop();
        break;
    case JobEnd::Failed: {
        std::string reason = graph.events->ErrorReason();
        graph.Stop();
        // Speak of the file the user named, not of the temporary one.
        const std::string temporaryName = temporary.Path().string();
        for (auto at = reason.find(temporaryName); at != std::string::npos; at = reason.find(temporaryName))
            reason.replace(at, temporaryName.size(), output.string());
        throw Failure("join failed: " + (reason.empty() ? "the graph stopped (event " + std::to_string(outcome.code) + ")"
                                                        : reason));
    }
    case JobEnd::Interrupted:
        graph.Stop();
        throw Failure("interrupted; nothing was written to " + output.string());
    case JobEnd::Stalled:
        graph.Stop();
        throw Failure("the join stopped making progress; nothing was written to " + output.string());
    }
    MoveIntoPlace(temporary.Path(), output, overwrite);
    std::printf("%s\n", output.c_str());
    return 0;
}

} // namespace cli
