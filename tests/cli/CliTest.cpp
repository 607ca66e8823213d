// Runs the built tarnwick-cli on generated files and checks what it prints,
// what it writes and what it leaves alone.

#include "Fixtures.h"
#include "Process.h"
#include "TagFixtures.h"

#include "TarnwickVersion.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <cstring>
#include <iterator>
#include <set>
#include <sstream>
#include <thread>

#include <sys/stat.h>

using namespace fixtures;

namespace {

ProcessResult Cli(const std::vector<std::string>& args, const ProcessOptions& options = {})
{
    std::vector<std::string> argv{TARNWICK_CLI};
    argv.insert(argv.end(), args.begin(), args.end());
    return RunProcess(argv, options);
}

std::string Bytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

std::vector<fs::path> FilesIn(const fs::path& dir)
{
    std::vector<fs::path> files;
    if (fs::exists(dir))
        for (const auto& entry : fs::directory_iterator(dir))
            files.push_back(entry.path());
    return files;
}

class CliTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // The split engine describes its last graph in the cache folder.
        ::setenv("XDG_CACHE_HOME", (dir / "cache").c_str(), 1);
        ::setenv("TARNWICK_AUDIO", "null", 1);
    }
    TempDir dir;
};

std::string Expect(const ProcessResult& r)
{
    return "exit " + std::to_string(r.exitCode) + "\nstdout: " + r.out + "\nstderr: " + r.err;
}

} // namespace

