// What a split leaves on disk, each way a piece is written (re-encoded to
// MP3, to WAV, its MP3 frames copied): a name only for a complete piece,
// numbers of their own for pieces written at once, names as long as a
// folder allows, no piece from a source that changed, RF64 for a WAV piece
// past 4 GiB.

#include "SplitJob.h"

#include "JobAssertions.h"
#include "SourceMeasure.h"

#include <Fixtures.h>

#include <gtest/gtest.h>

#include <sndfile.h>

#include <chrono>
#include <cstring>
#include <fstream>
#include <iterator>
#include <set>
#include <thread>

#include <fcntl.h>
#include <unistd.h>

namespace fs = std::filesystem;
using fixtures::FolderNames;

namespace {

constexpr REFERENCE_TIME kSecond = 10'000'000;

struct Way {
    const char* name;
    bool mp3;
    SplitCopy copy;
};
const Way kWays[] = {
    {"mp3", true, SplitCopy::Never},
    {"wav", false, SplitCopy::Never},
    {"copy", true, SplitCopy::Required},
};

class SplitOutput : public ::testing::Test {
protected:
    void SetUp() override { ::setenv("XDG_CACHE_HOME", (dir / "cache").c_str(), 1); }

    SplitPieceRequest Request(const fs::path& source, const Way& way, REFERENCE_TIME stop = 3 * kSecond)
    {
        SplitPieceRequest r;
        r.sourcePath = source;
        r.outputDir = dir / "Split";
        r.outputName = source.filename();
        r.mp3Output = way.mp3;
        r.copy = way.copy;
        r.start = kSecond;
        r.stop = stop;
        return r;
    }

    // Runs a built piece to its end.
    static JobResult RunBuilt(CSplitJob& job)
    {
        job.Run();
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
        JobStatus status = JobStatus::Running;
        while (status == JobStatus::Running && std::chrono::steady_clock::now() < deadline)
            status = job.WaitStep(100);
        return job.Finish(status);
    }

    fs::path Out() const { return dir / "Split"; }

    fixtures::TempDir dir;
};

// Five seconds of MP3 at 44.1 kHz stereo: a source for every way.
fs::path WriteSource(const fs::path& path)
{
    fixtures::WriteMp3(path, {44100, 2, 44100 * 5});
    return path;
}

// An RF64 file of `seconds` of 16-bit stereo silence at 44.1 kHz that takes
// no room on disk: a header, then a hole.
void WriteSparseRf64(const fs::path& path, std::int64_t seconds)
{
    const std::uint64_t data = std::uint64_t(seconds) * 44100 * 4;
    std::vector<unsigned char> h(80, 0);
    auto put = [&h](std::size_t at, std::uint64_t value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            h[at + std::size_t(i)] = static_cast<unsigned char>(value >> (8 * i));
    };
    std::memcpy(&h[0], "RF64", 4);
    put(4, 0xFFFFFFFFu, 4);
    std::memcpy(&h[8], "WAVEds64", 8);
    put(16, 28, 4);
    put(20, 72 + data, 8);
    put(28, data, 8);
    put(36, data / 4, 8);
    std::memcpy(&h[48], "fmt ", 4);
    put(52, 16, 4);
    put(56, 1, 2);
    put(58, 2, 2);
    put(60, 44100, 4);
    put(64, 44100 * 4, 4);
    put(68, 4, 2);
    put(70, 16, 2);
    std::memcpy(&h[72], "data", 4);
    put(76, 0xFFFFFFFFu, 4);
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(h.data()), std::streamsize(h.size()));
    fs::resize_file(path, 80 + data);
}

// File times tick coarsely (a few milliseconds): waits until a file written
// now gets another modification time than `file`, as a rewrite later in a
// job would.
void WaitForTheFileClockToMove(const fs::path& file)
{
    const fs::path probe = file.parent_path() / "clock-probe";
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    do {
        std::ofstream(probe) << "tick";
    } while (fs::last_write_time(probe) == fs::last_write_time(file) && std::chrono::steady_clock::now() < deadline);
    fs::remove(probe);
}

} // namespace

