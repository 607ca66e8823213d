// The tracks job on files made here: a three-track sheet cut losslessly,
// re-encoded and to WAV, the pieces decoded end to end against the source;
// their names and tags; a run stopped half way.

#include "CueSheet.h"
#include "TracksJob.h"

#include "JobAssertions.h"

#include <Fixtures.h>
#include <TagFixtures.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <fstream>
#include <thread>

using namespace fixtures;

namespace {

JobStatus RunToEnd(CTracksJob& job)
{
    job.Run();
    JobStatus status = JobStatus::Running;
    while (status == JobStatus::Running)
        status = job.WaitStep(100);
    return status;
}

std::vector<std::string> Temporaries(const fs::path& dir)
{
    std::vector<std::string> found;
    for (const std::string& name : FolderNames(dir))
        if (name.rfind(".tarnwick-", 0) == 0)
            found.push_back(name);
    return found;
}

class TracksJob : public ::testing::Test {
protected:
    void SetUp() override { ::setenv("XDG_CACHE_HOME", (dir / "cache").c_str(), 1); }
    TempDir dir;
};

// A sheet of three tracks over a 6 s source; the second starts on a
// sample that is no MP3 frame boundary.
std::string Sheet(const std::string& file, const std::string& title1)
{
    return "PERFORMER \"Band\"\nTITLE \"Sheet Album\"\nREM DATE 1987\nFILE \"" + file
           + "\" WAVE\n  TRACK 01 AUDIO\n    TITLE \"" + title1
           + "\"\n    INDEX 01 00:00:00\n  TRACK 02 AUDIO\n    TITLE \"Two\"\n    PERFORMER \"Guest\"\n"
             "    INDEX 01 00:02:13\n  TRACK 03 AUDIO\n    INDEX 01 00:04:00\n";
}

TEST_F(TracksJob, CutsACueSheetIntoExactTaggedNamedPiecesEveryWay)
{
    const fs::path source = dir / "album.mp3";
    const Signal signal{44100, 2, 44100 * 6};
    WriteMp3(source, signal, {.bitrateKbps = 128});
    TagValues values;
    values.title = "Whole";
    values.artist = "Source Artist";
    values.album = "Source Album";
    values.genre = "Jazz";
    WriteTags(source, TagStyle::Id3v23, values);
    const Decoded whole = ReadAudio(source);

    struct Case {
        const char* name;
        std::string sheet;
        TracksFormat format;
        const char* firstName;
        const char* note;
        float tolerance; // largest sample difference to the source's decode
    };
    const Case cases[] = {
        {"utf-8, copied", "\xEF\xBB\xBF" + Sheet("album.mp3", "Caf\xC3\xA9"), TracksFormat::Copy,
         "1 - Caf\xC3\xA9.mp3", "", 0.0f},
        {"windows-1252 naming a wav, re-encoded", Sheet("album.wav", "Caf\xE9"), TracksFormat::Mp3,
         "1 - Caf\xC3\xA9.mp3", "album.wav", -1.0f},
        {"to wav", Sheet("album.mp3", "AC/DC: Live"), TracksFormat::Wav, "1 - AC_DC_ Live.wav", "", 1.01f / 32768},
    };
    int run = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const CueReadResult cue = ParseCueSheet(c.sheet, "album.cue", source.string(), FrameToTime(whole.Frames(), 44100));
        ASSERT_TRUE(cue.ok) << cue.error;
        EXPECT_EQ(cue.list.notes.empty(), *c.note == 0);
        TracksRequest request;
        request.sourcePath = source.string();
        request.list = cue.list;
        request.outputDir = (dir / ("out" + std::to_string(run++))).string();
        request.format = c.format;
        CTracksJob job(request);
        ASSERT_TRUE(Succeeded(job.Build()));
        std::atomic<int> news{0};
        job.SetNotify([&] { ++news; });
        job.Run();
        // Progress over the whole run only grows, and ends full.
        JobStatus status = JobStatus::Running;
        double share = 0;
        while (status == JobStatus::Running) {
            status = job.WaitStep(2);
            const STracksProgress progress = job.Progress();
            EXPECT_GE(progress.share, share);
            EXPECT_EQ(progress.pieceCount, 3);
            share = progress.share;
        }
        ASSERT_EQ(status, JobStatus::Completed);
        EXPECT_EQ(job.Progress().piecesDone, 3);
        EXPECT_DOUBLE_EQ(job.Progress().share, 1.0);
        EXPECT_GE(news.load(), 3);
        ASSERT_TRUE(Succeeded(job.Finish(JobStatus::Completed)));
        const std::vector<std::string> written = job.Written();
        ASSERT_EQ(written.size(), 3u);
        EXPECT_EQ(fs::path(written[0]).filename().string(), c.firstName);
        EXPECT_EQ(fs::path(written[2]).filename().string(), c.format == TracksFormat::Wav ? "3 - album.wav" : "3 - album.mp3")
            << "a track without a title is named after the source";
        EXPECT_TRUE(Temporaries(request.outputDir).empty());
        for (const STrackPiece& p : job.Pieces())
            EXPECT_EQ(p.copied, c.format == TracksFormat::Copy);

        // End to end, the pieces are the source: same length, each boundary
        // on its sample, and for a copy the same samples.
        std::int64_t at = 0;
        for (std::size_t k = 0; k < written.size(); ++k) {
            const Decoded piece = ReadAudio(written[k]);
            const std::int64_t first = TimeToFrame(cue.list.tracks[k].start, 44100);
            const std::int64_t end = TimeToFrame(cue.list.tracks[k].end, 44100);
            EXPECT_EQ(first, at) << "piece " << k + 1 << " starts where the one before ended";
            ASSERT_EQ(piece.Frames(), end - first) << "piece " << k + 1;
            if (c.tolerance >= 0) {
                float worst = 0;
                for (std::size_t i = 0; i < piece.samples.size(); ++i)
                    worst = std::max(worst, std::fabs(piece.samples[i] - whole.samples[std::size_t(first * 2) + i]));
                EXPECT_LE(worst, c.tolerance) << "piece " << k + 1;
            }
            at = end;
        }
        EXPECT_EQ(at, whole.Frames());

        // The sheet's tags over the source's.
        const TagsRead two = ReadTagsBack(written[1]);
        EXPECT_EQ(two.title, "Two");
        EXPECT_EQ(two.artist, "Guest");
        EXPECT_EQ(two.album, "Sheet Album");
        if (c.format != TracksFormat::Wav) {
            EXPECT_EQ(two.Frame("TRCK"), "2/3");
            EXPECT_EQ(two.Frame("TCON"), "Jazz") << "the source's genre stays";
            EXPECT_EQ(two.Frame("TDRC"), "1987");
            EXPECT_EQ(ReadTagsBack(written[2]).artist, "Band") << "the sheet's performer for a track without one";
        }
    }
}

