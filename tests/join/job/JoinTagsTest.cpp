// The tags of a merged file, read back by TagLib: the first input's album
// fields, and a chapter for each input at the exact time it starts, for
// inputs of different sample rates.

#include "JoinJob.h"

#include "JobAssertions.h"

#include <Fixtures.h>
#include <TagFixtures.h>

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>

namespace fs = std::filesystem;
using namespace fixtures;

namespace {

JobResult RunJoin(CJoinJob& job)
{
    if (JobResult built = job.Build(); !built)
        return built;
    if (JobResult started = job.Start(); !started)
        return started;
    JobStatus status = JobStatus::Running;
    for (int pass = 0; status == JobStatus::Running && pass < 600; ++pass)
        status = job.WaitStep(100);
    return job.Finish(status);
}

struct Input {
    const char* name;
    int rate, channels;
    std::int64_t frames;
};

// The merged file's inputs: MP3 at 44.1 kHz, WAV at 22.05 kHz, mono WAV at
// 48 kHz, none a whole number of milliseconds long.
constexpr Input kInputs[] = {{"one.mp3", 44100, 2, 45334}, {"two.wav", 22050, 2, 33333}, {"three.wav", 48000, 1, 70443}};

class JoinTags : public ::testing::Test {
protected:
    std::vector<std::string> MakeInputs()
    {
        std::vector<std::string> paths;
        for (const Input& in : kInputs) {
            const fs::path path = dir / in.name;
            if (path.extension() == ".mp3")
                WriteMp3(path, {in.rate, in.channels, in.frames});
            else
                WriteWav(path, {in.rate, in.channels, in.frames});
            paths.push_back(path.string());
        }
        WriteTags(paths[0], TagStyle::Id3v23, {.cover = true});
        WriteTags(paths[1], TagStyle::WavId3AndInfo, {.title = "Second", .album = "Other"});
        return paths; // the third has no tags
    }

    TempDir dir;
};

} // namespace

TEST_F(JoinTags, ChaptersLieWhereEachInputStartsToTheMillisecond)
{
    JoinRequest request;
    request.inputs = MakeInputs();
    request.outputPath = (dir / "book.mp3").string();
    CJoinJob job(request);
    ASSERT_TRUE(Succeeded(RunJoin(job)));
    EXPECT_TRUE(job.TagWarnings().empty());

    // Each input's exact length at the merged file's 44.1 kHz, summed, in ms.
    std::vector<Chapter> expected;
    std::int64_t start = 0;
    const char* titles[] = {"Song Title", "Second", "three"};
    for (std::size_t i = 0; i < std::size(kInputs); ++i) {
        const std::int64_t frames = std::llround(double(kInputs[i].frames) * 44100 / kInputs[i].rate);
        expected.push_back({unsigned(std::llround(start * 1000.0 / 44100)),
                            unsigned(std::llround((start + frames) * 1000.0 / 44100)), titles[i]});
        start += frames;
    }
    const TagsRead read = ReadTagsBack(request.outputPath);
    EXPECT_EQ(read.chapters, expected);
    EXPECT_EQ(ReadAudio(request.outputPath).Frames(), start) << "the chapters end where the audio does";
    EXPECT_EQ(read.id3v2Version, 3);
    EXPECT_FALSE(read.id3v1);
    EXPECT_EQ(read.title, "The Album");
    EXPECT_EQ(read.album, "The Album");
    EXPECT_EQ(read.artist, "The Artist");
    EXPECT_EQ(read.coverBytes, PngPicture().size());
}

