// tarnwick-playcheck: plays a file through the preview player into
// the default audio device while recording the sound server's monitor, and
// checks that what the server got is the file's audio, that Play is heard at
// once (after loading, after a pause and after Stop), that Pause and Stop
// freeze the position and playing goes on from there, and that a seek is
// heard at once. Run by tools/pulse-check.sh against a private server.
//
//   tarnwick-playcheck FILE [--monitor SOURCE] [--monitor-latency-ms N]
//                      [--max-play-heard-ms N] [--save-recording RAW]
//
// --max-play-heard-ms bounds how long after Play (after loading, a pause or
// Stop) the sound may start in the recording; 150 unless given.
//
// The player cues itself (paused) when it opens a file, and is played a
// while later, as a person on the split page does.
//
// Exit status: 0 every check passed, 1 a check failed, 2 it could not run.

#include "Alignment.h"
#include "MonitorRecorder.h"

#include "PreviewPlayer.h"
#include "media/decode/OpenReader.h"
#include "media/render/MediaInit.h"

#include <QCoreApplication>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr double kUnitsPerSecond = 1e7;
// Levels and likeness that count as "the file's audio".
constexpr double kMinCorrelation = 0.98;
constexpr double kMaxLevelDb = 1.0;
constexpr double kMaxSeekHeardSeconds = 0.100;
// From loading the player (which cues it) to Play: an idle null sink has
// rendered up to 2 s ahead when the cued player's stream connects, which no
// client can shorten; a user takes a moment to press Play too.
constexpr auto kLoadToPlay = std::chrono::milliseconds(2500);
// A piece of the source counts as found in the recording from this on.
constexpr double kFoundCorrelation = 0.9;

struct Options {
    std::string file;
    std::string monitor = "tw.monitor";
    int monitorLatencyMs = 2000;
    int maxPlayHeardMs = 150;
    std::string saveRecording; // raw float32le, for a closer look
};

// The player's steps must work for the check to mean anything.
void Must(bool done, const CPreviewPlayer& player, const char* step)
{
    if (!done)
        throw std::runtime_error(std::string("the player's ") + step + " failed: " + player.Reason().toStdString());
}

struct Sample {
    Clock::time_point at;
    REFERENCE_TIME position;
    int stretch; // 0 first play, 1 after resuming, 2 after the seek, 3 after Stop and Play
};

Audio Decode(const std::string& path)
{
    std::string reason;
    auto reader = OpenPcmReader(path, &reason);
    if (!reader)
        throw std::runtime_error(reason);
    Audio audio;
    audio.sampleRate = reader->Format().sampleRate;
    audio.channels = reader->Format().channels;
    std::vector<float> block(std::size_t(65536) * audio.channels);
    for (;;) {
        const std::int64_t got = reader->Read(block.data(), 65536);
        if (got < 0)
            throw std::runtime_error(reader->Error());
        if (got == 0)
            break;
        audio.samples.insert(audio.samples.end(), block.begin(), block.begin() + got * audio.channels);
    }
    return audio;
}

void SaveRaw(const std::string& path, const std::vector<float>& samples)
{
    if (FILE* file = std::fopen(path.c_str(), "wb")) {
        std::fwrite(samples.data(), sizeof(float), samples.size(), file);
        std::fclose(file);
    }
}

double Ms(double seconds) { return seconds * 1000.0; }
double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

class Check {
public:
    bool Expect(bool ok, const std::string& what)
    {
        std::printf("  %-4s %s\n", ok ? "ok" : "FAIL", what.c_str());
        m_failed = m_failed || !ok;
        return ok;
    }
    bool Failed() const { return m_failed; }

private:
    bool m_failed = false;
};

std::string Format(const char* format, double a, double b = 0, double c = 0)
{
    char text[256];
    std::snprintf(text, sizeof text, format, a, b, c);
    return text;
}

void ReportContinuity(const Audio& recording, std::int64_t recordingFrame, const Audio& source,
                      std::int64_t sourceFrame, std::int64_t frames)
{
    const Continuity c = CheckContinuity(recording, recordingFrame, source, sourceFrame, frames);
    std::printf("  20 ms windows out of step: %d of %d", c.mismatched, c.windows);
    if (c.mismatched > 0)
        std::printf(", the first %.3f s in", c.firstMismatch);
    std::printf("\n");
}

