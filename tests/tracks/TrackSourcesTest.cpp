// Where tracks come from: cue sheets (encodings, several FILEs, faults with
// their line), label files, silences in a file of tones and gaps, equal
// parts snapped to a gap, and the level scan read while it runs.

#include "CueSheet.h"
#include "DecodeScanner.h"
#include "LabelFile.h"
#include "Silences.h"

#include <Fixtures.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <thread>

using namespace fixtures;

namespace {

constexpr REFERENCE_TIME kSecond = 10000000;

REFERENCE_TIME Seconds(double s)
{
    return REFERENCE_TIME(std::llround(s * 1e7));
}

// --- cue sheets -------------------------------------------------------------

const char kThreeTracks[] = "REM GENRE \"Jazz\"\n"
                            "REM DATE 1999\n"
                            "PERFORMER \"The Band\"\n"
                            "TITLE \"Live\"\n"
                            "FILE \"album.mp3\" MP3\n"
                            "  TRACK 01 AUDIO\n"
                            "    TITLE \"One\"\n"
                            "    INDEX 01 00:00:00\n"
                            "  TRACK 02 AUDIO\n"
                            "    TITLE \"Two\"\n"
                            "    PERFORMER \"Guest\"\n"
                            "    INDEX 00 00:01:50\n"
                            "    INDEX 01 00:02:00\n"
                            "  TRACK 03 AUDIO\n"
                            "    TITLE \"Three\"\n"
                            "    INDEX 01 00:04:37\n";

struct GoodSheet {
    const char* name;
    std::string bytes;
    const char* source;
    std::string album, firstTitle;
    std::size_t tracks;
    std::vector<REFERENCE_TIME> starts; // of the first tracks
    const char* note;                   // part of a note, or ""
};

std::string WithTitle(const std::string& title)
{
    std::string text = kThreeTracks;
    const std::string from = "TITLE \"One\"";
    return text.replace(text.find(from), from.size(), "TITLE \"" + title + "\"");
}

std::string WithCrLf(const std::string& text)
{
    std::string out;
    for (const char c : text)
        out += c == '\n' ? std::string("\r\n") : std::string(1, c);
    const std::string from = "INDEX 01 00:02:00";
    return out.replace(out.find(from), from.size(), "index 01 00:02:00");
}

std::string LongSheet()
{
    // 99 tracks 62 s apart: the last starts at 101:16.
    std::string text = "TITLE \"Long\"\nFILE \"long.mp3\" MP3\n";
    for (int k = 0; k < 99; ++k) {
        char line[96];
        std::snprintf(line, sizeof line, "  TRACK %02d AUDIO\n    INDEX 01 %02d:%02d:00\n", k + 1, k * 62 / 60,
                      k * 62 % 60);
        text += line;
    }
    return text;
}

std::string TwoFiles(const char* second)
{
    return std::string("FILE \"side-a.wav\" WAVE\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n"
                       "  TRACK 02 AUDIO\n    INDEX 01 00:03:00\nFILE \"")
           + second + "\" WAVE\n  TRACK 03 AUDIO\n    TITLE \"B1\"\n    INDEX 01 00:00:00\n"
                      "  TRACK 04 AUDIO\n    INDEX 01 00:01:00\n";
}

TEST(CueSheet, ReadsTitlesTimesAndTheLastTrackInEveryEncoding)
{
    const GoodSheet cases[] = {
        {"utf8", kThreeTracks, "album.mp3", "Live", "One", 3, {0, 2 * kSecond, Seconds(4 + 37 / 75.0)}, ""},
        {"utf8 with byte-order mark", "\xEF\xBB\xBF" + WithTitle("\xC3\x9C" "ber \xE2\x80\x9C" "da\xE2\x80\x9D"),
         "album.mp3", "Live", "\xC3\x9C" "ber \xE2\x80\x9C" "da\xE2\x80\x9D", 3, {0, 2 * kSecond}, ""},
        {"windows-1252", WithTitle("Caf\xE9 \x93Live\x94 \x80"), "album.mp3", "Live",
         "Caf\xC3\xA9 \xE2\x80\x9CLive\xE2\x80\x9D \xE2\x82\xAC", 3, {0, 2 * kSecond}, ""},
        {"windows line ends, lower-case commands", WithCrLf(kThreeTracks), "album.mp3", "Live", "One", 3,
         {0, 2 * kSecond}, ""},
        {"FILE names a wav", kThreeTracks, "Album.MP3", "Live", "One", 3, {0}, "the sheet names album.mp3"},
        {"over 100 minutes, 99 tracks", LongSheet(), "long.mp3", "Long", "", 99,
         {0, 62 * kSecond, 124 * kSecond}, ""},
        {"several FILEs, one is the source", TwoFiles("side-b.mp3"), "side-b.mp3", "", "B1", 2,
         {0, kSecond}, "tracks of side-b.mp3"},
    };
    for (const GoodSheet& c : cases) {
        SCOPED_TRACE(c.name);
        const REFERENCE_TIME duration = 102 * 60 * kSecond;
        const CueReadResult read = ParseCueSheet(c.bytes, "x.cue", c.source, duration);
        ASSERT_TRUE(read.ok) << read.error;
        const auto& tracks = read.list.tracks;
        ASSERT_EQ(tracks.size(), c.tracks);
        EXPECT_EQ(read.list.albumTitle, c.album);
        EXPECT_EQ(tracks[0].title, c.firstTitle);
        for (std::size_t k = 0; k < c.starts.size(); ++k)
            EXPECT_EQ(tracks[k].start, c.starts[k]) << "track " << k + 1;
        for (std::size_t k = 1; k < tracks.size(); ++k)
            EXPECT_EQ(tracks[k - 1].end, tracks[k].start) << "tracks share their boundary";
        EXPECT_EQ(tracks.back().end, duration) << "the last track runs to the end";
        const std::string notes = read.list.notes.empty() ? "" : read.list.notes.front();
        EXPECT_NE(notes.find(c.note), std::string::npos) << notes;
        if (*c.note == 0) {
            EXPECT_TRUE(read.list.notes.empty()) << notes;
        }
    }
    const CueReadResult three = ParseCueSheet(kThreeTracks, "x.cue", "album.mp3", 10 * kSecond);
    EXPECT_EQ(three.list.albumPerformer, "The Band");
    EXPECT_EQ(three.list.date, "1999");
    EXPECT_EQ(three.list.genre, "Jazz");
    EXPECT_EQ(three.list.tracks[1].performer, "Guest");
    const CueReadResult late =
        ParseCueSheet(std::string(kThreeTracks).replace(std::string(kThreeTracks).find("INDEX 01 00:00:00"), 17,
                                                        "INDEX 01 00:00:30"),
                      "x.cue", "album.mp3", 10 * kSecond);
    ASSERT_TRUE(late.ok) << late.error;
    ASSERT_EQ(late.list.notes.size(), 1u);
    EXPECT_EQ(late.list.notes[0], "the 00:00:00.400 before the first track's INDEX 01 are in no piece");
    EXPECT_EQ(ParseCueSheet(LongSheet(), "x.cue", "long.mp3", 102 * 60 * kSecond).list.tracks[98].start,
              Seconds(98 * 62)) << "101:16:00 is past 100 minutes";
}

TEST(CueSheet, TellsWhatIsWrongWithTheLineItIsOn)
{
    auto replaced = [](std::string from, std::string to) {
        std::string text = kThreeTracks;
        return text.replace(text.find(from), from.size(), to);
    };
    struct Bad {
        const char* name;
        std::string bytes;
        int line;
        const char* says;
    };
    const Bad cases[] = {
        {"no INDEX 01", replaced("    INDEX 01 00:02:00\n", ""), 9, "no INDEX 01"},
        {"out of order", replaced("INDEX 01 00:04:37", "INDEX 01 00:01:00"), 16, "not after"},
        {"past the end", replaced("INDEX 01 00:04:37", "INDEX 01 00:09:00"), 16, "past the end"},
        {"not a command", replaced("    TITLE \"Two\"\n", "    TITEL \"Two\"\n"), 10, "TITEL"},
        {"a time that is none", replaced("INDEX 01 00:02:00", "INDEX 01 00:2x:00"), 13, "mm:ss:ff"},
        {"seconds past 59", replaced("INDEX 01 00:02:00", "INDEX 01 00:60:00"), 13, "mm:ss:ff"},
        {"a track type that is none", replaced("TRACK 02 AUDIO", "TRACK 02 MUSIC"), 9, "TRACK 01 AUDIO"},
        {"a word too many", replaced("INDEX 01 00:02:00", "INDEX 01 00:02:00 00:03:00"), 13, "mm:ss:ff"},
        {"a title with spaces not quoted", replaced("TITLE \"Two\"", "TITLE Two Words"), 10, "in quotes"},
        {"a quote not closed", replaced("TITLE \"Two\"", "TITLE \"Two"), 10, "not closed"},
        {"not text", replaced("TITLE \"Two\"", std::string("TITLE \"T\0o\"", 11)), 10, "control characters"},
        {"a flag that is none", replaced("    TITLE \"Two\"\n", "    FLAGS XYZ\n"), 10, "FLAGS"},
        {"several FILEs, none the source", TwoFiles("side-b.wav"), 1, "side-a.wav, side-b.wav"},
        {"a hundredth track", LongSheet() + "  TRACK 100 AUDIO\n    INDEX 01 103:00:00\n", 201, "at most 99 tracks"},
    };
    for (const Bad& c : cases) {
        SCOPED_TRACE(c.name);
        const CueReadResult read = ParseCueSheet(c.bytes, "x.cue", "album.mp3", 8 * kSecond);
        EXPECT_FALSE(read.ok);
        EXPECT_EQ(read.errorLine, c.line) << read.error;
        EXPECT_NE(read.error.find("x.cue line " + std::to_string(c.line) + ": "), std::string::npos) << read.error;
        EXPECT_NE(read.error.find(c.says), std::string::npos) << read.error;
    }
}

TEST(CueSheet, AndLabelFilesWrittenReadBackTheSameTracks)
{
    STrackList list;
    list.albumTitle = "Caf\xC3\xA9";
    list.albumPerformer = "Band";
    list.tracks = {{0, Seconds(61.2), "First", "A", {}},
                   {Seconds(61.2), Seconds(6100), "Second: \"quoted\"", "", {}},
                   {Seconds(6100), Seconds(6200), "", "", {}}};
    const TempDir dir;
    std::string reason;
    ASSERT_TRUE(WriteCueSheet((dir / "out.cue").string(), list, "/x/album.mp3", false, &reason)) << reason;
    ASSERT_TRUE(WriteLabelFile((dir / "out.txt").string(), list, false, &reason)) << reason;
    EXPECT_FALSE(WriteLabelFile((dir / "out.txt").string(), list, false, &reason)) << "an existing file stays";
    EXPECT_NE(reason.find("exists"), std::string::npos) << reason;

    const CueReadResult cue = ReadCueSheet((dir / "out.cue").string(), "/y/album.mp3", Seconds(6200));
    ASSERT_TRUE(cue.ok) << cue.error;
    const LabelReadResult labels = ReadLabelFile((dir / "out.txt").string(), Seconds(6200));
    ASSERT_TRUE(labels.ok) << labels.error;
    ASSERT_EQ(cue.list.tracks.size(), 3u);
    ASSERT_EQ(labels.list.tracks.size(), 3u);
    EXPECT_EQ(cue.list.albumTitle, list.albumTitle);
    EXPECT_TRUE(cue.list.notes.empty());
    for (std::size_t k = 0; k < 3; ++k) {
        // A cue sheet keeps times to 1/75 s, a label file to the microsecond.
        EXPECT_LE(std::llabs(cue.list.tracks[k].start - list.tracks[k].start), kSecond / 150);
        EXPECT_EQ(labels.list.tracks[k].start, list.tracks[k].start);
        EXPECT_EQ(labels.list.tracks[k].end, list.tracks[k].end);
        EXPECT_EQ(labels.list.tracks[k].title, list.tracks[k].title);
    }
    EXPECT_EQ(cue.list.tracks[1].title, "Second: 'quoted'");
}

TEST(LabelFile, PointLabelsCutAndBadLinesAreToldWithTheirNumber)
{
    const LabelReadResult points = ParseLabels("1.5\t1.5\tA\n4\t4\tB\n", "l.txt", 10 * kSecond);
    ASSERT_TRUE(points.ok) << points.error;
    ASSERT_EQ(points.list.tracks.size(), 2u);
    EXPECT_EQ(points.list.tracks[0].end, 4 * kSecond);
    EXPECT_EQ(points.list.tracks[1].end, 10 * kSecond);
    struct Bad {
        const char* text;
        int line;
    };
    for (const Bad& c : {Bad{"0\t1\ta\n\nx\t2\tb\n", 3}, Bad{"0\t5\ta\n4\t6\tb\n", 2}, Bad{"0\t1\ta\n11\t12\tb\n", 2},
                         Bad{"3\t2\ta\n", 1}}) {
        const LabelReadResult read = ParseLabels(c.text, "l.txt", 10 * kSecond);
        EXPECT_FALSE(read.ok) << c.text;
        EXPECT_NE(read.error.find("l.txt line " + std::to_string(c.line) + ":"), std::string::npos) << read.error;
    }
}

// --- silences ----------------------------------------------------------------

class Silences : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Gaps of 2.5 s at 5 s and 3 s at 11.5 s; a short one of 1 s at 19.5 s.
        WriteTonesAndGaps(file, {{5, 0.3}, {2.5, 0}, {4, 0.3}, {3, 0}, {5, 0.3}, {1, 0}, {3, 0.3}});
        std::string reason;
        blocks = ScanLevels(file.string(), &reason);
        ASSERT_FALSE(blocks.empty()) << reason;
    }
    TempDir dir;
    fs::path file = dir / "tones.wav";
    std::vector<SLevelBlock> blocks;
    const REFERENCE_TIME duration = Seconds(23.5);
};