TEST_F(SplitOutput, PiecesBuiltAtOnceEachGetANumberOfTheirOwn)
{
    const fs::path source = WriteSource(dir / "song.mp3");
    for (const Way& way : kWays) {
        SCOPED_TRACE(way.name);
        fs::remove_all(Out());
        // Both find "1-song" free when they are built, as two runs started
        // at the same instant do.
        CSplitJob first(Request(source, way)), second(Request(source, way));
        ASSERT_TRUE(Succeeded(first.Build()));
        ASSERT_TRUE(Succeeded(second.Build()));
        EXPECT_EQ(first.OutputPath(), second.OutputPath());
        EXPECT_FALSE(fs::exists(first.OutputPath())) << "no name before the piece is complete";
        ASSERT_TRUE(Succeeded(RunBuilt(first)));
        ASSERT_TRUE(Succeeded(RunBuilt(second)));
        const std::string ext = way.mp3 ? ".mp3" : ".wav";
        EXPECT_EQ(std::set<std::string>({first.OutputPath(), second.OutputPath()}),
                  std::set<std::string>({(Out() / ("1-song" + ext)).string(), (Out() / ("2-song" + ext)).string()}));
        EXPECT_EQ(FolderNames(Out()).size(), 2u) << "no temporary is left";
        for (const CSplitJob* job : {&first, &second}) {
            EXPECT_EQ(fixtures::ReadAudio(job->OutputPath()).Frames(), 2 * 44100);
        }
    }
}

TEST_F(SplitOutput, APieceNameOfTheLongestLengthAFolderAllowsIsWritten)
{
    // "1-" and 253 bytes: 255, the most a name may have.
    const fs::path source = WriteSource(dir / (std::string(249, 'l') + ".mp3"));
    for (const Way& way : kWays) {
        SCOPED_TRACE(way.name);
        CSplitJob job(Request(source, way));
        ASSERT_TRUE(Succeeded(job.Build()));
        ASSERT_TRUE(Succeeded(RunBuilt(job)));
        EXPECT_EQ(fs::path(job.OutputPath()).filename().string().size(), 255u);
        EXPECT_EQ(fixtures::ReadAudio(job.OutputPath()).Frames(), 2 * 44100);
    }
    // 1- and 2- of the MP3 name (copied after re-encoded), 1- of the WAV one.
    EXPECT_EQ(FolderNames(Out()).size(), 3u);
}

TEST_F(SplitOutput, ASourceThatChangesUnderTheJobGivesNoPiece)
{
    // Other audio of the same length and rate, so of the same size.
    const fs::path other = dir / "other.mp3";
    fixtures::WriteMp3(other, {44100, 2, 44100 * 5, true});
    // Replaced after the caller measured it (the job is told the measure),
    // or rewritten in place once the job was built.
    enum class Change { ReplacedAfterMeasuring, RewrittenAfterBuilding };
    for (const Change change : {Change::ReplacedAfterMeasuring, Change::RewrittenAfterBuilding})
    for (const Way& way : kWays) {
        SCOPED_TRACE(std::string(way.name) + (change == Change::ReplacedAfterMeasuring ? " replaced" : " rewritten"));
        const fs::path source = WriteSource(dir / "song.mp3");
        SplitPieceRequest request = Request(source, way);
        JobResult result;
        if (change == Change::ReplacedAfterMeasuring) {
            request.sourceIdentity = MeasureSource(source).identity;
            fs::copy_file(other, dir / "new.mp3", fs::copy_options::overwrite_existing);
            fs::rename(dir / "new.mp3", source);
            CSplitJob job(request);
            result = job.Build();
        } else {
            CSplitJob job(request);
            ASSERT_TRUE(Succeeded(job.Build()));
            WaitForTheFileClockToMove(source);
            std::ifstream in(other, std::ios::binary);
            std::fstream(source, std::ios::binary | std::ios::in | std::ios::out) << in.rdbuf();
            result = RunBuilt(job);
        }
        EXPECT_TRUE(FailedWith(result, JobFailure::Failed));
        EXPECT_NE(result.Reason().find("cannot read " + source.string() + ": the file changed while it was read"),
                  std::string::npos)
            << result.Reason();
        EXPECT_TRUE(!fs::exists(Out()) || fs::is_empty(Out())) << "a piece or a temporary is left";
    }
}

