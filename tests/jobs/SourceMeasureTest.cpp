// The one measure of a file, as the command line's probe, the join job and
// the join page take it.

#include "SourceMeasure.h"

#include <Fixtures.h>

#include <gtest/gtest.h>

#include <fstream>

#include <sys/stat.h>

using namespace fixtures;

TEST(SourceMeasure, ReadsTheLengthAndFormatOfWhatEachChainDecodes)
{
    TempDir dir;
    WriteMp3(dir / "song.mp3", Signal{44100, 2, 44100 * 3 / 2});
    WriteWav(dir / "voice.wav", Signal{22050, 1, 22050});
    WriteWav(dir / "named.mp3", Signal{8000, 1, 4000}); // its content decides, not its name
    const struct {
        const char* name;
        REFERENCE_TIME duration;
        int sampleRate, channels;
    } cases[] = {
        {"song.mp3", MsToTime(1500), 44100, 2},
        {"voice.wav", SecondsToTime(1), 22050, 1},
        {"named.mp3", MsToTime(500), 8000, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const SourceMeasure m = MeasureSource((dir / c.name).string());
        EXPECT_TRUE(m.Readable()) << m.error;
        EXPECT_EQ(m.duration, c.duration);
        EXPECT_EQ(m.sampleRate, c.sampleRate);
        EXPECT_EQ(m.channels, c.channels);
    }
}

TEST(SourceMeasure, WhatCannotBeDecodedSaysWhyAndNeverBlocks)
{
    TempDir dir;
    std::ofstream(dir / "empty.mp3").flush();
    std::ofstream(dir / "words.wav") << "not a sound file, only words\n";
    std::ofstream(dir / "noise.mp3") << std::string(5000, '\x5a');
    // Opening a FIFO for reading would wait for a writer for ever.
    ASSERT_EQ(::mkfifo((dir / "pipe.mp3").c_str(), 0600), 0);
    for (const char* name : {"empty.mp3", "words.wav", "noise.mp3", "pipe.mp3", "missing.wav"}) {
        SCOPED_TRACE(name);
        const SourceMeasure m = MeasureSource((dir / name).string());
        EXPECT_FALSE(m.Readable());
        EXPECT_FALSE(m.error.empty());
        EXPECT_EQ(m.duration, 0);
    }
    EXPECT_EQ(MeasureSource((dir / "pipe.mp3").string()).error, "not a regular file");
}