TEST(TrackFileName, FillsTheTemplateAndKeepsTheNameAFileName)
{
    const STrack titled{0, 1, "AC/DC: Back\\In*Black?", "Per|former", {}};
    const STrack untitled{0, 1, "", "", {}};
    struct Case {
        const char* name;
        const char* pattern;
        const STrack* track;
        int n, count;
        bool mp3;
        std::string expected;
    };
    const Case cases[] = {
        {"default", kDefaultTrackNameTemplate, &titled, 3, 12, true, "03 - AC_DC_ Back_In_Black_.mp3"},
        {"no title: the source", kDefaultTrackNameTemplate, &untitled, 3, 12, true, "03 - My Album.mp3"},
        {"every field", "{performer} - {n} {title} ({source})", &titled, 7, 150, false,
         "Per_former - 007 AC_DC_ Back_In_Black_ (My Album).wav"},
        {"nothing left but dots", "{performer}..", &untitled, 2, 9, true, "2.mp3"},
        {"slashes in the template", "a/b:{n}", &untitled, 1, 1, true, "a_b_1.mp3"},
        {"empty template: the default", "", &untitled, 10, 10, true, "10 - My Album.mp3"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TrackFileName(c.pattern, *c.track, c.n, c.count, "/music/My Album.mp3", c.mp3), c.expected) << c.name;
    // A long title is cut to a name the file system takes, never inside a character.
    std::string accents;
    for (int k = 0; k < 150; ++k)
        accents += "\xC3\xA9";
    const std::string name = TrackFileName("{title}", STrack{0, 1, "x" + accents, "", {}}, 1, 1, "s.mp3", true);
    EXPECT_LE(name.size(), 255u);
    EXPECT_EQ(name.substr(name.size() - 6), "\xC3\xA9.mp3");
}

TEST_F(TracksJob, NeverReplacesAFileAndRefusesABadList)
{
    const fs::path source = dir / "src.wav";
    WriteWav(source, {8000, 1, 8000 * 4});
    const fs::path out = dir / "out";
    fs::create_directories(out);
    std::ofstream(out / "1 - One.wav") << "mine";
    TracksRequest request;
    request.sourcePath = source.string();
    request.outputDir = out.string();
    request.list.tracks = {{0, 20000000, "One", "", {}}, {20000000, 40000000, "Two", "", {}}};
    CTracksJob job(request);
    ASSERT_TRUE(Succeeded(job.Build()));
    ASSERT_EQ(RunToEnd(job), JobStatus::Completed);
    EXPECT_TRUE(Succeeded(job.Finish(JobStatus::Completed)));
    EXPECT_EQ(FolderNames(out), (std::vector<std::string>{"1 - One (2).wav", "1 - One.wav", "2 - Two.wav"}));
    std::ifstream mine(out / "1 - One.wav");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(mine), {}), "mine");

    struct Bad {
        const char* name;
        std::vector<STrack> tracks;
        const char* says;
    };
    const Bad cases[] = {
        {"no tracks", {}, "no tracks"},
        {"overlapping", {{0, 20000000, "", "", {}}, {10000000, 30000000, "", "", {}}}, "starts before track 1 ends"},
        {"empty", {{10000000, 10000000, "", "", {}}}, "holds no audio"},
        {"past the end", {{0, 20000000, "", "", {}}, {50000000, 60000000, "", "", {}}}, "past the end"},
    };
    for (const Bad& c : cases) {
        request.list.tracks = c.tracks;
        CTracksJob bad(request);
        const JobResult built = bad.Build();
        EXPECT_TRUE(FailedWith(built, JobFailure::InvalidRequest)) << c.name;
        bad.Run();
        EXPECT_EQ(bad.WaitStep(0), JobStatus::Failed) << "a job that was not built does not run";
        EXPECT_NE(built.Reason().find(c.says), std::string::npos) << c.name << ": " << built.Reason();
    }
    request.list.tracks = {{0, 20000000, "", "", {}}};
    request.outputDir = (source / "inside a file").string();
    CTracksJob nowhere(request);
    const JobResult built = nowhere.Build();
    EXPECT_TRUE(FailedWith(built, JobFailure::NotFound));
    EXPECT_NE(built.Reason().find("cannot create the folder"), std::string::npos) << built.Reason();
    request.sourcePath = (dir / "missing.wav").string();
    EXPECT_TRUE(FailedWith(CTracksJob(request).Build(), JobFailure::Unreadable));
}

