// tarnwick-cli split SOURCE START STOP [--format mp3|wav] [--bitrate KBPS]
//                    [--samplerate KHZ] [--outdir DIR] [--copy[=auto]]
//                    [--tag FIELD=VALUE]... [--no-tags]

#include "CliArgs.h"
#include "Commands.h"
#include "Console.h"
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
    const ParsedArgs parsed = ParseArgs(args, {"--format", "--bitrate", "--samplerate", "--outdir", "--copy", "--tag"},
                                        {"--copy", "--no-tags"});
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
        throw UsageError("START " + FormatClockMs(start) + " must come before STOP " + FormatClockMs(stop));
    // Wrong use is told before any file is looked at.
    const Mp3Settings settings = mp3Output ? ResolveMp3Settings(sampleRate, bitRate) : Mp3Settings{};
    const tags::TagEdits tagEdits = ParseTagOptions(parsed);

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
    request.sourceIdentity = measured.identity; // the file measured is the file split
    request.writeTags = !parsed.Flag("--no-tags");
    request.tagEdits = tagEdits;
    if (mp3Output) {
        if (!settings.note.empty())
            std::fprintf(Messages(), "%s\n", settings.note.c_str());
        request.bitRate = settings.bitRate;
        request.sampleRate = settings.sampleRate;
    } else if (parsed.Value("--bitrate") || parsed.Value("--samplerate")) {
        std::fprintf(Messages(), "note: --bitrate and --samplerate apply to MP3 output; the WAV piece keeps "
                             "the source's sample rate\n");
    }

    CSplitJob job(request);
    const JobResult built = job.Build();
    NoteReclaimed(job.Reclaimed());
    if (!built)
        throw Failure(built.Reason());
    if (!job.CopyRefusal().empty())
        std::fprintf(Messages(), "note: re-encoding, since %s\n", job.CopyRefusal().c_str());
    if (job.CopiesFrames() && (parsed.Value("--bitrate") || parsed.Value("--samplerate")))
        std::fprintf(Messages(), "note: --bitrate and --samplerate do not apply to a copied piece\n");
    if (mp3Output && job.EffectiveBitRate() > 0 && job.EffectiveBitRate() != request.bitRate)
        std::fprintf(Messages(), "note: the encoder uses %d kbps\n", job.EffectiveBitRate());
    std::size_t warned = 0;
    Warn(job.TagWarnings(), &warned);

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
        // A piece finished before the stop could land is whole: it is told.
        if (!job.OutputComplete())
            throw Failure("interrupted; nothing was written to " + job.OutputPath());
        if (const JobResult done = job.Finish(JobStatus::Completed); !done)
            throw Failure(done.Reason());
        break;
    case JobEnd::Stalled:
        job.Stop(false);
        throw Failure("the job stopped making progress; nothing was written to " + job.OutputPath());
    }
    Warn(job.TagWarnings(), &warned);
    std::printf("%s\n", job.OutputPath().c_str());
    return 0;
}

} // namespace cli
