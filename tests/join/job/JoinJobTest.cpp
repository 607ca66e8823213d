// The join engine on real files: what it writes, and that a join that does
// not complete leaves nothing under the chosen name.

#include "JoinEngine.h"

#include <Fixtures.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

namespace fs = std::filesystem;
using namespace fixtures;

namespace {

long RunToEnd(CJoinJob& job)
{
    long code = 0;
    for (int pass = 0; code == 0 && pass < 600; ++pass)
        code = job.WaitStep(100);
    return code;
}

std::string ReadAll(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace

TEST(JoinEngine, WritesTheInputsBackToBackAndMeasuresWhatItWasNotGiven)
{
    TempDir dir;
    WriteMp3(dir / "a.mp3", Signal{44100, 2, 44100 + 333});
    WriteWav(dir / "b.wav", Signal{22050, 1, 22050 / 2});
    JoinRequest request;
    request.inputs = {(dir / "a.mp3").string(), (dir / "b.wav").string()};
    request.outputPath = (dir / "joined.mp3").string();
    CJoinJob job(request);
    ASSERT_EQ(job.Build(), S_OK) << job.LastError();
    ASSERT_EQ(job.Durations().size(), 2u);
    ASSERT_EQ(job.Start(), S_OK);
    const long code = RunToEnd(job);
    ASSERT_EQ(code, EC_COMPLETE);
    ASSERT_EQ(job.Finish(code), S_OK) << job.LastError();
    const Decoded joined = ReadAudio(dir / "joined.mp3");
    EXPECT_EQ(joined.Frames(), 44100 + 333 + 44100 / 2);
    EXPECT_EQ(FolderNames(dir.Path()), (std::vector<std::string>{"a.mp3", "b.wav", "joined.mp3"}));
}

TEST(JoinEngine, AJoinThatDoesNotCompleteLeavesNothingAndKeepsTheFileItWouldReplace)
{
    TempDir dir;
    WriteMp3(dir / "long.mp3", Signal{44100, 2, 60 * 44100});
    const fs::path out = dir / "out.mp3";
    { std::ofstream(out) << "the user's old file"; }
    JoinRequest request;
    request.inputs = {(dir / "long.mp3").string()};
    request.outputPath = out.string();

    CJoinJob refused(request);
    EXPECT_EQ(refused.Build(), kJoinOutputExists);

    request.overwrite = true;
    {
        // Stopped by the user half way.
        CJoinJob job(request);
        ASSERT_EQ(job.Build(), S_OK) << job.LastError();
        job.Start();
        job.WaitStep(50);
        job.Stop();
        EXPECT_EQ(job.Finish(EC_USERABORT), E_ABORT);
    }
    {
        // Going away while running.
        CJoinJob job(request);
        ASSERT_EQ(job.Build(), S_OK) << job.LastError();
        job.Start();
    }
    EXPECT_EQ(ReadAll(out), "the user's old file");
    EXPECT_EQ(FolderNames(dir.Path()), (std::vector<std::string>{"long.mp3", "out.mp3"}));

    {
        // Stopped by the user, keeping what was joined: the file chosen for
        // replacing still stays as it was.
        CJoinJob job(request);
        ASSERT_EQ(job.Build(), S_OK) << job.LastError();
        job.Start();
        job.WaitStep(50);
        job.Stop(true);
        EXPECT_FALSE(job.KeptOutput());
    }
    EXPECT_EQ(ReadAll(out), "the user's old file");

    // The output among the inputs, under another name, is refused.
    fs::create_symlink(dir / "long.mp3", dir / "alias.mp3");
    request.outputPath = (dir / "alias.mp3").string();
    CJoinJob same(request);
    EXPECT_EQ(same.Build(), E_INVALIDARG);
    EXPECT_NE(same.LastError().find("is also an input"), std::string::npos) << same.LastError();
}

TEST(JoinEngine, AUserStopKeepingTheOutputLeavesAPlayableShorterMp3)
{
    TempDir dir;
    const std::int64_t frames = 60 * 44100;
    WriteMp3(dir / "long.mp3", Signal{44100, 2, frames});
    JoinRequest request;
    request.inputs = {(dir / "long.mp3").string()};
    request.outputPath = (dir / "part.mp3").string();
    request.overwrite = true; // asked, but there is nothing to replace
    CJoinJob job(request);
    ASSERT_EQ(job.Build(), S_OK) << job.LastError();
    job.Start();
    while (job.Position() < 5 * 10'000'000LL && job.WaitStep(20) == 0) {
    }
    job.Stop(true);
    EXPECT_TRUE(job.KeptOutput()) << job.LastError();
    EXPECT_EQ(job.Finish(EC_USERABORT), E_ABORT);

    const Decoded part = ReadAudio(dir / "part.mp3");
    EXPECT_GT(part.Frames(), 44100);
    EXPECT_LT(part.Frames(), frames);
    EXPECT_EQ(FolderNames(dir.Path()), (std::vector<std::string>{"long.mp3", "part.mp3"}));
}