int Run(const Options& options)
{
    const Audio source = Decode(options.file);
    const int rate = source.sampleRate;
    const double length = double(source.Frames()) / rate;
    if (length < 11.0)
        throw std::runtime_error("the file must last at least 11 seconds");

    MediaInitialize();
    MonitorRecorder recorder(options.monitor, rate, source.channels, options.monitorLatencyMs);
    // Recording first, with some silence before the sound.
    for (auto until = Clock::now() + 5s; recorder.FramesSoFar() == 0 && Clock::now() < until;)
        std::this_thread::sleep_for(10ms);
    if (recorder.FramesSoFar() == 0)
        throw std::runtime_error("nothing recorded from " + options.monitor);
    std::this_thread::sleep_for(300ms);

    CPreviewPlayer player;
    if (const CPreviewPlayer::OpenResult opened = player.Open(QString::fromStdString(options.file));
        !opened.Succeeded())
        throw std::runtime_error("cannot open the player: " + opened.reason.toStdString());

    std::vector<Sample> samples;
    auto position = [&] { return player.Position().value_or(0); };
    // Notes the position every 10 ms until `done` says so (or `limit`).
    auto follow = [&](int stretch, Clock::duration limit, const std::function<bool(REFERENCE_TIME)>& done) {
        const auto until = Clock::now() + limit;
        while (Clock::now() < until) {
            const REFERENCE_TIME at = position();
            samples.push_back({Clock::now(), at, stretch});
            if (done(at))
                break;
            std::this_thread::sleep_for(10ms);
        }
    };
    auto never = [](REFERENCE_TIME) { return false; };

    std::this_thread::sleep_for(kLoadToPlay);
    const auto tRun = Clock::now();
    Must(player.Play(), player, "Play");
    const std::string output = player.OutputName().toStdString();
    follow(0, 6s, [](REFERENCE_TIME at) { return at >= 3 * kUnitsPerSecond; });

    const auto tPause = Clock::now();
    Must(player.Pause(), player, "Pause");
    const REFERENCE_TIME paused = position();
    std::this_thread::sleep_for(500ms);
    const REFERENCE_TIME pausedLater = position();

    const auto tResume = Clock::now();
    Must(player.Play(), player, "Play");
    follow(1, 1s, never);

    REFERENCE_TIME target = 8 * static_cast<REFERENCE_TIME>(kUnitsPerSecond);
    const auto tSeek = Clock::now();
    Must(player.Seek(target), player, "Seek");
    Clock::time_point tReported{};
    follow(2, 1500ms, [&](REFERENCE_TIME at) {
        if (tReported == Clock::time_point{} && at >= target + 2 * kUnitsPerSecond / 10)
            tReported = Clock::now();
        return false;
    });

    const auto tStop = Clock::now();
    Must(player.Stop(), player, "Stop");
    const REFERENCE_TIME stopped = position();
    std::this_thread::sleep_for(500ms);
    const REFERENCE_TIME stoppedLater = position();
    const auto tReplay = Clock::now();
    Must(player.Play(), player, "Play");
    follow(3, 1s, never);
    const auto tEnd = Clock::now();
    Must(player.Stop(), player, "Stop");
    std::this_thread::sleep_for(std::chrono::milliseconds(options.monitorLatencyMs) + 300ms);
    recorder.Stop();
    if (!options.saveRecording.empty())
        SaveRaw(options.saveRecording, recorder.Samples());
    player.Close();
    MediaUninitialize();

    // --- what the server got ---------------------------------------------
    Audio recording{rate, source.channels, recorder.Samples()};
    const auto origin = recorder.Origin();
    auto recFrame = [&](Clock::time_point t) { return std::int64_t(Seconds(t - origin) * rate); };
    auto timeOf = [&](std::int64_t frame) { return origin + std::chrono::duration_cast<Clock::duration>(
                                                                 std::chrono::duration<double>(double(frame) / rate)); };
    auto frames = [&](double seconds) { return std::int64_t(seconds * rate); };
    auto toFrames = [&](REFERENCE_TIME t) { return std::int64_t(double(t) * rate / kUnitsPerSecond + 0.5); };
    const std::int64_t pausedFrame = toFrames(paused);
    const std::int64_t targetFrame = toFrames(target);
    const std::int64_t stoppedFrame = toFrames(stopped);

    std::printf("output: %s\nrecorded %.2f s from %s in %zu pieces\n", output.c_str(), double(recording.Frames()) / rate,
                options.monitor.c_str(), recorder.Pieces());
    Check check;
    check.Expect(output.find("PortAudio") != std::string::npos, "played through the device, not the null output");

    // First stretch: from the start of the file up to the pause.
    const Match first = Locate(recording, recFrame(tRun) - frames(0.2), recFrame(tPause) + frames(0.5), source, 0,
                               frames(0.25));
    if (!check.Expect(first.recordingFrame >= 0 && first.correlation > kFoundCorrelation,
                      Format("the start of the file was found in the recording (correlation %.5f)", first.correlation))) {
        return 1;
    }
    auto soundEnd = [&](std::int64_t from) {
        const std::int64_t end = FindSilence(recording, from, frames(0.01), -60);
        return end >= 0 ? end : recording.Frames();
    };
    const std::int64_t firstEnd = soundEnd(first.recordingFrame);
    const Likeness played = Compare(recording, first.recordingFrame, source, 0, firstEnd - first.recordingFrame);
    const double playHeard = Seconds(timeOf(first.recordingFrame) - tRun);
    std::printf("first %.2f s: heard %.0f ms after Play; correlation %.6f, level %+.2f dB (source %.1f dBFS)\n",
                double(firstEnd - first.recordingFrame) / rate, Ms(playHeard), played.correlation, played.levelDb,
                played.sourceRmsDbfs);
    ReportContinuity(recording, first.recordingFrame, source, 0, firstEnd - first.recordingFrame);
    check.Expect(played.correlation >= kMinCorrelation, Format("recorded audio is the file's (correlation %.6f)", played.correlation));
    check.Expect(std::abs(played.levelDb) <= kMaxLevelDb, Format("at the file's level (%+.2f dB)", played.levelDb));
    const double maxPlayHeard = options.maxPlayHeardMs / 1000.0;
    check.Expect(playHeard <= maxPlayHeard, Format("Play heard within %.0f ms (%.0f ms)", Ms(maxPlayHeard), Ms(playHeard)));

    // Pause: the position stays, and it is what had been heard.
    const double drift = double(pausedLater - paused) / kUnitsPerSecond;
    const double heardAtPause = double(recFrame(tPause) - first.recordingFrame) / rate;
    const double soundAfterPause = double(firstEnd - first.recordingFrame - pausedFrame) / rate;
    std::printf("pause: position %.4f s, %+.1f ms from what was heard then; sound went on %.1f ms past it\n",
                double(paused) / kUnitsPerSecond, Ms(double(pausedFrame) / rate - heardAtPause), Ms(soundAfterPause));
    check.Expect(drift == 0, Format("position frozen while paused (moved %.1f ms in 500 ms)", Ms(drift)));

    // Resume: which source frame came first after the pause.
    const std::int64_t resumedSound = FindSound(recording, firstEnd, -60);
    const Match resumed = Locate(source, pausedFrame - frames(1), pausedFrame + frames(1.25), recording, resumedSound,
                                 frames(0.25));
    const double resumeGap = double(resumed.recordingFrame - pausedFrame) / rate;
    const double resumeHeard = Seconds(timeOf(resumedSound) - tResume);
    std::printf("resume: heard %.0f ms after Run, from %+.1f ms of the paused position (correlation %.5f)\n",
                Ms(resumeHeard), Ms(resumeGap), resumed.correlation);
    ReportContinuity(recording, resumedSound, source, resumed.recordingFrame, recFrame(tSeek) - resumedSound);
    check.Expect(resumed.correlation >= kFoundCorrelation && std::abs(resumeGap) <= 0.06,
                 Format("resumed where it paused (%+.1f ms)", Ms(resumeGap)));
    check.Expect(resumeHeard <= maxPlayHeard,
                 Format("Play after Pause heard within %.0f ms (%.0f ms)", Ms(maxPlayHeard), Ms(resumeHeard)));

    // Seek while running: when the new place was heard.
    const Match seeked = Locate(recording, recFrame(tSeek) - frames(0.1), recFrame(tStop), source, targetFrame,
                                frames(0.25));
    const double seekHeard = seeked.recordingFrame >= 0 ? Seconds(timeOf(seeked.recordingFrame) - tSeek) : 99.0;
    const double seekReported = tReported != Clock::time_point{} ? Seconds(tReported - tSeek) : 99.0;
    std::printf("seek to %.1f s while playing: heard after %.0f ms (correlation %.5f); position at +200 ms after %.0f ms\n",
                double(target) / kUnitsPerSecond, Ms(seekHeard), seeked.correlation, Ms(seekReported));
    if (seeked.recordingFrame >= 0)
        ReportContinuity(recording, seeked.recordingFrame, source, targetFrame,
                         soundEnd(seeked.recordingFrame) - seeked.recordingFrame);
    check.Expect(seeked.correlation >= kFoundCorrelation, Format("the new place is the file's audio (correlation %.5f)", seeked.correlation));
    check.Expect(seekHeard <= kMaxSeekHeardSeconds, Format("seek heard within 100 ms (%.0f ms)", Ms(seekHeard)));

    // Stop: the position stays, and it is what had been heard; Play goes on
    // from there, as soon as after a pause.
    const std::int64_t seekEnd = seeked.recordingFrame >= 0 ? soundEnd(seeked.recordingFrame) : recFrame(tStop);
    const double heardAtStop = double(recFrame(tStop) - (seeked.recordingFrame - targetFrame)) / rate;
    std::printf("stop: position %.4f s, %+.1f ms from what was heard then; sound went on %.1f ms past it\n",
                double(stopped) / kUnitsPerSecond, Ms(double(stoppedFrame) / rate - heardAtStop),
                Ms(double(seekEnd - (seeked.recordingFrame - targetFrame) - stoppedFrame) / rate));
    check.Expect(stoppedLater == stopped, Format("position frozen while stopped (moved %.1f ms in 500 ms)",
                                                 Ms(double(stoppedLater - stopped) / kUnitsPerSecond)));
    const std::int64_t replayedSound = FindSound(recording, seekEnd, -60);
    const Match replayed = replayedSound >= 0 ? Locate(source, stoppedFrame - frames(1), stoppedFrame + frames(1.25),
                                                       recording, replayedSound, frames(0.25))
                                              : Match{};
    const double replayGap = double(replayed.recordingFrame - stoppedFrame) / rate;
    const double replayHeard = replayedSound >= 0 ? Seconds(timeOf(replayedSound) - tReplay) : 99.0;
    std::printf("play after stop: heard %.0f ms after Run, from %+.1f ms of the stopped position (correlation %.5f)\n",
                Ms(replayHeard), Ms(replayGap), replayed.correlation);
    if (replayedSound >= 0)
        ReportContinuity(recording, replayedSound, source, replayed.recordingFrame, recFrame(tEnd) - replayedSound);
    check.Expect(replayed.correlation >= kFoundCorrelation && std::abs(replayGap) <= 0.06,
                 Format("played on from where it stopped (%+.1f ms)", Ms(replayGap)));
    check.Expect(replayHeard <= maxPlayHeard,
                 Format("Play after Stop heard within %.0f ms (%.0f ms)", Ms(maxPlayHeard), Ms(replayHeard)));

    std::printf("heard after the call: play %.0f ms, play after pause %.0f ms, play after stop %.0f ms, seek %.0f ms\n",
                Ms(playHeard), Ms(resumeHeard), Ms(replayHeard), Ms(seekHeard));

    // The reported position against what was heard at that moment.
    const std::int64_t offsets[4] = {first.recordingFrame, resumedSound - resumed.recordingFrame,
                                     seeked.recordingFrame - targetFrame, replayedSound - replayed.recordingFrame};
    const Clock::time_point starts[4] = {timeOf(first.recordingFrame), timeOf(resumedSound), timeOf(seeked.recordingFrame),
                                         timeOf(replayedSound)};
    double sum = 0, lowest = 1e9, highest = -1e9;
    int count = 0;
    for (const Sample& s : samples) {
        if (s.at < starts[s.stretch] + 300ms)
            continue; // settling after a start, a resume or a seek
        const double error = double(toFrames(s.position) - (recFrame(s.at) - offsets[s.stretch])) / rate;
        sum += error;
        lowest = std::min(lowest, error);
        highest = std::max(highest, error);
        ++count;
    }
    if (count > 0)
        std::printf("position minus what was heard while playing: mean %+.1f ms, from %+.1f to %+.1f ms (%d readings)\n",
                    Ms(sum / count), Ms(lowest), Ms(highest), count);
    return check.Failed() ? 1 : 0;
}

} // namespace