TEST_F(CliTest, WrongUseExitsWithTwoAndShowsTheUsage)
{
    const std::vector<std::vector<std::string>> wrong{
        {},
        {"frobnicate"},
        {"probe"},
        {"split", "a.mp3", "00:00:01"},
        {"split", "a.mp3", "00:00:01", "00:00:02", "--format", "ogg"},
        {"split", "a.mp3", "1:2", "00:00:02"},
        {"split", "a.mp3", "00:61:00", "01:00:00"},
        {"split", "a.mp3", "00:00:01.5000", "00:00:02"},
        {"split", "a.mp3", "00:00:01", "00:00:02", "--bitrate", "fast"},
        {"split", "a.mp3", "00:00:01", "00:00:02", "--bitrate"},
        {"join", "out.mp3"},
        {"join", "out.mp3", "a.mp3", "--force"},
        {"split", "a.mp3", "00:00:02", "00:00:01"},
        {"split", "a.mp3", "00:00:01", "00:00:01"},
        {"split", "a.mp3", "00:00:01", "00:00:02", "--samplerate", "44"},
        {"join", "out.mp3", "a.mp3", "--samplerate", "fast"},
        {"split", "a.mp3", "00:00:01", "00:00:02", "--tag", "mood=calm"},
        {"split", "a.mp3", "00:00:01", "00:00:02", "--tag", "title"},
        {"split", "a.mp3", "00:00:01", "00:00:02", "--tag", "title=x", "--no-tags"},
        {"join", "out.mp3", "a.mp3", "--no-tags", "--cover", "none"},
        {"probe", "a.mp3", "--chapters"},
    };
    for (const auto& args : wrong) {
        const ProcessResult r = Cli(args);
        std::string joined;
        for (const auto& a : args)
            joined += a + " ";
        EXPECT_EQ(r.exitCode, 2) << joined << Expect(r);
        EXPECT_NE(r.err.find("usage: tarnwick-cli"), std::string::npos) << joined;
        EXPECT_TRUE(r.out.empty()) << joined;
    }
    const ProcessResult help = Cli({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("usage: tarnwick-cli"), std::string::npos);
    const ProcessResult version = Cli({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, "tarnwick-cli " TARNWICK_VERSION "\n");
}

TEST_F(CliTest, ProbePrintsOneLinePerFileAndReportsUnreadableOnesAfterTheOthers)
{
    WriteMp3(dir / "a.mp3", {44100, 2, 88200}, {128});
    WriteWav(dir / "b.wav", {22050, 1, 33075});
    std::ofstream(dir / "notes.mp3") << "not audio at all\n";
    const std::string missing = (dir / "missing.wav").string();
    ASSERT_EQ(::mkfifo((dir / "pipe.mp3").c_str(), 0600), 0); // must not wait for a writer

    const ProcessResult r = Cli({"probe", (dir / "a.mp3").string(), missing, (dir / "notes.mp3").string(),
                                 (dir / "pipe.mp3").string(), (dir / "b.wav").string()},
                                ProcessOptions{{}, std::chrono::milliseconds(30000), {}, {}});
    ASSERT_FALSE(r.timedOut);
    ASSERT_EQ(r.exitCode, 1) << Expect(r);
    const auto out = Lines(r.out);
    ASSERT_EQ(out.size(), 2u) << r.out;
    EXPECT_EQ(out[0], "20000000\t00:00:02\t44100\t2\t" + (dir / "a.mp3").string());
    EXPECT_EQ(out[1], "15000000\t00:00:01\t22050\t1\t" + (dir / "b.wav").string());
    const auto err = Lines(r.err);
    ASSERT_EQ(err.size(), 3u) << r.err;
    EXPECT_NE(err[0].find("tarnwick-cli: "), std::string::npos);
    EXPECT_NE(err[0].find(missing), std::string::npos);
    EXPECT_NE(err[1].find("notes.mp3"), std::string::npos);
    EXPECT_NE(err[2].find("pipe.mp3"), std::string::npos);

    EXPECT_EQ(Cli({"probe", (dir / "b.wav").string()}).exitCode, 0);
}

TEST_F(CliTest, ProbeGoesByWhatAFileHoldsNotByItsName)
{
    WriteWav(dir / "wave.mp3", {22050, 1, 8 * 22050});
    WriteMp3(dir / "song.wav", {44100, 2, 88200});
    const ProcessResult r = Cli({"probe", (dir / "wave.mp3").string(), (dir / "song.wav").string()});
    ASSERT_EQ(r.exitCode, 0) << Expect(r);
    EXPECT_EQ(r.out, "80000000\t00:00:08\t22050\t1\t" + (dir / "wave.mp3").string() + "\n" +
                     "20000000\t00:00:02\t44100\t2\t" + (dir / "song.wav").string() + "\n");
}

TEST_F(CliTest, SplitNumbersItsPiecesAndNeverOverwrites)
{
    const fs::path source = dir / "Song.MP3";
    WriteMp3(source, {44100, 2, 5 * 44100}, {160});

    const ProcessResult first = Cli({"split", source.string(), "00:00:01", "00:00:03"});
    ASSERT_EQ(first.exitCode, 0) << Expect(first);
    const fs::path piece1 = dir / "Split" / "1-Song.MP3";
    EXPECT_EQ(first.out, piece1.string() + "\n");
    EXPECT_EQ(first.err, "") << "nothing on stderr when it is not a terminal";
    const std::string bytes1 = Bytes(piece1);

    const ProcessResult second = Cli({"split", source.string(), "00:00:01.500", "00:00:02"});
    ASSERT_EQ(second.exitCode, 0) << Expect(second);
    EXPECT_EQ(second.out, (dir / "Split" / "2-Song.MP3").string() + "\n");
    EXPECT_EQ(Bytes(piece1), bytes1);

    const Decoded one = ReadAudio(piece1);
    EXPECT_EQ(one.sampleRate, 44100);
    EXPECT_EQ(one.Frames(), 2 * 44100);
    EXPECT_EQ(ReadAudio(dir / "Split" / "2-Song.MP3").Frames(), 44100 / 2);
}

TEST_F(CliTest, WavOutputFitsTheExtensionAndKeepsTheSourceRate)
{
    const fs::path source = dir / "Song.MP3";
    WriteMp3(source, {22050, 1, 3 * 22050}, {64});
    const fs::path out = dir / "pieces" / "deeper";
    const ProcessResult r = Cli({"split", source.string(), "00:00:00.250", "00:00:02.250", "--format", "wav",
                                 "--outdir", out.string()});
    ASSERT_EQ(r.exitCode, 0) << Expect(r);
    EXPECT_EQ(r.out, (out / "1-Song.wav").string() + "\n");
    const Decoded piece = ReadAudio(out / "1-Song.wav");
    EXPECT_EQ(piece.sampleRate, 22050);
    EXPECT_EQ(piece.channels, 1);
    EXPECT_EQ(piece.Frames(), 2 * 22050);
}

TEST_F(CliTest, SplitRefusesTimesOutsideTheSourceAndWritesNothing)
{
    const fs::path source = dir / "short.wav";
    WriteWav(source, {44100, 2, 3 * 44100});
    const ProcessResult inverted = Cli({"split", source.string(), "00:00:02", "00:00:01"});
    EXPECT_EQ(inverted.exitCode, 2) << Expect(inverted); // wrong use, as every other
    EXPECT_NE(inverted.err.find("before STOP"), std::string::npos) << inverted.err;

    const ProcessResult pastEnd = Cli({"split", source.string(), "00:00:01", "00:00:03.001"});
    EXPECT_EQ(pastEnd.exitCode, 1) << Expect(pastEnd);
    EXPECT_NE(pastEnd.err.find("past the end"), std::string::npos) << pastEnd.err;
    EXPECT_EQ(Lines(pastEnd.err).size(), 1u) << "one line: " << pastEnd.err;

    const ProcessResult missing = Cli({"split", (dir / "none.mp3").string(), "00:00:00", "00:00:01"});
    EXPECT_EQ(missing.exitCode, 1) << Expect(missing);

    EXPECT_FALSE(fs::exists(dir / "Split"));
    // Up to the very end is fine.
    EXPECT_EQ(Cli({"split", source.string(), "00:00:02", "00:00:03"}).exitCode, 0);
}

TEST_F(CliTest, CopyKeepsTheFramesOrSaysWhyNotAndAutoReEncodesThen)
{
    const fs::path mp3 = dir / "Song.mp3", wav = dir / "Song.wav", mp2 = dir / "Song.mp2";
    WriteMp3(mp3, {44100, 2, 3 * 44100});
    WriteWav(wav, {44100, 2, 3 * 44100});
    ASSERT_EQ(RunProcess({"sox", wav.string(), mp2.string()}).exitCode, 0);

    const ProcessResult copied = Cli({"split", mp3.string(), "00:00:00.500", "00:00:02", "--copy"});
    ASSERT_EQ(copied.exitCode, 0) << Expect(copied);
    EXPECT_EQ(copied.err, "");
    const Decoded piece = ReadAudio(dir / "Split" / "1-Song.mp3");
    const Decoded whole = ReadAudio(mp3);
    ASSERT_EQ(piece.Frames(), 3 * 44100 / 2);
    EXPECT_TRUE(std::equal(piece.samples.begin(), piece.samples.end(), whole.samples.begin() + 44100));

    const ProcessResult refused = Cli({"split", mp2.string(), "00:00:00.500", "00:00:02", "--copy"});
    EXPECT_EQ(refused.exitCode, 1) << Expect(refused);
    EXPECT_NE(refused.err.find("Layer II"), std::string::npos) << refused.err;
    EXPECT_EQ(Lines(refused.err).size(), 1u) << refused.err;
    EXPECT_EQ(FilesIn(dir / "Split").size(), 1u);

    const ProcessResult fallback = Cli({"split", mp2.string(), "00:00:00.500", "00:00:02", "--copy=auto"});
    ASSERT_EQ(fallback.exitCode, 0) << Expect(fallback);
    EXPECT_NE(fallback.err.find("note: re-encoding"), std::string::npos) << fallback.err;
    EXPECT_EQ(ReadAudio(dir / "Split" / "1-Song.mp2").Frames(), 3 * 44100 / 2);

    EXPECT_EQ(Cli({"split", mp3.string(), "00:00:00", "00:00:01", "--copy=fast"}).exitCode, 2);
}

TEST_F(CliTest, BitRateTheSampleRateCannotCarryIsNotedNotChangedSilently)
{
    const fs::path source = dir / "a.wav";
    WriteWav(source, {44100, 2, 2 * 44100});
    const ProcessResult r = Cli({"split", source.string(), "00:00:00", "00:00:01", "--samplerate", "22.05"});
    ASSERT_EQ(r.exitCode, 0) << Expect(r);
    EXPECT_EQ(r.err, "note: 192 kbps is above the 160 kbps MPEG-2 allows at 22.05 kHz; using 160 kbps\n");
    const Decoded piece = ReadAudio(dir / "Split" / "1-a.mp3");
    EXPECT_EQ(piece.sampleRate, 22050);
    EXPECT_EQ(piece.Frames(), 22050);

    const ProcessResult badRate = Cli({"split", source.string(), "00:00:00", "00:00:01", "--samplerate", "44"});
    EXPECT_EQ(badRate.exitCode, 2) << Expect(badRate);
    EXPECT_NE(badRate.err.find("not an MP3 sample rate"), std::string::npos);
}

TEST_F(CliTest, JoinWritesTheInputsBackToBack)
{
    WriteWav(dir / "a.wav", {22050, 1, 22050});
    WriteMp3(dir / "b.mp3", {44100, 2, 2 * 44100}, {128});
    WriteWav(dir / "c.wav", {48000, 2, 24000}, WavSample::Pcm24);
    const fs::path out = dir / "all.mp3";
    const ProcessResult r = Cli({"join", out.string(), (dir / "a.wav").string(), (dir / "b.mp3").string(),
                                 (dir / "c.wav").string(), "--bitrate", "128"});
    ASSERT_EQ(r.exitCode, 0) << Expect(r);
    EXPECT_EQ(r.out, out.string() + "\n");
    const Decoded joined = ReadAudio(out);
    EXPECT_EQ(joined.sampleRate, 44100);
    EXPECT_EQ(joined.Frames(), 44100 + 2 * 44100 + 22050);
    // No temporary file is left beside it: three inputs and the output.
    EXPECT_EQ(FilesIn(dir.Path()).size(), 4u);
}

TEST_F(CliTest, JoinRefusesAnInputAsOutputHoweverItIsNamed)
{
    fs::create_directory(dir / "d");
    const fs::path input = dir / "x.mp3";
    WriteMp3(input, {44100, 2, 44100}, {128});
    fs::create_symlink(input, dir / "link.mp3");
    const std::string before = Bytes(input);
    const std::vector<std::string> spellings{input.string(), (dir / "d" / ".." / "x.mp3").string(),
                                             (dir / "link.mp3").string()};
    for (const std::string& output : spellings) {
        for (bool overwrite : {false, true}) {
            std::vector<std::string> args{"join", output, (dir / "x.mp3").string()};
            if (overwrite)
                args.push_back("--overwrite");
            const ProcessResult r = Cli(args);
            EXPECT_EQ(r.exitCode, 1) << output << Expect(r);
            EXPECT_NE(r.err.find("is also an input"), std::string::npos) << r.err;
        }
    }
    // Also when the input is the one given in another spelling.
    const ProcessResult viaWorkingDir =
        Cli({"join", "x.mp3", "./d/../link.mp3"}, ProcessOptions{dir.Path(), std::chrono::milliseconds(60000), {}, {}});
    EXPECT_EQ(viaWorkingDir.exitCode, 1) << Expect(viaWorkingDir);
    EXPECT_EQ(Bytes(input), before);
}

TEST_F(CliTest, JoinKeepsAnExistingOutputUnlessToldToOverwrite)
{
    WriteWav(dir / "in.wav", {44100, 2, 44100});
    const fs::path out = dir / "out.mp3";
    std::ofstream(out, std::ios::binary) << "precious bytes";
    const ProcessResult refused = Cli({"join", out.string(), (dir / "in.wav").string()});
    EXPECT_EQ(refused.exitCode, 1) << Expect(refused);
    EXPECT_NE(refused.err.find("--overwrite"), std::string::npos);
    EXPECT_EQ(Bytes(out), "precious bytes");

    // A failing job with --overwrite leaves the old file as it was.
    std::ofstream(dir / "broken.mp3") << "no audio";
    const ProcessResult failed = Cli({"join", out.string(), (dir / "broken.mp3").string(), "--overwrite"});
    EXPECT_EQ(failed.exitCode, 1) << Expect(failed);
    EXPECT_EQ(Bytes(out), "precious bytes");

    const ProcessResult replaced = Cli({"join", out.string(), (dir / "in.wav").string(), "--overwrite"});
    ASSERT_EQ(replaced.exitCode, 0) << Expect(replaced);
    EXPECT_EQ(ReadAudio(out).Frames(), 44100);
    EXPECT_EQ(FilesIn(dir.Path()).size(), 3u) << "no temporary file left";
}

// Runs tarnwick-cli and sends it `signal` once a file in `outputs` holds
// bytes; `signalled` tells whether it got that far. A run that then exits 1
// saying "interrupted" stopped mid-job: one that had finished first keeps
// its output and exits 0.
static ProcessResult SignalOnceWriting(const std::vector<std::string>& args, const fs::path& outputs, int signal,
                                bool* signalled)
{
    ProcessOptions options;
    options.timeout = std::chrono::seconds(120);
    options.onTick = [&](int pid) {
        if (*signalled)
            return;
        for (const fs::path& file : FilesIn(outputs)) {
            std::error_code ec;
            if (fs::is_regular_file(file, ec) && fs::file_size(file, ec) > 0 && !ec) {
                ::kill(pid, signal);
                *signalled = true;
                return;
            }
        }
    };
    return Cli(args, options);
}


TEST_F(CliTest, InterruptedJoinRemovesItsPartialOutput)
{
    // Long enough that the job is still running when the signal lands.
    const fs::path inputs = dir / "in";
    const fs::path outputs = dir / "out";
    fs::create_directories(inputs);
    fs::create_directories(outputs);
    WriteWav(inputs / "long.wav", {8000, 1, 8000LL * 600});
    const std::string in = (inputs / "long.wav").string();

    bool signalled = false;
    const ProcessResult r =
        SignalOnceWriting({"join", (outputs / "all.mp3").string(), in, in, in}, outputs, SIGINT, &signalled);
    ASSERT_TRUE(signalled) << "the output never appeared: " << Expect(r);
    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(r.exitCode, 1) << Expect(r);
    EXPECT_NE(r.err.find("interrupted"), std::string::npos) << r.err;
    EXPECT_TRUE(FilesIn(outputs).empty());
}

TEST_F(CliTest, InterruptedSplitRemovesItsPartialPiece)
{
    const fs::path source = dir / "long.wav";
    WriteWav(source, {8000, 1, 8000LL * 900});
    const fs::path outputs = dir / "pieces";

    bool signalled = false;
    const ProcessResult r = SignalOnceWriting(
        {"split", source.string(), "00:00:00", "00:14:59", "--outdir", outputs.string()}, outputs, SIGINT, &signalled);
    ASSERT_TRUE(signalled) << "the piece never appeared: " << Expect(r);
    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(r.exitCode, 1) << Expect(r);
    EXPECT_NE(r.err.find("interrupted"), std::string::npos) << r.err;
    EXPECT_TRUE(FilesIn(outputs).empty());
}

// --- what a run leaves on disk, however it ends ---------------------------

namespace {

bool IsTemporary(const fs::path& file)
{
    return file.filename().string().rfind(".tarnwick-", 0) == 0;
}

// The long jobs the tests stop half way: 15 minutes split to MP3, or to
// WAV (from an MP3, whose decoding takes a while), and three of them
// joined. Small and quick to write: 8 kHz mono. MakeInputs makes the long
// inputs and one-second ones of the same kinds ("short").
struct LongJob {
    const char* name;
    const char* output; // what a run on the short inputs writes
    std::vector<std::string> (*args)(const fs::path& dir, const fs::path& outputs, const std::string& length);
};
const LongJob kLongJobs[] = {
    {"split to mp3", "1-short.mp3",
     [](const fs::path& dir, const fs::path& out, const std::string& length) {
         return std::vector<std::string>{"split", (dir / (length + ".wav")).string(), "00:00:00",
                                         length == "long" ? "00:14:59" : "00:00:01", "--outdir", out.string()};
     }},
    {"split to wav", "1-short.wav",
     [](const fs::path& dir, const fs::path& out, const std::string& length) {
         return std::vector<std::string>{"split", (dir / (length + ".mp3")).string(), "00:00:00",
                                         length == "long" ? "00:14:59" : "00:00:01", "--format", "wav",
                                         "--outdir", out.string()};
     }},
    {"join", "all.mp3",
     [](const fs::path& dir, const fs::path& out, const std::string& length) {
         const std::string in = (dir / (length + ".wav")).string();
         return std::vector<std::string>{"join", (out / "all.mp3").string(), in, in, in};
     }},
};

void MakeInputs(const fs::path& dir)
{
    for (const auto& [name, seconds] : {std::pair<std::string, int>{"long", 900}, {"short", 1}}) {
        WriteWav(dir / (name + ".wav"), {8000, 1, 8000LL * seconds});
        WriteMp3(dir / (name + ".mp3"), {8000, 1, 8000LL * seconds}, {32});
    }
}

} // namespace

TEST_F(CliTest, AClosedTerminalOrATerminateRequestRemovesWhatWasWritten)
{
    MakeInputs(dir.Path());
    for (const int signal : {SIGHUP, SIGTERM})
    for (const LongJob& job : kLongJobs) {
        SCOPED_TRACE(std::string(job.name) + " " + strsignal(signal));
        const fs::path outputs = dir / "out";
        fs::remove_all(outputs);
        fs::create_directories(outputs);
        bool signalled = false;
        const ProcessResult r = SignalOnceWriting(job.args(dir.Path(), outputs, "long"), outputs, signal, &signalled);
        ASSERT_TRUE(signalled) << "nothing was written: " << Expect(r);
        if (r.exitCode == 0) {
            // The job ended before the signal was seen: its output is whole, and told.
            EXPECT_EQ(FilesIn(outputs), std::vector<fs::path>{outputs / Lines(r.out).at(0)}) << Expect(r);
            continue;
        }
        EXPECT_EQ(r.exitCode, 1) << Expect(r);
        EXPECT_NE(r.err.find("interrupted"), std::string::npos) << r.err;
        for (const fs::path& file : FilesIn(outputs))
            ADD_FAILURE() << "left behind: " << file << " (" << fs::file_size(file) << " bytes)";
    }
}

TEST_F(CliTest, AKilledRunLeavesNoFinishedLookingFileAndTheNextRunReclaimsItsTemporary)
{
    MakeInputs(dir.Path());
    for (const LongJob& job : kLongJobs) {
        SCOPED_TRACE(job.name);
        const fs::path outputs = dir / "out";
        fs::remove_all(outputs);
        fs::create_directories(outputs);
        bool signalled = false;
        const ProcessResult killed =
            SignalOnceWriting(job.args(dir.Path(), outputs, "long"), outputs, SIGKILL, &signalled);
        ASSERT_TRUE(signalled) << Expect(killed);
        ASSERT_EQ(killed.signal, SIGKILL);
        const std::vector<fs::path> left = FilesIn(outputs);
        ASSERT_EQ(left.size(), 1u);
        EXPECT_TRUE(IsTemporary(left[0])) << "a killed run left " << left[0];

        // The same job again, on short inputs: its output gets the first
        // name, and the killed run's temporary goes, said on stderr.
        const ProcessResult next = Cli(job.args(dir.Path(), outputs, "short"));
        ASSERT_EQ(next.exitCode, 0) << Expect(next);
        EXPECT_NE(next.err.find("note: removed " + left[0].string()), std::string::npos) << next.err;
        EXPECT_EQ(FilesIn(outputs), std::vector<fs::path>{outputs / job.output});
        EXPECT_EQ(next.out, (outputs / job.output).string() + "\n");
    }
}

TEST_F(CliTest, TwoSplitsIntoOneFolderAtTheSameInstantBothSucceedWithNumbersOfTheirOwn)
{
    WriteMp3(dir / "song.mp3", {44100, 2, 3 * 44100});
    for (const char* copy : {"", "--copy"}) {
        SCOPED_TRACE(copy);
        fs::remove_all(dir / "Split");
        std::vector<std::string> args{"split", (dir / "song.mp3").string(), "00:00:00", "00:00:02"};
        if (*copy)
            args.push_back(copy);
        ProcessResult results[2];
        std::thread other([&] { results[1] = Cli(args); });
        results[0] = Cli(args);
        other.join();
        std::set<std::string> printed;
        for (const ProcessResult& r : results) {
            EXPECT_EQ(r.exitCode, 0) << Expect(r);
            printed.insert(r.out);
        }
        EXPECT_EQ(printed, (std::set<std::string>{(dir / "Split" / "1-song.mp3").string() + "\n",
                                                  (dir / "Split" / "2-song.mp3").string() + "\n"}));
        EXPECT_EQ(FilesIn(dir / "Split").size(), 2u);
    }
}

TEST_F(CliTest, AWriteThatFailsHalfWayLeavesNothingEachWayAPieceIsWritten)
{
    // Files may grow to 256 KiB here; a bigger write fails (EFBIG), as on
    // a full disk, well after the piece was begun.
    WriteMp3(dir / "song.mp3", {44100, 2, 60 * 44100}, {192});
    for (const char* way : {"--copy", "--format=mp3", "--format=wav"}) {
        SCOPED_TRACE(way);
        const fs::path outputs = dir / "out";
        fs::remove_all(outputs);
        const ProcessResult r = RunProcess(
            {"sh", "-c", "trap '' XFSZ; ulimit -f 512; exec \"$@\"", "sh", TARNWICK_CLI, "split",
             (dir / "song.mp3").string(), "00:00:00", "00:00:59", way, "--outdir", outputs.string()});
        EXPECT_EQ(r.exitCode, 1) << Expect(r);
        EXPECT_NE(r.err.find("File too large"), std::string::npos) << r.err;
        EXPECT_TRUE(FilesIn(outputs).empty()) << "a partial piece or a temporary is left";
    }
}

TEST_F(CliTest, WhatCannotBeWrittenToStandardOutputFailsTheCommand)
{
    WriteWav(dir / "a.wav", {8000, 1, 8000});
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"probe", (dir / "a.wav").string()}, std::vector<std::string>{"--version"},
          std::vector<std::string>{"--help"}}) {
        SCOPED_TRACE(args[0]);
        ProcessOptions options;
        options.stdoutPath = "/dev/full";
        const ProcessResult r = Cli(args, options);
        EXPECT_EQ(r.exitCode, 1) << Expect(r);
        EXPECT_NE(r.err.find("cannot write to standard output: No space left on device"), std::string::npos)
            << r.err;
        EXPECT_EQ(Lines(r.err).size(), 1u) << "told once: " << r.err;
    }
}

