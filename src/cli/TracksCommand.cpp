// tarnwick-cli tracks SOURCE (--cue FILE | --labels FILE | --silence[=DB[,SECONDS]]
//                    | --parts N | --every hh:mm:ss | --at T1,T2,...) [--snap SECONDS]
//                    [--trim-silence] [--copy[=auto] | --format mp3|wav --bitrate --samplerate]
//                    [--outdir DIR] [--name TEMPLATE] [--dry-run] [--export-cue FILE]
//                    [--export-labels FILE] [--no-tags]

#include "CliArgs.h"
#include "Commands.h"
#include "Console.h"
#include "CueSheet.h"
#include "DecodeScanner.h"
#include "JobWatch.h"
#include "LabelFile.h"
#include "Silences.h"
#include "SplitJob.h"
#include "TracksJob.h"
#include "media/graph/TimeText.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>

namespace cli {
namespace fs = std::filesystem;

namespace {

// Silences shorter than this are not pauses a part may end in.
constexpr double kSnapSilenceSeconds = 0.5;

std::string Lower(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return s;
}

double ParseNumber(const std::string& text, const std::string& what)
{
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (text.empty() || end != text.c_str() + text.size() || !std::isfinite(value))
        throw UsageError(what + " is a number, not \"" + text + "\"");
    return value;
}

SSilenceOptions ParseSilence(const std::string& text)
{
    SSilenceOptions options;
    const std::size_t comma = text.find(',');
    const std::string db = text.substr(0, comma);
    if (!db.empty()) {
        options.thresholdDb = ParseNumber(db, "the silence threshold");
        if (*options.thresholdDb >= 0 || *options.thresholdDb < -120)
            throw UsageError("the silence threshold is in dBFS, below 0 (say -50), not " + db);
    }
    if (comma != std::string::npos) {
        options.minSeconds = ParseNumber(text.substr(comma + 1), "the silence length");
        if (options.minSeconds < 0.05 || options.minSeconds > 3600)
            throw UsageError("the silence length is in seconds, from 0.05 on, not " + text.substr(comma + 1));
    }
    return options;
}

// The source's silences, scanned on both cores; Ctrl-C stops the scan.
SSilenceReport ScanSilences(const std::string& source, const SSilenceOptions& options)
{
    CDecodeScanner scanner(source);
    std::string reason;
    if (!scanner.Start(&reason))
        throw Failure(reason);
    while (!scanner.Wait(100))
        if (InterruptRequested()) {
            scanner.Stop();
            scanner.Wait(-1);
            throw Failure("interrupted; nothing was written");
        }
    if (!scanner.Error().empty())
        throw Failure(scanner.Error());
    return FindSilences(scanner.AllBlocks(), scanner.BlockTime(), options);
}

std::vector<REFERENCE_TIME> ParseTimes(const std::string& list)
{
    std::vector<REFERENCE_TIME> times;
    std::stringstream in(list);
    for (std::string item; std::getline(in, item, ',');)
        times.push_back(ParseTime(item));
    if (times.empty())
        throw UsageError("--at takes times hh:mm:ss separated by commas");
    return times;
}

void PrintPlan(const STrackList& list, const std::vector<std::string>& names)
{
    const int width = int(std::to_string(list.tracks.size()).size());
    for (std::size_t k = 0; k < list.tracks.size(); ++k) {
        const STrack& t = list.tracks[k];
        std::printf("%0*zu  %s  %s  %s  %s\n", width, k + 1, FormatClockMs(t.start).c_str(),
                    FormatClockMs(t.end).c_str(), FormatClockMs(t.end - t.start).c_str(), names[k].c_str());
    }
}

} // namespace

int RunTracks(const std::vector<std::string>& args)
{
    const ParsedArgs parsed =
        ParseArgs(args,
                  {"--cue", "--labels", "--silence", "--parts", "--every", "--at", "--snap", "--copy", "--format",
                   "--bitrate", "--samplerate", "--outdir", "--name", "--export-cue", "--export-labels"},
                  {"--silence", "--copy", "--trim-silence", "--dry-run", "--no-tags"});
    if (parsed.positional.size() != 1)
        throw UsageError("tracks takes one SOURCE");
    const bool silence = parsed.Flag("--silence") || parsed.Value("--silence");
    int ways = silence ? 1 : 0;
    for (const char* option : {"--cue", "--labels", "--parts", "--every", "--at"})
        ways += parsed.Value(option) ? 1 : 0;
    if (ways != 1)
        throw UsageError("tracks takes one of --cue, --labels, --silence, --parts, --every and --at");

    // The output format.
    TracksRequest request;
    const bool copyAsked = parsed.Flag("--copy") || parsed.Value("--copy");
    if (const auto how = parsed.Value("--copy"); how && Lower(*how) != "auto")
        throw UsageError("--copy takes no value or \"auto\", not \"" + *how + "\"");
    const auto format = parsed.Value("--format");
    if (copyAsked && format)
        throw UsageError("--copy and --format do not go together");
    if (format && Lower(*format) != "mp3" && Lower(*format) != "wav")
        throw UsageError("--format is mp3 or wav, not \"" + *format + "\"");
    request.format = !format ? TracksFormat::Copy : Lower(*format) == "wav" ? TracksFormat::Wav : TracksFormat::Mp3;
    if (request.format == TracksFormat::Mp3) {
        const Mp3Settings settings = ResolveMp3Settings(
            KiloHertzToHz(parsed.Value("--samplerate").value_or(HzToKiloHertzText(kDefaultMp3SampleRate))),
            ParseBitRate(parsed.Value("--bitrate").value_or(std::to_string(kDefaultMp3Bitrate))));
        if (!settings.note.empty())
            std::fprintf(Messages(), "%s\n", settings.note.c_str());
        request.bitRate = settings.bitRate;
        request.sampleRate = settings.sampleRate;
    } else if (parsed.Value("--bitrate") || parsed.Value("--samplerate")) {
        throw UsageError("--bitrate and --samplerate go with --format mp3");
    }
    std::optional<double> snap;
    if (const auto value = parsed.Value("--snap")) {
        snap = ParseNumber(*value, "--snap");
        if (*snap <= 0)
            throw UsageError("--snap takes a number of seconds above 0");
        if (!parsed.Value("--parts") && !parsed.Value("--every") && !parsed.Value("--at"))
            throw UsageError("--snap goes with --parts, --every or --at");
    }
    int parts = 0;
    if (const auto value = parsed.Value("--parts")) {
        parts = std::atoi(value->c_str());
        if (parts < 1 || parts > 999 || std::to_string(parts) != *value)
            throw UsageError("--parts takes a whole number from 1 to 999, not \"" + *value + "\"");
    }
    const SSilenceOptions silenceOptions = ParseSilence(parsed.Value("--silence").value_or(""));

    const fs::path source = fs::absolute(parsed.positional[0]);
    const SourceMeasure measured = MeasureReadable(source.string());
    const REFERENCE_TIME duration = measured.duration;
    if (copyAsked && !parsed.Value("--copy") && !SourceIsMpegAudio(source.string()))
        throw Failure("--copy needs an MP3 source; " + source.string() + " is not one (--copy=auto encodes it)");

    // The tracks.
    STrackList list;
    std::optional<SSilenceReport> silences;
    auto scan = [&](const SSilenceOptions& options) {
        if (!silences) {
            silences = ScanSilences(source.string(), options);
            std::fprintf(Messages(), "%s\n", silences->Summary().c_str());
        }
        return *silences;
    };
    if (const auto cue = parsed.Value("--cue")) {
        CueReadResult read = ReadCueSheet(*cue, source.string(), duration);
        if (!read.ok)
            throw Failure(read.error);
        list = std::move(read.list);
    } else if (const auto labels = parsed.Value("--labels")) {
        LabelReadResult read = ReadLabelFile(*labels, duration);
        if (!read.ok)
            throw Failure(read.error);
        list = std::move(read.list);
    } else if (silence) {
        list = TracksAtSilences(scan(silenceOptions), duration);
    } else {
        std::vector<REFERENCE_TIME> cuts;
        if (parts > 0)
            cuts = EqualPartCuts(parts, duration);
        else if (const auto every = parsed.Value("--every"))
            cuts = EveryCuts(ParseTime(*every), duration);
        else
            cuts = ParseTimes(*parsed.Value("--at"));
        for (const REFERENCE_TIME cut : cuts)
            if (cut >= duration)
                throw Failure("the cut at " + FormatClockMs(cut) + " is past the end of " + source.string() + " ("
                              + FormatClockMs(duration) + ")");
        if (snap) {
            SSilenceOptions options;
            options.minSeconds = kSnapSilenceSeconds;
            cuts = SnapCuts(cuts, scan(options).silences, REFERENCE_TIME(std::llround(*snap * 1e7)));
        }
        list = TracksFromCuts(cuts, duration);
    }
    if (parsed.Flag("--trim-silence")) {
        SSilenceOptions options = silenceOptions;
        if (!silence)
            options.minSeconds = kSnapSilenceSeconds;
        STrackList trimmed = TrimSilences(list, scan(options));
        trimmed.notes = list.notes;
        list = std::move(trimmed);
    }
    for (const std::string& note : list.notes)
        std::fprintf(Messages(), "note: %s\n", note.c_str());
    if (list.tracks.empty())
        throw Failure("there are no tracks to write");

    request.sourcePath = source.string();
    request.list = list;
    request.sourceIdentity = measured.identity;
    request.outputDir = parsed.Value("--outdir").value_or((source.parent_path() / "Split").string());
    request.nameTemplate = parsed.Value("--name").value_or(kDefaultTrackNameTemplate);
    request.writeTags = !parsed.Flag("--no-tags");
    const bool mp3 = request.format == TracksFormat::Mp3
                     || (request.format == TracksFormat::Copy && SourceIsMpegAudio(source.string()));
    if (parsed.Flag("--dry-run")) {
        std::vector<std::string> names;
        for (std::size_t k = 0; k < list.tracks.size(); ++k)
            names.push_back(TrackFileName(request.nameTemplate, list.tracks[k], int(k) + 1, int(list.tracks.size()),
                                          request.sourcePath, mp3));
        PrintPlan(list, names);
        for (const char* option : {"--export-cue", "--export-labels"})
            if (const auto path = parsed.Value(option))
                std::fprintf(Messages(), "note: --dry-run: %s is not written\n", path->c_str());
        return 0;
    }
    std::string reason;
    if (const auto path = parsed.Value("--export-cue"); path && !WriteCueSheet(*path, list, source.string(), false, &reason))
        throw Failure(reason);
    if (const auto path = parsed.Value("--export-labels"); path && !WriteLabelFile(*path, list, false, &reason))
        throw Failure(reason);

    CTracksJob job(request);
    if (const JobResult built = job.Build(); !built)
        throw Failure(built.Reason());
    for (const std::string& note : job.Notes())
        if (std::find(list.notes.begin(), list.notes.end(), note) == list.notes.end())
            std::fprintf(Messages(), "note: %s\n", note.c_str());
    job.Run();
    const JobOutcome outcome = WaitForJob({[&job](long timeoutMs) { return job.WaitStep(timeoutMs); },
                                           [&job] { return job.Progress().share; },
                                           std::to_string(list.tracks.size()) + " tracks"});
    JobStatus status = outcome.status;
    if (outcome.end == JobEnd::Interrupted || outcome.end == JobEnd::Stalled) {
        job.Stop();
        while ((status = job.WaitStep(250)) == JobStatus::Running) {
        }
    }
    std::size_t warned = 0;
    Warn(job.Warnings(), &warned);
    const JobResult done = job.Finish(status);
    const std::vector<std::string> written = job.Written();
    for (const std::string& path : written)
        std::printf("%s\n", path.c_str());
    for (const STrackPiece& failed : job.PieceFailures())
        std::fprintf(Messages(), "tarnwick-cli: track %d (%s): %s\n", failed.index + 1,
                     fs::path(failed.path).filename().c_str(), failed.problem.c_str());
    if (outcome.end == JobEnd::Interrupted)
        throw Failure("interrupted; " + std::to_string(written.size()) + " of " + std::to_string(list.tracks.size())
                      + " tracks were written, the track being written was removed");
    if (outcome.end == JobEnd::Stalled)
        throw Failure("the job stopped making progress; " + std::to_string(written.size()) + " of "
                      + std::to_string(list.tracks.size()) + " tracks were written");
    if (!done)
        throw Failure(done.Reason());
    return 0;
}

} // namespace cli