int main(int argc, char** argv)
{
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--monitor" && i + 1 < argc)
            options.monitor = argv[++i];
        else if (arg == "--save-recording" && i + 1 < argc)
            options.saveRecording = argv[++i];
        else if (arg == "--monitor-latency-ms" && i + 1 < argc)
            options.monitorLatencyMs = std::atoi(argv[++i]);
        else if (arg == "--max-play-heard-ms" && i + 1 < argc)
            options.maxPlayHeardMs = std::atoi(argv[++i]);
        else if (!arg.empty() && arg[0] != '-' && options.file.empty())
            options.file = arg;
        else {
            std::fprintf(stderr, "usage: %s FILE [--monitor SOURCE] [--monitor-latency-ms N] [--max-play-heard-ms N]\n"
                             "       [--save-recording RAW]\n", argv[0]);
            return 2;
        }
    }
    if (options.file.empty()) {
        std::fprintf(stderr, "usage: %s FILE [--monitor SOURCE] [--monitor-latency-ms N] [--max-play-heard-ms N]\n"
                             "       [--save-recording RAW]\n", argv[0]);
        return 2;
    }
    // The player tells of its graph's events through the event loop.
    QCoreApplication app(argc, argv);
    try {
        return Run(options);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "playcheck: %s\n", e.what());
        return 2;
    }
}