TEST_F(CliTest, TheDecodersOwnNotesOnDamagedFramesStayOffStandardError)
{
    // Layer II at 64 kbps, each frame's header turned to joint stereo with
    // a stereo bound past the frame's subbands: libmpg123 decodes it and
    // prints a note of its own for every frame.
    WriteWav(dir / "in.wav", {44100, 2, 5 * 44100});
    ASSERT_EQ(RunProcess({"sox", (dir / "in.wav").string(), "-C", "64", (dir / "in.mp2").string()}).exitCode, 0);
    std::string bytes = Bytes(dir / "in.mp2");
    for (std::size_t at = 0; at + 4 <= bytes.size();) {
        const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[at + i]); };
        if (byte(0) != 0xFF || (byte(1) & 0xFE) != 0xFC || (byte(2) >> 4) != 4) { // Layer II, 64 kbps
            ++at;
            continue;
        }
        bytes[at + 3] = static_cast<char>((byte(3) & 0x0F) | 0x70); // joint stereo, bound 16
        at += 144 * 64000 / 44100 + ((byte(2) >> 1) & 1);
    }
    std::ofstream(dir / "bad.mp2", std::ios::binary) << bytes;

    const ProcessResult r = Cli({"split", (dir / "bad.mp2").string(), "00:00:00", "00:00:04"});
    EXPECT_EQ(r.exitCode, 0) << Expect(r);
    EXPECT_EQ(r.err, "") << "only the program's own messages belong there";
}

