// The split job on real files: exact cuts to WAV and MP3, naming that
// never overwrites, and every way a piece can fail.

#include "SplitJob.h"

#include "JobAssertions.h"
#include "OutputNaming.h"
#include "media/graph/FilterGraph.h"
#include "media/graph/FilterRegistry.h"
#include "media/graph/GraphDot.h"
#include "RenderTestSupport.h"

#include <Fixtures.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <fstream>
#include <thread>

namespace fs = std::filesystem;

namespace {

constexpr REFERENCE_TIME kSecond = 10'000'000;

class SplitJob : public ::testing::Test {
protected:
    void SetUp() override { ::setenv("XDG_CACHE_HOME", (dir / "cache").c_str(), 1); }

    SplitPieceRequest Request(const fs::path& source, REFERENCE_TIME start, REFERENCE_TIME stop, bool mp3)
    {
        SplitPieceRequest r;
        r.sourcePath = source;
        r.outputDir = dir / "Split";
        r.outputName = source.filename();
        r.mp3Output = mp3;
        r.start = start;
        r.stop = stop;
        return r;
    }

    // Builds and runs a piece the way the settings dialog does.
    static JobResult RunPiece(CSplitJob& job)
    {
        if (JobResult built = job.Build(); !built)
            return built;
        job.Run();
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
        JobStatus status = JobStatus::Running;
        while (status == JobStatus::Running && std::chrono::steady_clock::now() < deadline) {
            status = job.WaitStep(job.Request().mp3Output ? 250 : 64);
            job.Progress();
        }
        return job.Finish(status);
    }

    // The first audio frame's "Info" tag: encoder delay and padding.
    static bool InfoTag(const fs::path& mp3, int* delay, int* padding)
    {
        std::ifstream in(mp3, std::ios::binary);
        std::vector<char> head(2000);
        in.read(head.data(), std::streamsize(head.size()));
        for (std::size_t i = 0; i + 160 < head.size(); ++i) {
            if (std::memcmp(&head[i], "Info", 4) != 0)
                continue;
            const auto* dp = reinterpret_cast<const unsigned char*>(&head[i]) + 141;
            *delay = (dp[0] << 4) | (dp[1] >> 4);
            *padding = ((dp[1] & 0x0F) << 8) | dp[2];
            return true;
        }
        return false;
    }

    fixtures::TempDir dir;
};

} // namespace

// --- exact cuts --------------------------------------------------------------

TEST_F(SplitJob, WavCutOfSixtyToHundredFiftySecondsHoldsExactlyThoseSamples)
{
    const auto source = dir / "song.wav";
    fixtures::WriteWav(source, {44100, 2, 44100 * 160});
    CSplitJob job(Request(source, 60 * kSecond, 150 * kSecond, false));
    const auto started = std::chrono::steady_clock::now();
    ASSERT_TRUE(Succeeded(RunPiece(job)));
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    EXPECT_EQ(job.OutputPath(), (dir / "Split" / "1-song.wav").string());
    EXPECT_EQ(job.Progress(), 200);

    const auto piece = fixtures::ReadAudio(job.OutputPath());
    const auto whole = fixtures::ReadAudio(source);
    ASSERT_EQ(piece.Frames(), 3'969'000);
    EXPECT_TRUE(std::equal(piece.samples.begin(), piece.samples.end(), whole.samples.begin() + 60 * 44100 * 2));
    EXPECT_NEAR(piece.samples[0], fixtures::SampleValue(60 * 44100, 0), 1.0 / 32768);
    RecordProperty("wav_cut_90s_seconds", std::to_string(seconds));
}