TEST_F(SplitOutput, AWavPiecePastFourGibibytesIsRf64FromItsFirstByte)
{
    // Eight hours of CD-quality silence, 5 GB that take no room.
    const fs::path source = dir / "night.wav";
    WriteSparseRf64(source, 8 * 3600);
    struct Case {
        REFERENCE_TIME stop;
        const char* magic;
        int headerBytes;
    };
    // Seven hours hold 4.4 GB of data; one hour 0.6 GB.
    for (const Case& c : {Case{7 * 3600 * kSecond, "RF64", 80}, Case{3600 * kSecond, "RIFF", 44}}) {
        SCOPED_TRACE(c.magic);
        SplitPieceRequest request = Request(source, kWays[1], c.stop);
        request.start = 0;
        CSplitJob job(request);
        ASSERT_TRUE(Succeeded(job.Build()));
        job.Run();
        // A little of it is enough: the header was chosen before any data.
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (job.Progress() < 1 && job.WaitStep(20) == JobStatus::Running && std::chrono::steady_clock::now() < until) {
        }
        job.Stop(true);
        ASSERT_TRUE(fs::exists(job.OutputPath()));
        std::ifstream in(job.OutputPath(), std::ios::binary);
        char magic[5] = {};
        in.read(magic, 4);
        EXPECT_STREQ(magic, c.magic);
        SF_INFO info{};
        SNDFILE* file = sf_open(job.OutputPath().c_str(), SFM_READ, &info);
        ASSERT_NE(file, nullptr) << sf_strerror(nullptr);
        sf_close(file);
        EXPECT_GT(info.frames, 0);
        EXPECT_EQ(std::uintmax_t(c.headerBytes + info.frames * 4), fs::file_size(job.OutputPath()));
        EXPECT_LT(fs::file_size(job.OutputPath()), 1ull << 30) << "the test writes no gigabytes";
    }
}

TEST_F(SplitOutput, ACancelledCopyLeavesNoTemporaryOnceWritingHasBegun)
{
    // 30 MB of frames, copied a megabyte at a time: a cancel as soon as the
    // first bytes are written lands long before the end. Should the machine
    // still let a copy finish first, another is tried.
    fixtures::WriteMp3(dir / "ten.mp3", {44100, 2, 44100 * 10}, fixtures::Mp3Options{320, false, 4, false, false, false});
    const fs::path source = dir / "long.mp3";
    {
        std::ifstream in(dir / "ten.mp3", std::ios::binary);
        const std::string ten{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        std::ofstream out(source, std::ios::binary);
        for (int i = 0; i < 75; ++i)
            out << ten;
    }
    bool cancelledMidway = false;
    for (int attempt = 0; attempt < 5 && !cancelledMidway; ++attempt) {
        fs::remove_all(Out());
        CSplitJob job(Request(source, kWays[2], 700 * kSecond));
        ASSERT_TRUE(Succeeded(job.Build()));
        job.Run();
        while (job.Progress() == 0 && job.WaitStep(0) == JobStatus::Running)
            std::this_thread::yield();
        job.Stop(false);
        const JobStatus status = job.WaitStep(10'000);
        cancelledMidway = status == JobStatus::Stopped;
        EXPECT_TRUE(status == JobStatus::Stopped || status == JobStatus::Completed);
        EXPECT_EQ(bool(job.Finish(status)), !cancelledMidway);
        EXPECT_EQ(FolderNames(Out()).size(), cancelledMidway ? 0u : 1u) << "a temporary is left";
    }
    EXPECT_TRUE(cancelledMidway);
}