TEST_F(CliTest, TagsTravelWithPiecesAndMergedFilesAndProbeShowsThem)
{
    const fs::path song = dir / "song.mp3", other = dir / "other.mp3", damaged = dir / "damaged.mp3";
    for (const fs::path& path : {song, other, damaged})
        WriteMp3(path, {44100, 2, 88200}, {128});
    WriteTags(song, TagStyle::Id3v23, {.cover = true, .chapters = {{0, 1000, "Intro"}, {1000, 2000, "Main"}}});
    WriteTags(other, TagStyle::Id3v23, {.title = "Other"});
    WriteTags(damaged, TagStyle::Id3v23, {});
    DamageId3v2(damaged, TagDamage::GarbageFrames);
    const fs::path out = dir / "out";

    // A piece: the source's tags, an edit over them, its chapters on its own time.
    const ProcessResult split = Cli({"split", song.string(), "00:00:00.500", "00:00:01.500", "--outdir", out.string(),
                                     "--tag", "title=Cut", "--tag", "genre="});
    ASSERT_EQ(split.exitCode, 0) << Expect(split);
    const ProcessResult probe = Cli({"probe", "--tags", (out / "1-song.mp3").string()});
    ASSERT_EQ(probe.exitCode, 0) << Expect(probe);
    const std::vector<std::string> lines = Lines(probe.out);
    const std::vector<std::string> expected{"\ttitle\tCut",
                                            "\tartist\tThe Artist",
                                            "\talbum\tThe Album",
                                            "\tyear\t2021",
                                            "\ttrack\t3",
                                            "\tpicture\timage/png\t" + std::to_string(PngPicture().size())
                                                + " bytes\tfront cover",
                                            "\tchapter\t00:00:00.000\t00:00:00.500\tIntro",
                                            "\tchapter\t00:00:00.500\t00:00:01.000\tMain"};
    ASSERT_EQ(lines.size(), expected.size() + 1) << probe.out;
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 1, lines.end()), expected);

    // A source whose tags cannot be read: the piece all the same, and one warning line.
    const ProcessResult fromDamaged = Cli({"split", damaged.string(), "00:00:00", "00:00:01", "--outdir", out.string()});
    ASSERT_EQ(fromDamaged.exitCode, 0) << Expect(fromDamaged);
    EXPECT_EQ(Lines(fromDamaged.err), std::vector<std::string>{"warning: cannot read the tags of " + damaged.string()
                                                               + " (its ID3v2 tag is damaged); the piece is written "
                                                                 "without them"});

    // A merged file: a cover that is no picture refuses the join before anything is written.
    const fs::path book = dir / "book.mp3";
    const ProcessResult badCover = Cli({"join", book.string(), song.string(), other.string(), "--cover", song.string()});
    EXPECT_EQ(badCover.exitCode, 1) << Expect(badCover);
    EXPECT_NE(badCover.err.find("is not a JPEG or PNG picture"), std::string::npos) << badCover.err;
    EXPECT_FALSE(fs::exists(book));

    const ProcessResult join = Cli({"join", book.string(), song.string(), other.string(), "--tag", "album=Book"});
    ASSERT_EQ(join.exitCode, 0) << Expect(join);
    const ProcessResult merged = Cli({"probe", "--tags", book.string()});
    const std::vector<std::string> mergedLines = Lines(merged.out);
    EXPECT_NE(std::find(mergedLines.begin(), mergedLines.end(), "\talbum\tBook"), mergedLines.end()) << merged.out;
    EXPECT_NE(std::find(mergedLines.begin(), mergedLines.end(), "\tchapter\t00:00:02.000\t00:00:04.000\tOther"),
              mergedLines.end())
        << merged.out;
}

