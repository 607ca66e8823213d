// The join job on real files: what it writes, and that a join that does
// not complete leaves nothing under the chosen name.

#include "JoinJob.h"

#include "JobAssertions.h"

#include <Fixtures.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

namespace fs = std::filesystem;
using namespace fixtures;

namespace {

JobStatus RunToEnd(CJoinJob& job)
{
    JobStatus status = JobStatus::Running;
    for (int pass = 0; status == JobStatus::Running && pass < 600; ++pass)
        status = job.WaitStep(100);
    return status;
}

std::string ReadAll(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace

TEST(JoinJob, WritesTheInputsBackToBackAndMeasuresWhatItWasNotGiven)
{
    TempDir dir;
    WriteMp3(dir / "a.mp3", Signal{44100, 2, 44100 + 333});
    WriteWav(dir / "b.wav", Signal{22050, 1, 22050 / 2});
    JoinRequest request;
    request.inputs = {(dir / "a.mp3").string(), (dir / "b.wav").string()};
    request.outputPath = (dir / "joined.mp3").string();
    CJoinJob job(request);
    ASSERT_TRUE(Succeeded(job.Build()));
    ASSERT_EQ(job.Durations().size(), 2u);
    ASSERT_TRUE(Succeeded(job.Start()));
    const JobStatus status = RunToEnd(job);
    ASSERT_EQ(status, JobStatus::Completed);
    ASSERT_TRUE(Succeeded(job.Finish(status)));
    const Decoded joined = ReadAudio(dir / "joined.mp3");
    EXPECT_EQ(joined.Frames(), 44100 + 333 + 44100 / 2);
    EXPECT_EQ(FolderNames(dir.Path()), (std::vector<std::string>{"a.mp3", "b.wav", "joined.mp3"}));
}

TEST(JoinJob, AJoinThatDoesNotCompleteLeavesNothingAndKeepsTheFileItWouldReplace)
{
    TempDir dir;
    WriteMp3(dir / "long.mp3", Signal{44100, 2, 60 * 44100});
    const fs::path out = dir / "out.mp3";
    { std::ofstream(out) << "the user's old file"; }
    JoinRequest request;
    request.inputs = {(dir / "long.mp3").string()};
    request.outputPath = out.string();

    CJoinJob refused(request);
    EXPECT_TRUE(FailedWith(refused.Build(), JobFailure::OutputExists));

    request.overwrite = true;
    {
        // Stopped by the user half way.
        CJoinJob job(request);
        ASSERT_TRUE(Succeeded(job.Build()));
        ASSERT_TRUE(Succeeded(job.Start()));
        job.WaitStep(50);
        job.Stop();
        EXPECT_TRUE(FailedWith(job.Finish(JobStatus::Stopped), JobFailure::Stopped));
    }
    {
        // Going away while running.
        CJoinJob job(request);
        ASSERT_TRUE(Succeeded(job.Build()));
        ASSERT_TRUE(Succeeded(job.Start()));
    }
    EXPECT_EQ(ReadAll(out), "the user's old file");
    EXPECT_EQ(FolderNames(dir.Path()), (std::vector<std::string>{"long.mp3", "out.mp3"}));

    {
        // Stopped by the user, keeping what was joined: the file chosen for
        // replacing still stays as it was.
        CJoinJob job(request);
        ASSERT_TRUE(Succeeded(job.Build()));
        ASSERT_TRUE(Succeeded(job.Start()));
        job.WaitStep(50);
        job.Stop(true);
        EXPECT_FALSE(job.KeptOutput());
    }
    EXPECT_EQ(ReadAll(out), "the user's old file");

    // The output among the inputs, under another name, is refused.
    fs::create_symlink(dir / "long.mp3", dir / "alias.mp3");
    request.outputPath = (dir / "alias.mp3").string();
    CJoinJob same(request);
    const JobResult refusedSame = same.Build();
    EXPECT_TRUE(FailedWith(refusedSame, JobFailure::InvalidRequest));
    EXPECT_NE(refusedSame.Reason().find("is also an input"), std::string::npos) << refusedSame.Reason();
}

TEST(JoinJob, AUserStopKeepingTheOutputLeavesAPlayableShorterMp3)
{
    TempDir dir;
    const std::int64_t frames = 60 * 44100;
    WriteMp3(dir / "long.mp3", Signal{44100, 2, frames});
    JoinRequest request;
    request.inputs = {(dir / "long.mp3").string()};
    request.outputPath = (dir / "part.mp3").string();
    request.overwrite = true; // asked, but there is nothing to replace
    CJoinJob job(request);
    ASSERT_TRUE(Succeeded(job.Build()));
    ASSERT_TRUE(Succeeded(job.Start()));
    while (job.Position() < SecondsToTime(5) && job.WaitStep(20) == JobStatus::Running) {
    }
    job.Stop(true);
    EXPECT_TRUE(job.KeptOutput()) << job.KeepFailure();
    EXPECT_TRUE(FailedWith(job.Finish(JobStatus::Stopped), JobFailure::Stopped));

    const Decoded part = ReadAudio(dir / "part.mp3");
    EXPECT_GT(part.Frames(), 44100);
    EXPECT_LT(part.Frames(), frames);
    EXPECT_EQ(FolderNames(dir.Path()), (std::vector<std::string>{"long.mp3", "part.mp3"}));
}

TEST(JoinJob, WhatIsLeftOnDiskIsTheWholeJoinOrNothing)
{
    // The output's name the longest a folder allows; an input rewritten in
    // place after the join was built; the output's name taken by a folder
    // with files while the join runs.
    enum class Case { LongestName, InputRewritten, NameTakenByAFolder };
    for (const Case c : {Case::LongestName, Case::InputRewritten, Case::NameTakenByAFolder}) {
        SCOPED_TRACE(static_cast<int>(c));
        TempDir dir;
        WriteWav(dir / "a.wav", Signal{44100, 2, 44100 * 120}); // long enough to be running when looked at
        const fs::path out = dir / (c == Case::LongestName ? std::string(251, 'j') + ".mp3" : "out.mp3");
        JoinRequest request;
        request.inputs = {(dir / "a.wav").string()};
        request.outputPath = out.string();
        request.overwrite = true; // as the join page asks it
        CJoinJob job(request);
        ASSERT_TRUE(Succeeded(job.Build()));
        if (c == Case::InputRewritten) {
            // Same size, a later time: other contents as far as anyone can tell.
            const std::string bytes = ReadAll(dir / "a.wav");
            const auto before = fs::last_write_time(dir / "a.wav");
            while (fs::last_write_time(dir / "a.wav") == before)
                std::fstream(dir / "a.wav", std::ios::binary | std::ios::in | std::ios::out) << bytes;
        }
        ASSERT_TRUE(Succeeded(job.Start()));
        if (c == Case::NameTakenByAFolder) {
            while (job.Position() == 0 && job.WaitStep(10) == JobStatus::Running) {
            }
            fs::create_directory(out);
            std::ofstream(out / "inside.txt") << "someone's";
        }
        const JobStatus status = RunToEnd(job);
        const JobResult finished = job.Finish(status);
        if (c == Case::LongestName) {
            ASSERT_TRUE(Succeeded(finished));
            EXPECT_EQ(ReadAudio(out).Frames(), 44100 * 120);
            EXPECT_EQ(FolderNames(dir.Path()).size(), 2u);
            continue;
        }
        EXPECT_EQ(status, JobStatus::Failed);
        EXPECT_TRUE(FailedWith(finished, JobFailure::Failed));
        const std::string named = c == Case::InputRewritten ? (dir / "a.wav").string() : out.string();
        EXPECT_NE(finished.Reason().find(named), std::string::npos) << finished.Reason();
        if (c == Case::InputRewritten) {
            EXPECT_NE(finished.Reason().find("changed while it was read"), std::string::npos) << finished.Reason();
        }
        EXPECT_EQ(FolderNames(dir.Path()).size(), c == Case::InputRewritten ? 1u : 2u) << "a temporary is left";
        if (c == Case::NameTakenByAFolder) {
            EXPECT_EQ(ReadAll(out / "inside.txt"), "someone's");
        }
    }
}
