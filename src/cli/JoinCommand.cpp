// tarnwick-cli join OUTPUT INPUT... [--bitrate KBPS] [--samplerate KHZ] [--overwrite]
//                   [--tag FIELD=VALUE]... [--no-tags] [--no-chapters] [--cover FILE|none]
//
// The join engine writes the output under a hidden temporary name and puts
// it in place only when the job has completed, so a failed or interrupted
// join never leaves a half-written file under the chosen name, and with
// --overwrite the old file survives until the new one is complete.

#include "CliArgs.h"
#include "Commands.h"
#include "Console.h"
#include "JobWatch.h"
#include "JoinJob.h"

#include <cstdio>
#include <filesystem>

namespace cli {

int RunJoin(const std::vector<std::string>& args)
{
    const ParsedArgs parsed = ParseArgs(args, {"--bitrate", "--samplerate", "--tag", "--cover"},
                                        {"--overwrite", "--no-tags", "--no-chapters"});
    if (parsed.positional.size() < 2)
        throw UsageError("join takes OUTPUT and at least one INPUT");
    tags::MergeTagChoices tagChoices;
    tagChoices.edits = ParseTagOptions(parsed);
    tagChoices.write = !parsed.Flag("--no-tags");
    tagChoices.chapters = !parsed.Flag("--no-chapters");
    if (const auto cover = parsed.Value("--cover")) {
        if (cover->empty())
            throw UsageError("--cover takes a picture file or \"none\"");
        tagChoices.cover = *cover == "none" ? tags::CoverChoice{tags::CoverChoice::From::None, {}}
                                            : tags::CoverChoice{tags::CoverChoice::From::PictureFile, *cover};
    }
    if (!tagChoices.write && (parsed.Value("--cover") || parsed.Flag("--no-chapters")))
        throw UsageError("--no-tags writes no tags: --cover and --no-chapters do not go with it");
    const Mp3Settings settings = ResolveMp3Settings(KiloHertzToHz(parsed.Value("--samplerate").value_or(HzToKiloHertzText(kDefaultMp3SampleRate))),
                                                    ParseBitRate(parsed.Value("--bitrate").value_or(std::to_string(kDefaultMp3Bitrate))));
    JoinRequest request;
    request.outputPath = parsed.positional[0];
    request.inputs.assign(parsed.positional.begin() + 1, parsed.positional.end());
    request.overwrite = parsed.Flag("--overwrite");
    request.bitRate = settings.bitRate;
    request.sampleRate = settings.sampleRate;
    request.tags = tagChoices;

    CJoinJob job(request);
    const JobResult built = job.Build();
    NoteReclaimed(job.Reclaimed());
    if (!built) {
        if (built.Failure() == JobFailure::OutputExists)
            throw Failure(job.OutputPath() + " exists; add --overwrite to replace it");
        throw Failure(built.Reason());
    }
    if (!settings.note.empty())
        std::fprintf(Messages(), "%s\n", settings.note.c_str());
    std::size_t warned = 0;
    Warn(job.TagWarnings(), &warned);

    if (const JobResult started = job.Start(); !started)
        throw Failure(started.Reason());
    const JobOutcome outcome = WaitForJob({[&job](long timeoutMs) { return job.WaitStep(timeoutMs); },
                                           [&job] { return job.Progress(); },
                                           std::filesystem::path(job.OutputPath()).filename().string()});
    const std::string output = parsed.positional[0];
    switch (outcome.end) {
    case JobEnd::Completed:
        if (const JobResult done = job.Finish(outcome.status); !done)
            throw Failure(done.Reason());
        break;
    case JobEnd::Failed:
        throw Failure("join failed: " + job.Finish(outcome.status).Reason());
    case JobEnd::Interrupted:
        job.Stop();
        // A join finished before the stop could land is whole: it is told.
        if (!job.CompletedBeforeStop())
            throw Failure("interrupted; nothing was written to " + output);
        break;
    case JobEnd::Stalled:
        job.Stop();
        throw Failure("the join stopped making progress; nothing was written to " + output);
    }
    Warn(job.TagWarnings(), &warned);
    std::printf("%s\n", job.OutputPath().c_str());
    return 0;
}

} // namespace cli