TEST_F(CliTest, TagsThatCannotBeWrittenFailThePieceAndLeaveNothing)
{
    // The audio fits under the limit, the tags after it do not: the file
    // would be a WAV piece with a broken chunk at its end.
    WriteWav(dir / "song.wav", {44100, 2, 2 * 44100});
    WriteTags(dir / "song.wav", TagStyle::WavId3AndInfo,
              {.frames = {{"PRIV", std::string("owner\0", 6) + std::string(64 * 1024, 'p')}}});
    const fs::path outputs = dir / "out";
    const ProcessResult r =
        RunProcess({"sh", "-c", "trap '' XFSZ; ulimit -f 360; exec \"$@\"", "sh", TARNWICK_CLI, "split",
                    (dir / "song.wav").string(), "00:00:00", "00:00:01", "--format=wav", "--outdir", outputs.string()});
    EXPECT_EQ(r.exitCode, 1) << Expect(r);
    EXPECT_NE(r.err.find("cannot write the tags of"), std::string::npos) << r.err;
    EXPECT_TRUE(FilesIn(outputs).empty()) << "a piece with broken tags or a temporary is left";
}

// --- tracks -------------------------------------------------------------------

namespace {

const char kTracksSheet[] = "TITLE \"Album\"\nPERFORMER \"Band\"\nFILE \"other name.wav\" WAVE\n"
                            "  TRACK 01 AUDIO\n    TITLE \"One\"\n    INDEX 01 00:00:00\n"
                            "  TRACK 02 AUDIO\n    TITLE \"Two: a/b\"\n    INDEX 01 00:04:00\n"
                            "  TRACK 03 AUDIO\n    INDEX 01 00:08:00\n";

} // namespace