TEST_F(Silences, AreFoundInTheGapsAndTheReportSaysWhatWasUsed)
{
    EXPECT_EQ(blocks.size(), 2350u);
    struct Case {
        const char* name;
        SSilenceOptions options;
        std::vector<double> middles; // seconds
    };
    const Case cases[] = {
        {"threshold from the noise floor", {}, {6.25, 13.0}},
        {"a lower minimum finds the short gap", {std::nullopt, 0.8}, {6.25, 13.0, 20.0}},
        {"a threshold given", {-40.0, 2.0}, {6.25, 13.0}},
        {"a threshold below the hiss finds nothing", {-80.0, 2.0}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const SSilenceReport report = FindSilences(blocks, 100000, c.options);
        ASSERT_EQ(report.silences.size(), c.middles.size()) << report.Summary();
        for (std::size_t k = 0; k < c.middles.size(); ++k)
            EXPECT_NEAR(double(report.silences[k].Middle()) / 1e7, c.middles[k], 0.03);
        EXPECT_EQ(report.thresholdFromFloor, !c.options.thresholdDb);
        const std::string summary = report.Summary();
        EXPECT_NE(summary.find("threshold"), std::string::npos) << summary;
        if (c.middles.empty()) {
            // The quietest stretch is the hiss, about -66 dBFS: the report
            // tells the user to move the threshold above it.
            ASSERT_TRUE(report.quietestStretchDb);
            EXPECT_NEAR(*report.quietestStretchDb, -66, 4);
            EXPECT_NE(summary.find("no silence found"), std::string::npos) << summary;
        }
    }
    const SSilenceReport fromFloor = FindSilences(blocks, 100000, {});
    EXPECT_NEAR(fromFloor.noiseFloorDb, -68, 4);
    EXPECT_DOUBLE_EQ(fromFloor.thresholdDb, NoiseFloorThreshold(fromFloor.noiseFloorDb));
    EXPECT_NE(fromFloor.Summary().find("noise floor"), std::string::npos);
}

TEST_F(Silences, CutTracksInTheMiddleOrTrimmedAndEqualPartsMoveIntoTheNearestGap)
{
    const SSilenceReport report = FindSilences(blocks, 100000, {});
    const STrackList middle = TracksAtSilences(report, duration);
    ASSERT_EQ(middle.tracks.size(), 3u);
    EXPECT_EQ(middle.tracks[0].start, 0);
    EXPECT_EQ(middle.tracks[2].end, duration);
    EXPECT_EQ(middle.tracks[0].end, middle.tracks[1].start);

    const STrackList trimmed = TracksBetweenSilences(report, duration);
    ASSERT_EQ(trimmed.tracks.size(), 3u);
    EXPECT_NEAR(double(trimmed.tracks[0].end) / 1e7, 5.0, 0.06);
    EXPECT_NEAR(double(trimmed.tracks[1].start) / 1e7, 7.5, 0.06);
    EXPECT_NEAR(double(trimmed.tracks[1].end) / 1e7, 11.5, 0.06);
    EXPECT_NEAR(double(trimmed.tracks[2].start) / 1e7, 14.5, 0.06);

    struct Case {
        const char* name;
        std::vector<REFERENCE_TIME> cuts;
        double window;
        std::vector<double> expected;
    };
    const Case cases[] = {
        {"three parts, snapped", EqualPartCuts(3, Seconds(18)), 1.0, {6.25, 13.0}},
        {"three parts, gaps out of reach", EqualPartCuts(3, Seconds(18)), 0.1, {6.0, 12.0}},
        {"every 7 s, snapped", EveryCuts(7 * kSecond, duration), 1.0, {6.25, 13.0, 21.0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<REFERENCE_TIME> snapped = SnapCuts(c.cuts, report.silences, Seconds(c.window));
        ASSERT_EQ(snapped.size(), c.expected.size());
        for (std::size_t k = 0; k < snapped.size(); ++k)
            EXPECT_NEAR(double(snapped[k]) / 1e7, c.expected[k], 0.03);
    }
}

// The levels are those of the channels' mean, whether the decoder mixes
// them (MP3) or the scanner does (WAV), block for block from the first sample.
TEST(DecodeScanner, LevelsAreThoseOfTheMeanOfTheChannels)
{
    const TempDir dir;
    const Signal signal{44100, 2, 44100 * 3, true};
    const fs::path mp3 = dir / "stereo.mp3", wav = dir / "stereo.wav";
    WriteMp3(mp3, signal, {.bitrateKbps = 192});
    WriteWav(wav, signal, WavSample::Float32);
    for (const fs::path& source : {mp3, wav}) {
        SCOPED_TRACE(source.filename().string());
        std::string reason;
        const std::vector<SLevelBlock> blocks = ScanLevels(source.string(), &reason);
        ASSERT_FALSE(blocks.empty()) << reason;
        const Decoded decoded = ReadAudio(source);
        ASSERT_EQ(decoded.channels, 2);
        const std::int64_t block = 441;
        ASSERT_EQ(std::int64_t(blocks.size()), (decoded.Frames() + block - 1) / block);
        for (std::size_t b = 0; b < blocks.size(); ++b) {
            float lo = 1, hi = -1;
            double squares = 0;
            const std::int64_t first = std::int64_t(b) * block;
            const std::int64_t end = std::min(first + block, decoded.Frames());
            for (std::int64_t i = first; i < end; ++i) {
                const float mean = (decoded.samples[2 * i] + decoded.samples[2 * i + 1]) / 2;
                lo = std::min(lo, mean);
                hi = std::max(hi, mean);
                squares += double(mean) * mean;
            }
            ASSERT_NEAR(blocks[b].min, lo, 1e-4) << "block " << b;
            ASSERT_NEAR(blocks[b].max, hi, 1e-4) << "block " << b;
            ASSERT_NEAR(blocks[b].rms, std::sqrt(squares / double(end - first)), 1e-4) << "block " << b;
        }
    }
}

TEST(DecodeScanner, CanBeReadWhileItScansAndItsHalvesMeetExactly)
{
    const TempDir dir;
    const fs::path mp3 = dir / "long.mp3";
    // Long enough for three segments of a minute and more.
    WriteMp3(mp3, {16000, 1, 16000LL * 190}, {.bitrateKbps = 32});
    std::string reason;
    const std::vector<SLevelBlock> oneThread = ScanLevels(mp3.string(), &reason, 1);
    ASSERT_FALSE(oneThread.empty()) << reason;

    CDecodeScanner scanner(mp3.string(), 2);
    std::atomic<int> news{0};
    scanner.SetNotify([&] { ++news; });
    ASSERT_TRUE(scanner.Start(&reason)) << reason;
    EXPECT_EQ(scanner.TotalBlocks(), oneThread.size());
    // The page's side: reads what is ready while the scan goes on.
    std::size_t seen = 0;
    while (!scanner.Done()) {
        const std::size_t ready = scanner.BlocksReady();
        EXPECT_GE(ready, seen);
        seen = ready;
        const std::vector<SLevelBlock> part = scanner.CopyBlocks(ready / 2, 50);
        EXPECT_LE(part.size(), 50u);
        std::this_thread::yield();
    }
    EXPECT_TRUE(scanner.Error().empty()) << scanner.Error();
    EXPECT_EQ(scanner.BlocksReady(), oneThread.size());
    EXPECT_GT(news.load(), 0);
    const std::vector<SLevelBlock> twoThreads = scanner.AllBlocks();
    ASSERT_EQ(twoThreads.size(), oneThread.size());
    for (std::size_t k = 0; k < oneThread.size(); ++k) {
        ASSERT_NEAR(twoThreads[k].rms, oneThread[k].rms, 1e-6) << "block " << k;
        ASSERT_NEAR(twoThreads[k].max, oneThread[k].max, 1e-6) << "block " << k;
    }

    // Three minutes decode whole too quickly to be sketched first.
    EXPECT_TRUE(scanner.SketchDone());
    EXPECT_TRUE(scanner.Sketch().empty());

    CDecodeScanner missing((dir / "none.mp3").string());
    EXPECT_FALSE(missing.Start(&reason));
    EXPECT_NE(reason.find("none.mp3"), std::string::npos) << reason;
}

// A long MP3 is sketched from some of its frames, each decoded exactly on
// its own and standing for the frames around it: the sketch covers every
// block, follows the sound, and never shows more than the file holds nearby.
TEST(DecodeScanner, ALongMp3IsSketchedFromSomeOfItsFramesFirst)
{
    const TempDir dir;
    const fs::path mp3 = dir / "long.mp3";
    const Signal signal{16000, 1, 16000LL * 400, true}; // 11,111 frames; bursts of noise every 0.83 s
    WriteMp3(mp3, signal, {.bitrateKbps = 32});
    CDecodeScanner scanner(mp3.string(), 2);
    std::string reason;
    ASSERT_TRUE(scanner.Start(&reason)) << reason;
    ASSERT_TRUE(scanner.Wait(-1));
    ASSERT_TRUE(scanner.Error().empty()) << scanner.Error();
    ASSERT_TRUE(scanner.SketchDone());
    const int stride = scanner.SketchStride();
    EXPECT_EQ(stride, 20);
    const std::vector<SLevelBlock> sketch = scanner.Sketch();
    const std::vector<SLevelBlock> exact = scanner.AllBlocks();
    ASSERT_EQ(sketch.size(), exact.size());
    // A sampled frame stands for `stride` frames of 576 samples around it.
    const std::size_t reach = std::size_t(stride) * 576 / 160 + 2;
    std::size_t followed = 0;
    for (std::size_t b = 0; b < exact.size(); ++b) {
        float top = -1, bottom = 1;
        for (std::size_t n = b > reach ? b - reach : 0; n < std::min(exact.size(), b + reach + 1); ++n) {
            top = std::max(top, exact[n].max);
            bottom = std::min(bottom, exact[n].min);
        }
        ASSERT_LE(sketch[b].max, top + 1e-4f) << "block " << b;
        ASSERT_GE(sketch[b].min, bottom - 1e-4f) << "block " << b;
        followed += sketch[b].max >= 0.5f * exact[b].max;
    }
    EXPECT_GE(followed, exact.size() * 95 / 100);
}

} // namespace
