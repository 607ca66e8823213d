// The parsers behind tarnwick-cli's arguments.

#include "CliArgs.h"
#include "media/graph/TimeText.h"

#include <gtest/gtest.h>

using namespace cli;

TEST(CliTimes, ClockTextsBecomeHundredsOfNanoseconds)
{
    EXPECT_EQ(ParseTime("00:00:00"), 0);
    EXPECT_EQ(ParseTime("01:02:03"), 37'230'000'000LL);
    EXPECT_EQ(ParseTime("00:01:30.5"), 905'000'000LL);
    EXPECT_EQ(ParseTime("00:01:30.05"), 900'500'000LL);
    EXPECT_EQ(ParseTime("00:00:00.001"), 10'000LL);
    EXPECT_EQ(ParseTime("100:00:00"), 3'600'000'000'000LL);
    EXPECT_EQ(FormatClockMs(ParseTime("01:02:03.045")), "01:02:03.045");
}

TEST(CliTimes, MalformedTimesAreRefused)
{
    for (const char* bad : {"", "90", "1:30", "00:60:00", "00:00:60", "00:00:01.", "00:00:01.1234", "-1:00:00",
                            "00:00:0x", "00::01", "00:00:01:00", " 00:00:01"})
        EXPECT_THROW(ParseTime(bad), UsageError) << bad;
}

TEST(CliRates, KilohertzTextIsReadAsTheSettingsDialogReadsIt)
{
    EXPECT_EQ(KiloHertzToHz("44.1"), 44100);
    EXPECT_EQ(KiloHertzToHz("22.05"), 22050);
    EXPECT_EQ(KiloHertzToHz("11.025"), 11025);
    EXPECT_EQ(KiloHertzToHz("32"), 32000);
    EXPECT_EQ(KiloHertzToHz("48kHz"), 48000);
    EXPECT_EQ(KiloHertzToHz("fast"), 0);
    EXPECT_EQ(HzToKiloHertzText(22050), "22.05");
    EXPECT_EQ(HzToKiloHertzText(8000), "8");
}

TEST(CliRates, BitRatesTheMpegVersionLacksAreMovedWithANote)
{
    const Mp3Settings plain = ResolveMp3Settings(44100, 192);
    EXPECT_EQ(plain.bitRate, 192);
    EXPECT_EQ(plain.note, "");

    const Mp3Settings mpeg2 = ResolveMp3Settings(22050, 192);
    EXPECT_EQ(mpeg2.bitRate, 160);
    EXPECT_EQ(mpeg2.note, "note: 192 kbps is above the 160 kbps MPEG-2 allows at 22.05 kHz; using 160 kbps");

    const Mp3Settings low = ResolveMp3Settings(48000, 8);
    EXPECT_EQ(low.bitRate, 32);
    EXPECT_NE(low.note.find("below"), std::string::npos);

    const Mp3Settings between = ResolveMp3Settings(44100, 100);
    EXPECT_EQ(between.bitRate, 96);
    EXPECT_NE(between.note.find("using 96 kbps"), std::string::npos);

    EXPECT_THROW(ResolveMp3Settings(44000, 192), UsageError);
    EXPECT_THROW(ResolveMp3Settings(0, 192), UsageError);
}

TEST(CliOptions, ValuesFlagsAndPositionalsAreSeparated)
{
    const ParsedArgs p = ParseArgs({"a", "--bitrate", "128", "b", "--samplerate=22.05", "--overwrite", "--", "--c"},
                                   {"--bitrate", "--samplerate"}, {"--overwrite"});
    EXPECT_EQ(p.positional, (std::vector<std::string>{"a", "b", "--c"}));
    EXPECT_EQ(p.Value("--bitrate"), "128");
    EXPECT_EQ(p.Value("--samplerate"), "22.05");
    EXPECT_TRUE(p.Flag("--overwrite"));
    EXPECT_THROW(ParseArgs({"--bitrate"}, {"--bitrate"}, {}), UsageError);
    EXPECT_THROW(ParseArgs({"--overwrite=yes"}, {}, {"--overwrite"}), UsageError);
}

TEST(CliOptions, EveryTagOptionIsAnEditInTheOrderGiven)
{
    const ParsedArgs p = ParseArgs({"--tag", "title=A=B", "--tag=artist=", "--tag", "title=C"}, {"--tag"}, {"--no-tags"});
    const tags::TagEdits edits = ParseTagOptions(p);
    EXPECT_EQ(edits, (tags::TagEdits{{tags::TagField::Title, "A=B"}, {tags::TagField::Artist, ""},
                                     {tags::TagField::Title, "C"}}));
    for (const char* wrong : {"mood=calm", "title", "=x"})
        EXPECT_THROW(ParseTagOptions(ParseArgs({"--tag", wrong}, {"--tag"}, {})), UsageError) << wrong;
    EXPECT_THROW(ParseTagOptions(ParseArgs({"--tag", "title=x", "--no-tags"}, {"--tag"}, {"--no-tags"})), UsageError);
}
