// tarnwick-cli split SOURCE START STOP [--format mp3|wav] [--bitrate KBPS]
//                    [--samplerate KHZ] [--outdir DIR] [--copy[=auto]]

#include "CliArgs.h"
#include "Commands.h"
#include "media/graph/TimeText.h"
#include "JobWatch.h"
#include "SplitJob.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>

namespace cli {
namespace fs = std::filesystem;

namespace {

std::string Lower(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return s;
}

} // namespace

int RunSplit(const std::vector<std::string>& args)
{
    const ParsedArgs parsed =
        ParseArgs(args, {"--format", "--bitrate", "--samplerate", "--outdir", "--copy"}, {"--copy"});
    if (parsed.positional.size() != 3)
        throw UsageError("split takes SOURCE START STOP");
    const std::string format = Lower(parsed.Value("--format").value_or("mp3"));
    if (format != "mp3" && format != "wav")
        throw UsageError("--format is mp3 or wav, not \"" + format + "\"");
    const bool mp3Output = format == "mp3";
    SplitCopy copy = parsed.Flag("--copy") ? SplitCopy::Required : SplitCopy::Never;
    if (const auto how = parsed.Value("--copy")) {
        if (Lower(*how) != "auto")
            throw UsageError("--copy takes no value or \"auto\", not \"" + *how + "\"");
        copy = SplitCopy::WhenPossible;
    }
    const int bitRate = ParseBitRate(parsed.Value("--bitrate").value_or(std::to_string(kDefaultMp3Bitrate)));
    const int sampleRate = KiloHertzToHz(parsed.Value("--samplerate").value_or(HzToKiloHertzText(kDefaultMp3SampleRate)));
    const REFERENCE_TIME start = ParseTime(parsed.positional[1]);
    const REFERENCE_TIME stop = ParseTime(parsed.positional[2]);
    if (start >= stop)
        throw Failure("START " + FormatClockMs(start) + " must come before STOP " + FormatClockMs(stop));

    const fs::path source = fs::absolute(parsed.positional[0]);
    const SourceMeasure measured = MeasureReadable(source.string());
    if (stop > measured.duration)
        throw Failure("STOP " + FormatClockMs(stop) + " is past the end of " + source.string() + " ("
                      + FormatClockMs(measured.duration) + ")");

    SplitPieceRequest request;
    request.sourcePath = source.string();
    request.outputDir = parsed.Value("--outdir").value_or((source.parent_path() / "Split").string());
    request.outputName = source.filename().string();
    request.mp3Output = mp3Output;
    request.copy = copy;
    request.start = start;
    request.stop = stop;
    if (mp3Output) {
        const Mp3Settings settings = ResolveMp3Settings(sampleRate, bitRate);
        if (!settings.note.empty())
            std::fprintf(stderr, "%s\n", settings.note.c_str());
        request.bitRate = settings.bitRate;
        request.sampleRate = settings.sampleRate;
    } else if (parsed.Value("--bitrate") || parsed.Value("--samplerate")) {
        std::fprintf(stderr, "note: --bitrate and --samplerate apply to MP3 output; the WAV piece keeps "
                             "the source's sample rate\n");
    }

    CSplitJob job(request);
    if (const JobResult built = job.Build(); !built)
        throw Failure(built.Reason());
    if (!job.CopyRefusal().empty())
        std::fprintf(stderr, "note: re-encoding, since %s\n", job.CopyRefusal().c_str());
    if (job.CopiesFrames() && (parsed.Value("--bitrate") || parsed.Value("--samplerate")))
        std::fprintf(stderr, "note: --bitrate and --samplerate do not apply to a copied piece\n");
    if (mp3Output && job.EffectiveBitRate() > 0 && job.EffectiveBitRate() != request.bitRate)
        std::fprintf(stderr, "note: the encoder uses %d kbps\n", job.EffectiveBitRate());

    job.Run();
    const JobOutcome outcome =
        WaitForJob({[&job](long timeoutMs) { return job.WaitStep(timeoutMs); },
                    [&job] { return job.Progress() / double(kSplitProgressRange); }, fs::path(job.OutputPath()).filename().string()});
    switch (outcome.end) {
    case JobEnd::Completed:
    case JobEnd::Failed:
        if (const JobResult done = job.Finish(outcome.status); !done)
            throw Failure(done.Reason());
        break;
    case JobEnd::Interrupted:
        job.Stop(false);
        throw Failure("interrupted; removed the partial " + job.OutputPath());
    case JobEnd::Stalled:
        job.Stop(false);
        throw Failure("the job stopped making progress; removed the partial " + job.OutputPath());
    }
    std::printf("%s\n", job.OutputPath().c_str());
    return 0;
}

} // namespace cli