TEST_F(TracksJob, EndedHalfWayKeepsTheFinishedPiecesAndRemovesThePartialOne)
{
    // Once the first piece is written the run is stopped by the user, or
    // fails in a way that is no one piece's own (its source rewritten under
    // it, as a full disk or a lost folder would): either way it ends there.
    struct Case {
        const char* name;
        bool userStop;
        JobStatus status;
        JobFailure failure;
        const char* says;
    };
    const Case cases[] = {
        {"stopped", true, JobStatus::Stopped, JobFailure::Stopped, "stopped"},
        {"source changed", false, JobStatus::Failed, JobFailure::Failed, "changed while it was read"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path source = dir / (std::string(c.name) + ".wav");
        WriteWav(source, {8000, 1, 8000LL * 240});
        TracksRequest request;
        request.sourcePath = source.string();
        request.outputDir = (dir / c.name).string();
        request.format = TracksFormat::Mp3;
        request.sampleRate = 8000;
        request.bitRate = 32;
        for (int k = 0; k < 4; ++k)
            request.list.tracks.push_back(
                {k * 600000000LL, (k + 1) * 600000000LL, "Talk " + std::to_string(k + 1), "", {}});
        CTracksJob job(request);
        ASSERT_TRUE(Succeeded(job.Build()));
        job.Run();
        JobStatus status = JobStatus::Running;
        bool ended = false;
        while (status == JobStatus::Running) {
            status = job.WaitStep(5);
            if (!ended && job.Progress().piecesDone >= 1) {
                if (c.userStop)
                    job.Stop();
                else
                    std::ofstream(source, std::ios::app) << "more";
                ended = true;
            }
        }
        ASSERT_TRUE(ended);
        EXPECT_EQ(status, c.status);
        const JobResult done = job.Finish(status);
        EXPECT_TRUE(FailedWith(done, c.failure));
        EXPECT_NE(done.Reason().find(c.says), std::string::npos) << done.Reason();
        const std::vector<std::string> written = job.Written();
        ASSERT_GE(written.size(), 1u);
        ASSERT_LT(written.size(), 4u) << "the run went on";
        EXPECT_EQ(fs::path(written[0]).filename(), "1 - Talk 1.mp3");
        std::vector<std::string> names;
        for (const std::string& path : written)
            names.push_back(fs::path(path).filename().string());
        EXPECT_EQ(FolderNames(request.outputDir), names) << "the piece being written was removed";
        if (c.userStop) {
            EXPECT_TRUE(job.PieceFailures().empty()) << "a stopped piece is no failure";
        }
    }
}

} // namespace