TEST_F(SplitJob, Mp3CutHasTheExactLengthTheRightStartAndTheInfoFrame)
{
    const auto source = dir / "song.wav";
    fixtures::WriteWav(source, {44100, 2, 44100 * 160});
    CSplitJob job(Request(source, 60 * kSecond, 150 * kSecond, true));
    ASSERT_TRUE(Succeeded(RunPiece(job)));
    EXPECT_EQ(job.OutputPath(), (dir / "Split" / "1-song.mp3").string());

    int delay = 0, padding = 0;
    ASSERT_TRUE(InfoTag(job.OutputPath(), &delay, &padding));
    EXPECT_GT(delay, 500);
    const auto piece = fixtures::ReadAudio(job.OutputPath()); // gapless: delay and padding removed
    ASSERT_EQ(piece.Frames(), 3'969'000);
    // Content lines up with the source from 60 s on: best match at lag 0.
    const auto whole = fixtures::ReadAudio(source);
    double best = 0;
    const int lag = BestLag(piece.samples, 2, 44100, whole.samples, 2, 61 * 44100, 44100, 20, &best);
    EXPECT_EQ(lag, 0);
    EXPECT_GT(best, 0.95);
}

TEST_F(SplitJob, Mp3AtALowerRateIsConvertedToTheRoundedLength)
{
    const auto source = dir / "tune.mp3";
    fixtures::WriteMp3(source, {44100, 2, 44100 * 20});
    SplitPieceRequest r = Request(source, 5 * kSecond + 123'456, 15 * kSecond, true);
    r.sampleRate = 22050;
    r.bitRate = 64;
    CSplitJob job(r);
    ASSERT_TRUE(Succeeded(RunPiece(job)));
    const auto piece = fixtures::ReadAudio(job.OutputPath());
    EXPECT_EQ(piece.sampleRate, 22050);
    const std::int64_t frames = TimeToFrame(15 * kSecond, 44100) - TimeToFrame(5 * kSecond + 123'456, 44100);
    EXPECT_EQ(piece.Frames(), std::llround(frames * 22050.0 / 44100.0));
}

TEST_F(SplitJob, CutFromAnMp3StartsOnTheRightDecodedSample)
{
    const auto source = dir / "tune.mp3";
    // Long enough to be decoded on two threads, in chunks.
    fixtures::WriteMp3(source, {44100, 2, 44100 * 12});
    CSplitJob job(Request(source, 2 * kSecond + 5'000'000, 11 * kSecond, false));
    ASSERT_TRUE(Succeeded(RunPiece(job)));
    const auto piece = fixtures::ReadAudio(job.OutputPath());
    const auto whole = fixtures::ReadAudio(source);
    const std::int64_t first = TimeToFrame(2 * kSecond + 5'000'000, 44100);
    ASSERT_EQ(piece.Frames(), TimeToFrame(11 * kSecond, 44100) - first);
    for (std::size_t i = 0; i < piece.samples.size(); i += 331)
        ASSERT_NEAR(piece.samples[i], whole.samples[std::size_t(first * 2) + i], 1.0 / 32768) << i;
}

TEST_F(SplitJob, PredictedSizeFollowsTheBitRate)
{
    EXPECT_EQ(PredictedOutputSize(8000, 90 * kSecond + 1), 720000);
    const auto source = dir / "song.wav";
    fixtures::WriteWav(source, {8000, 1, 8000 * 3});
    SplitPieceRequest r = Request(source, 0, 2 * kSecond, true);
    r.sampleRate = 8000;
    r.bitRate = 64;
    CSplitJob job(r);
    ASSERT_TRUE(Succeeded(job.Build()));
    EXPECT_EQ(job.PredictedSize(), 16000);
    EXPECT_EQ(job.Length(), 2 * kSecond + 1);
}

// --- naming ----------------------------------------------------------------

TEST_F(SplitJob, OutputNameFitsTheFormatWhateverTheCase)
{
    EXPECT_EQ(FitOutputName("Song.MP3", false), "Song.wav");
    EXPECT_EQ(FitOutputName("clip.wav", true), "clip.mp3");
    EXPECT_EQ(FitOutputName("song.mp3", true), "song.mp3");
    EXPECT_EQ(FitOutputName("a.Wav.wav", true), "a.mp3.mp3");
    EXPECT_EQ(FitOutputName("notes.txt", false), "notes.txt");
}

TEST_F(SplitJob, TakenNamesAreSkippedWhetherFileFolderOrLink)
{
    const std::string out = (dir / "out").string();
    fs::create_directories(out);
    EXPECT_EQ(FindFreeOutputPath(out, "x.mp3", 0), out + "/1-x.mp3");
    std::ofstream(out + "/1-x.mp3") << "mine";
    EXPECT_EQ(FindFreeOutputPath(out, "x.mp3", 0), out + "/2-x.mp3");
    fs::create_directory(out + "/2-x.mp3");
    EXPECT_EQ(FindFreeOutputPath(out + "/", "x.mp3", 0), out + "/3-x.mp3");
    fs::create_symlink("nowhere", out + "/3-x.mp3"); // a broken link is a taken name too
    EXPECT_EQ(FindFreeOutputPath(out, "x.mp3", 0), out + "/4-x.mp3");
    EXPECT_EQ(FindFreeOutputPath(out, "x.mp3", 4), out + "/5-x.mp3"); // a later piece starts at its own number
}

TEST_F(SplitJob, AnExistingPieceIsNeverOverwritten)
{
    const auto source = dir / "song.wav";
    fixtures::WriteWav(source, {8000, 1, 8000 * 2});
    fs::create_directories(dir / "Split");
    std::ofstream(dir / "Split" / "1-song.wav") << "keep me";
    CSplitJob job(Request(source, 0, kSecond, false));
    ASSERT_TRUE(Succeeded(RunPiece(job)));
    EXPECT_EQ(job.OutputPath(), (dir / "Split" / "2-song.wav").string());
    std::ifstream kept(dir / "Split" / "1-song.wav");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "keep me");
}

TEST_F(SplitJob, TheGraphDescriptionIsWrittenToTheCacheFolder)
{
    const auto source = dir / "song.wav";
    fixtures::WriteWav(source, {8000, 1, 8000});
    CSplitJob job(Request(source, 0, kSecond / 2, true));
    ASSERT_TRUE(Succeeded(job.Build()));
    const auto dot = dir / "cache" / "tarnwick" / "a.dot";
    EXPECT_EQ(DefaultGraphDotPath(), dot.string());
    std::ifstream in(dot);
    const std::string text(std::istreambuf_iterator<char>(in), {});
    EXPECT_NE(text.find("Lame"), std::string::npos);
    EXPECT_NE(text.find("Dest"), std::string::npos);
}

// --- failures --------------------------------------------------------------

TEST_F(SplitJob, AMissingSourceIsNamed)
{
    CSplitJob job(Request(dir / "nowhere.mp3", 0, kSecond, true));
    const JobResult built = job.Build();
    EXPECT_FALSE(built);
    EXPECT_NE(built.Reason().find((dir / "nowhere.mp3").string()), std::string::npos) << built.Reason();
    EXPECT_FALSE(fs::exists(dir / "Split")); // nothing made for a job that cannot run
}

TEST_F(SplitJob, ACorruptSourceIsNamed)
{
    for (const char* name : {"bad.wav", "bad.mp3"}) {
        const auto bad = dir / name;
        std::ofstream(bad) << std::string(20000, '\x5a');
        CSplitJob job(Request(bad, 0, kSecond, true));
        const JobResult ran = RunPiece(job);
        EXPECT_FALSE(ran) << name;
        EXPECT_NE(ran.Reason().find(bad.string()), std::string::npos) << ran.Reason();
        EXPECT_TRUE(job.OutputPath().empty() || !fs::exists(job.OutputPath()));
    }
}

TEST_F(SplitJob, AnOutputFolderThatCannotBeMadeIsReported)
{
    const auto source = dir / "song.wav";
    fixtures::WriteWav(source, {8000, 1, 8000});
    std::ofstream(dir / "file") << "not a folder";
    SplitPieceRequest r = Request(source, 0, kSecond / 2, false);
    r.outputDir = (dir / "file" / "Split").string();
    CSplitJob job(r);
    const JobResult built = job.Build();
    EXPECT_TRUE(FailedWith(built, JobFailure::NotFound));
    EXPECT_NE(built.Reason().find(r.outputDir), std::string::npos) << built.Reason();
}

TEST_F(SplitJob, RatesTheEncoderCannotTakeAreRefusedUpFront)
{
    const auto source = dir / "song.wav";
    fixtures::WriteWav(source, {8000, 1, 8000});
    SplitPieceRequest r = Request(source, 0, kSecond / 2, true);
    r.sampleRate = 0; // the settings text was not a number
    CSplitJob job(r);
    const JobResult built = job.Build();
    EXPECT_TRUE(FailedWith(built, JobFailure::InvalidRequest));
    EXPECT_NE(built.Reason().find("0 Hz"), std::string::npos) << built.Reason();
    CSplitJob empty(Request(source, kSecond, kSecond, true));
    EXPECT_TRUE(FailedWith(empty.Build(), JobFailure::InvalidRequest));
}

TEST_F(SplitJob, ASourceCutShortDuringTheJobFailsAndLeavesNoPiece)
{
    const auto source = dir / "song.wav";
    fixtures::WriteWav(source, {44100, 2, 44100 * 8});
    CSplitJob job(Request(source, kSecond, 7 * kSecond, true));
    ASSERT_TRUE(Succeeded(job.Build()));
    fs::resize_file(source, 44100 * 4 * 3); // gone after 3 s: removed or rewritten under us
    job.Run();
    JobStatus status = JobStatus::Running;
    for (int i = 0; i < 400 && status == JobStatus::Running; ++i)
        status = job.WaitStep(250);
    EXPECT_EQ(status, JobStatus::Failed);
    const JobResult finished = job.Finish(status);
    EXPECT_TRUE(FailedWith(finished, JobFailure::Failed));
    EXPECT_NE(finished.Reason().find(source.string()), std::string::npos) << finished.Reason();
    EXPECT_FALSE(fs::exists(job.OutputPath()));
}

TEST_F(SplitJob, AUserStopKeepsThePieceAndACancelRemovesIt)
{
    const auto source = dir / "song.wav";
    fixtures::WriteWav(source, {44100, 2, 44100 * 60});
    for (bool keep : {true, false}) {
        CSplitJob job(Request(source, 0, 60 * kSecond, true));
        ASSERT_TRUE(Succeeded(job.Build()));
        job.Run();
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (job.Progress() < 3 && std::chrono::steady_clock::now() < until)
            std::this_thread::yield();
        job.Stop(keep);
        EXPECT_EQ(job.WaitStep(0), JobStatus::Stopped); // a stopped job never waits for ever
        EXPECT_EQ(fs::exists(job.OutputPath()), keep) << job.OutputPath();
        if (keep) {
            EXPECT_GT(fixtures::ReadAudio(job.OutputPath()).Frames(), 0);
        }
    }
}

TEST_F(SplitJob, AJobDroppedHalfWayLeavesNoPiece)
{
    const auto source = dir / "song.wav";
    fixtures::WriteWav(source, {44100, 2, 44100 * 60});
    std::string output;
    {
        CSplitJob job(Request(source, 0, 60 * kSecond, true));
        ASSERT_TRUE(Succeeded(job.Build()));
        output = job.OutputPath();
        job.Run();
    }
    EXPECT_FALSE(fs::exists(output));
}

TEST_F(SplitJob, AStoppedWavPieceIsACompleteShorterFile)
{
    const auto source = dir / "song.wav";
    fixtures::WriteWav(source, {44100, 2, 44100 * 60});
    CSplitJob job(Request(source, 0, 60 * kSecond, false));
    ASSERT_TRUE(Succeeded(job.Build()));
    job.Run();
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (job.Progress() < 2 && std::chrono::steady_clock::now() < until)
        std::this_thread::yield();
    job.Stop(true);
    ASSERT_TRUE(fs::exists(job.OutputPath()));
    // Its header tells the length that is really there.
    const auto piece = fixtures::ReadAudio(job.OutputPath());
    EXPECT_EQ(std::uintmax_t(44 + piece.Frames() * 4), fs::file_size(job.OutputPath()));
    EXPECT_GT(piece.Frames(), 0);
}