TEST_F(JoinTags, ThePersonsChoicesHoldAndABadCoverWritesNothing)
{
    using From = tags::CoverChoice::From;
    const std::vector<std::string> inputs = MakeInputs();
    std::ofstream(dir / "notes.txt") << "not a picture";
    struct Case {
        const char* name;
        tags::MergeTagChoices choices;
        int version;
        std::size_t chapters, coverBytes;
        std::string title;
    };
    const Case cases[] = {
        {"no chapters, edited", {.chapters = false, .edits = {{tags::TagField::Title, "Book"}}}, 3, 0,
         PngPicture().size(), "Book"},
        {"no cover", {.cover = {From::None, {}}}, 3, 3, 0, "The Album"},
        {"no tags", {.write = false}, 0, 0, 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        JoinRequest request;
        request.inputs = inputs;
        request.outputPath = (dir / "book.mp3").string();
        request.overwrite = true;
        request.tags = c.choices;
        CJoinJob job(request);
        ASSERT_TRUE(Succeeded(RunJoin(job)));
        const TagsRead read = ReadTagsBack(request.outputPath);
        EXPECT_EQ(read.id3v2Version, c.version);
        EXPECT_EQ(read.chapters.size(), c.chapters);
        EXPECT_EQ(read.coverBytes, c.coverBytes);
        EXPECT_EQ(read.title, c.title);
    }

    fs::remove(dir / "book.mp3");
    JoinRequest request;
    request.inputs = inputs;
    request.outputPath = (dir / "book.mp3").string();
    request.tags.cover = {From::PictureFile, (dir / "notes.txt").string()};
    CJoinJob job(request);
    const JobResult refused = job.Build();
    EXPECT_TRUE(FailedWith(refused, JobFailure::InvalidRequest));
    EXPECT_NE(refused.Reason().find("notes.txt"), std::string::npos) << refused.Reason();
    EXPECT_FALSE(fs::exists(dir / "book.mp3"));
}

TEST_F(JoinTags, AnInputWhoseTagsCannotBeReadIsJoinedAndTold)
{
    std::vector<std::string> inputs = MakeInputs();
    DamageId3v2(inputs[0], TagDamage::GarbageFrames);
    JoinRequest request;
    request.inputs = inputs;
    request.outputPath = (dir / "book.mp3").string();
    CJoinJob job(request);
    ASSERT_TRUE(Succeeded(RunJoin(job)));
    ASSERT_EQ(job.TagWarnings().size(), 1u);
    EXPECT_NE(job.TagWarnings().front().find("one.mp3"), std::string::npos) << job.TagWarnings().front();
    const TagsRead read = ReadTagsBack(request.outputPath);
    ASSERT_EQ(read.chapters.size(), 3u);
    EXPECT_EQ(read.chapters[0].title, "one");
    EXPECT_EQ(read.title, "book") << "no album to take: the output's name";
}

TEST_F(JoinTags, AJoinStoppedAndKeptHasItsChaptersCutToWhatWasJoined)
{
    WriteMp3(dir / "long.mp3", Signal{44100, 2, 44100 * 40});
    WriteMp3(dir / "after.mp3", Signal{44100, 2, 44100 * 5});
    JoinRequest request;
    request.inputs = {(dir / "long.mp3").string(), (dir / "after.mp3").string()};
    request.outputPath = (dir / "part.mp3").string();
    CJoinJob job(request);
    ASSERT_TRUE(Succeeded(job.Build()));
    ASSERT_TRUE(Succeeded(job.Start()));
    while (job.Position() < SecondsToTime(3) && job.WaitStep(20) == JobStatus::Running) {
    }
    job.Stop(true);
    ASSERT_TRUE(job.KeptOutput()) << job.KeepFailure();
    const std::int64_t keptMs = ReadAudio(request.outputPath).Frames() * 1000 / 44100;
    ASSERT_LT(keptMs, 40000);
    const TagsRead read = ReadTagsBack(request.outputPath);
    ASSERT_EQ(read.chapters.size(), 1u) << "the second input was never reached";
    EXPECT_EQ(read.chapters[0].startMs, 0u);
    EXPECT_NEAR(double(read.chapters[0].endMs), double(keptMs), 1.0);
}