TEST_F(CliTest, TracksDryRunShowsThePlanAndWritesNothing)
{
    WriteTonesAndGaps(dir / "gaps.wav", {{5, 0.3}, {2.5, 0}, {4, 0.3}, {3, 0}, {5, 0.3}});
    std::ofstream(dir / "album.cue") << kTracksSheet;
    const std::string source = (dir / "gaps.wav").string();
    const fs::path out = dir / "out";
    struct Case {
        const char* name;
        std::vector<std::string> args;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"cue sheet",
         {"--cue", (dir / "album.cue").string()},
         {"1  00:00:00.000  00:00:04.000  00:00:04.000  1 - One.wav",
          "2  00:00:04.000  00:00:08.000  00:00:04.000  2 - Two_ a_b.wav",
          "3  00:00:08.000  00:00:19.500  00:00:11.500  3 - gaps.wav"}},
        {"silences, cut in the middle",
         {"--silence", "--name", "{source} {n}"},
         {"1  00:00:00.000  00:00:06.250  00:00:06.250  gaps 1.wav",
          "2  00:00:06.250  00:00:13.000  00:00:06.750  gaps 2.wav",
          "3  00:00:13.000  00:00:19.500  00:00:06.500  gaps 3.wav"}},
        {"silences trimmed",
         {"--silence=-50,2", "--trim-silence"},
         {"1  00:00:00.000  00:00:05.000  00:00:05.000  1 - gaps.wav",
          "2  00:00:07.500  00:00:11.500  00:00:04.000  2 - gaps.wav",
          "3  00:00:14.500  00:00:19.500  00:00:05.000  3 - gaps.wav"}},
        {"times given, each track's ends out of the silence they are in",
         {"--at", "00:00:06.25", "--trim-silence"},
         {"1  00:00:00.000  00:00:05.000  00:00:05.000  1 - gaps.wav",
          "2  00:00:07.500  00:00:19.500  00:00:12.000  2 - gaps.wav"}},
        {"equal parts snapped to the gaps",
         {"--parts", "3", "--snap", "1.5"},
         {"1  00:00:00.000  00:00:06.250  00:00:06.250  1 - gaps.wav",
          "2  00:00:06.250  00:00:13.000  00:00:06.750  2 - gaps.wav",
          "3  00:00:13.000  00:00:19.500  00:00:06.500  3 - gaps.wav"}},
        {"every 8 s",
         {"--every", "00:00:08"},
         {"1  00:00:00.000  00:00:08.000  00:00:08.000  1 - gaps.wav",
          "2  00:00:08.000  00:00:16.000  00:00:08.000  2 - gaps.wav",
          "3  00:00:16.000  00:00:19.500  00:00:03.500  3 - gaps.wav"}},
        {"times given", {"--at", "00:00:10.5,00:00:02", "--format", "mp3"},
         {"1  00:00:00.000  00:00:02.000  00:00:02.000  1 - gaps.mp3",
          "2  00:00:02.000  00:00:10.500  00:00:08.500  2 - gaps.mp3",
          "3  00:00:10.500  00:00:19.500  00:00:09.000  3 - gaps.mp3"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> args{"tracks", source, "--dry-run", "--outdir", out.string()};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const ProcessResult r = Cli(args);
        EXPECT_EQ(r.exitCode, 0) << Expect(r);
        EXPECT_EQ(Lines(r.out), c.lines) << Expect(r);
        EXPECT_FALSE(fs::exists(out));
    }
}

TEST_F(CliTest, TracksWritesTaggedNamedPiecesAndExportsTheList)
{
    WriteWav(dir / "album.wav", {8000, 1, 8000 * 12});
    std::ofstream(dir / "album.cue") << kTracksSheet;
    const fs::path out = dir / "out";
    const ProcessResult r = Cli({"tracks", (dir / "album.wav").string(), "--cue", (dir / "album.cue").string(),
                                 "--format", "mp3", "--bitrate", "32", "--samplerate", "8", "--outdir", out.string(),
                                 "--export-cue", (dir / "copy.cue").string(), "--export-labels",
                                 (dir / "labels.txt").string()});
    ASSERT_EQ(r.exitCode, 0) << Expect(r);
    EXPECT_NE(r.err.find("the sheet names other name.wav; it is used for album.wav"), std::string::npos) << r.err;
    const std::vector<std::string> expected{(out / "1 - One.mp3").string(), (out / "2 - Two_ a_b.mp3").string(),
                                            (out / "3 - album.mp3").string()};
    EXPECT_EQ(Lines(r.out), expected);
    EXPECT_EQ(FolderNames(out).size(), 3u);
    const TagsRead two = ReadTagsBack(out / "2 - Two_ a_b.mp3");
    EXPECT_EQ(two.title, "Two: a/b");
    EXPECT_EQ(two.artist, "Band");
    EXPECT_EQ(two.album, "Album");
    EXPECT_EQ(two.Frame("TRCK"), "2/3");
    EXPECT_NE(Bytes(dir / "copy.cue").find("FILE \"album.wav\" WAVE"), std::string::npos);
    EXPECT_EQ(Lines(Bytes(dir / "labels.txt")).size(), 3u);

    // The same list again, by its label file: new names beside the old
    // ones; an export that is there is not replaced.
    const ProcessResult again = Cli({"tracks", (dir / "album.wav").string(), "--labels", (dir / "labels.txt").string(),
                                     "--format", "mp3", "--outdir", out.string()});
    ASSERT_EQ(again.exitCode, 0) << Expect(again);
    EXPECT_EQ(Lines(again.out)[0], (out / "1 - One (2).mp3").string());
    const ProcessResult exists = Cli({"tracks", (dir / "album.wav").string(), "--parts", "2", "--export-labels",
                                      (dir / "labels.txt").string(), "--outdir", out.string()});
    EXPECT_EQ(exists.exitCode, 1) << Expect(exists);
    EXPECT_NE(exists.err.find("exists"), std::string::npos) << exists.err;
}

TEST_F(CliTest, TracksTellsWrongUseAndBadSheetsWithTheirLine)
{
    WriteWav(dir / "a.wav", {8000, 1, 8000 * 12});
    std::string sheet = kTracksSheet;
    sheet.replace(sheet.find("INDEX 01 00:08:00"), 17, "INDEX 01 00:13:00");
    std::ofstream(dir / "late.cue") << sheet;
    const std::string a = (dir / "a.wav").string();
    struct Case {
        std::vector<std::string> args;
        int exitCode;
        const char* says;
    };
    const Case cases[] = {
        {{"tracks", a}, 2, "one of --cue"},
        {{"tracks", a, "--parts", "2", "--silence"}, 2, "one of --cue"},
        {{"tracks", a, "--parts", "0"}, 2, "--parts"},
        {{"tracks", a, "--silence=5"}, 2, "below 0"},
        {{"tracks", a, "--cue", (dir / "late.cue").string(), "--snap", "2"}, 2, "--snap goes with"},
        {{"tracks", a, "--parts", "2", "--copy", "--format", "wav"}, 2, "do not go together"},
        {{"tracks", a, "--parts", "2", "--copy"}, 1, "needs an MP3 source"},
        {{"tracks", a, "--at", "00:00:20"}, 1, "past the end"},
        {{"tracks", a, "--cue", (dir / "late.cue").string()}, 1, "late.cue line 11: track 3 starts at 00:00:13.000, past the end"},
        {{"tracks", a, "--cue", (dir / "none.cue").string()}, 1, "none.cue"},
    };
    for (const Case& c : cases) {
        const ProcessResult r = Cli(c.args);
        EXPECT_EQ(r.exitCode, c.exitCode) << Expect(r);
        EXPECT_NE(r.err.find(c.says), std::string::npos) << Expect(r);
        EXPECT_FALSE(fs::exists(dir / "Split"));
    }
}

TEST_F(CliTest, InterruptedTracksKeepTheFinishedPiecesAndRemoveThePartialOne)
{
    const fs::path source = dir / "long.wav";
    WriteWav(source, {8000, 1, 8000LL * 900});
    const fs::path outputs = dir / "pieces";
    bool signalled = false;
    const ProcessResult r =
        SignalOnceWriting({"tracks", source.string(), "--parts", "3", "--format", "mp3", "--outdir", outputs.string()},
                          outputs, SIGINT, &signalled);
    ASSERT_TRUE(signalled) << "no piece was ever written: " << Expect(r);
    EXPECT_EQ(r.exitCode, 1) << Expect(r);
    EXPECT_NE(r.err.find("interrupted"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("the track being written was removed"), std::string::npos) << r.err;
    // What is left is what the run said it wrote, whole.
    std::vector<std::string> left;
    for (const fs::path& file : FilesIn(outputs))
        left.push_back(file.string());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, Lines(r.out));
}

TEST_F(CliTest, TracksGoOnPastAPieceThatFailsOnItsOwnAndSayWhichOneFailed)
{
    // The first piece is larger than the file size limit lets a file be,
    // the second fits: the first is told and left out, the second written.
    WriteWav(dir / "two.wav", {8000, 1, 8000 * 25});
    const fs::path outputs = dir / "out";
    const ProcessResult r = RunProcess({"sh", "-c", "trap '' XFSZ; ulimit -f 360; exec \"$@\"", "sh", TARNWICK_CLI,
                                        "tracks", (dir / "two.wav").string(), "--at", "00:00:20", "--format", "wav",
                                        "--outdir", outputs.string()});
    EXPECT_EQ(r.exitCode, 1) << Expect(r);
    EXPECT_EQ(Lines(r.out), std::vector<std::string>{(outputs / "2 - two.wav").string()}) << Expect(r);
    EXPECT_NE(r.err.find("track 1 (1 - two.wav): "), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("1 of 2 pieces were not written"), std::string::npos) << r.err;
    std::vector<std::string> left;
    for (const fs::path& file : FilesIn(outputs))
        left.push_back(file.filename().string());
    EXPECT_EQ(left, std::vector<std::string>{"2 - two.wav"});
}
