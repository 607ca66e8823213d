// CMediaGraph::BuildJoinGraph on real files of different rates and channel
// counts: lengths, seams, and the faults a join must refuse.

#include "media/graph/CFilterGraph.h"
#include "HresultAssertions.h"
#include "media/graph/FilterRegistry.h"
#include "media/filters/LameEncoder.h"
#include "media/render/MediaGraph.h"
#include "media/pcm/PcmStages.h"
#include "media/render/RenderEngine.h"
#include "RenderTestSupport.h"

#include <Fixtures.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

class JoinGraph : public ::testing::Test {
protected:

    // The duration the join page measures for a file.
    static REFERENCE_TIME Measure(const fs::path& path)
    {
        CMediaGraph probe;
        EXPECT_SUCCEEDED(probe.BuildDecodeGraph(path));
        return probe.GetDuration();
    }

    long Join(const std::vector<fs::path>& inputs, const fs::path& output, std::shared_ptr<CBaseFilter> encoder)
    {
        std::vector<std::string> files;
        std::vector<REFERENCE_TIME> durations;
        for (const auto& input : inputs) {
            files.push_back(input);
            durations.push_back(Measure(input));
        }
        graph.BuildJoinGraph(files, output, durations, encoder);
        if (!graph.control)
            return 0;
        return RunToEnd(*graph.control, *graph.events, std::chrono::seconds(60));
    }

    static std::shared_ptr<CBaseFilter> Create(const char* clsidText)
    {
        std::shared_ptr<CBaseFilter> filter;
        EXPECT_SUCCEEDED(CreateFilter(clsidText, &filter));
        return filter;
    }

    fixtures::TempDir dir;
    CMediaGraph graph;
};

} // namespace

TEST_F(JoinGraph, ThreeFormatsJoinToTheSumOfTheirLengths)
{
    const auto a = dir / "a.mp3";
    const auto b = dir / "b.wav";
    const auto c = dir / "c.wav";
    fixtures::WriteMp3(a, {44100, 2, 44100 * 3 + 17});
    fixtures::WriteWav(b, {22050, 1, 22050 * 2 + 5});
    fixtures::WriteWav(c, {48000, 2, 48000 * 2 + 1});
    const auto out = dir / "joined.mp3";
    ASSERT_EQ(Join({a, b, c}, out, Create(clsid::LameEncoder)), EC_COMPLETE)
        << graph.LastError() << graph.events->ErrorReason();

    // Each input is converted once, straight to the encoder's 44.1 kHz
    // stereo, and the pieces lie back to back.
    const std::int64_t expected = (44100 * 3 + 17) + ConvertedLength(22050 * 2 + 5, 22050, 44100)
                                  + ConvertedLength(48000 * 2 + 1, 48000, 44100);
    const auto decoded = fixtures::ReadAudio(out);
    EXPECT_EQ(decoded.sampleRate, 44100);
    EXPECT_EQ(decoded.channels, 2);
    EXPECT_EQ(decoded.Frames(), expected);
    // The group itself runs at the highest rate and channel count.
    auto source = graph.graph->FindFilterByName(kTimelineSourceName);
    ASSERT_TRUE(source);
    EXPECT_EQ(source->EnumPins().front()->ConnectionMediaType().audio, (AudioFormat{48000, 2}));
}

TEST_F(JoinGraph, SeamsAreSampleExactWithNothingInserted)
{
    // Joined as WAV (the WAV writer in the encoder's place) so that the
    // pieces that need no conversion can be compared sample for sample.
    const auto a = dir / "a.wav";
    const auto b = dir / "b.wav";
    const auto c = dir / "c.wav";
    fixtures::WriteWav(a, {48000, 2, 48000 + 333});
    fixtures::WriteWav(b, {22050, 1, 22050 + 7});
    fixtures::WriteWav(c, {48000, 2, 24000 + 9});
    const auto out = dir / "joined.wav";
    ASSERT_EQ(Join({a, b, c}, out, Create(clsid::WavWriter)), EC_COMPLETE) << graph.LastError();

    const auto joined = fixtures::ReadAudio(out);
    const auto first = fixtures::ReadAudio(a);
    const auto last = fixtures::ReadAudio(c);
    const std::int64_t middle = ConvertedLength(22050 + 7, 22050, 48000);
    ASSERT_EQ(joined.sampleRate, 48000);
    ASSERT_EQ(joined.Frames(), first.Frames() + middle + last.Frames());
    EXPECT_TRUE(std::equal(first.samples.begin(), first.samples.end(), joined.samples.begin()));
    EXPECT_TRUE(std::equal(last.samples.begin(), last.samples.end(),
                           joined.samples.begin() + (first.Frames() + middle) * 2));
    // The middle piece is the mono file on both channels.
    const std::size_t m = std::size_t(first.Frames() + middle / 2) * 2;
    EXPECT_EQ(joined.samples[m], joined.samples[m + 1]);
    EXPECT_NE(joined.samples[m], 0.0f);
}

TEST_F(JoinGraph, AMissingInputIsNamedAndNothingIsWritten)
{
    const auto a = dir / "a.wav";
    fixtures::WriteWav(a, {8000, 1, 8000});
    const auto gone = dir / "gone.mp3";
    const auto out = dir / "out.mp3";
    graph.BuildJoinGraph({a, gone}, out, {10'000'000, 10'000'000}, Create(clsid::LameEncoder));
    EXPECT_NE(graph.LastError().find(gone.string()), std::string::npos) << graph.LastError();
    // Running what was built ends at once instead of waiting forever.
    ASSERT_TRUE(graph.control);
    EXPECT_EQ(RunToEnd(*graph.control, *graph.events, std::chrono::seconds(5)), EC_ERRORABORT);
    EXPECT_FALSE(fs::exists(out));
}

TEST_F(JoinGraph, ACorruptInputIsNamed)
{
    const auto bad = dir / "bad.wav";
    std::ofstream(bad) << std::string(5000, 'x');
    graph.BuildJoinGraph({bad}, dir / "out.mp3", {10'000'000}, Create(clsid::LameEncoder));
    EXPECT_NE(graph.LastError().find(bad.string()), std::string::npos) << graph.LastError();
}

TEST_F(JoinGraph, AnOutputThatIsOneOfTheInputsIsRefused)
{
    const auto a = dir / "a.mp3";
    fixtures::WriteMp3(a, {44100, 2, 44100});
    const auto size = fs::file_size(a);
    fs::create_directory(dir / "sub");
    const auto sameByAnotherName = dir / "sub" / ".." / "a.mp3";
    EXPECT_NE(Join({a}, sameByAnotherName, Create(clsid::LameEncoder)), EC_COMPLETE);
    EXPECT_NE(graph.LastError().find("one of the files"), std::string::npos) << graph.LastError();
    EXPECT_EQ(fs::file_size(a), size);
    EXPECT_EQ(fixtures::ReadAudio(a).Frames(), 44100);
}

TEST_F(JoinGraph, TheSameEncoderServesAgainAfterAJob)
{
    const auto a = dir / "a.wav";
    fixtures::WriteWav(a, {44100, 2, 4410});
    auto encoder = Create(clsid::LameEncoder);
    EXPECT_SUCCEEDED(GetEncoderProperties(encoder)->set_Bitrate(96));
    ASSERT_EQ(Join({a}, dir / "one.mp3", encoder), EC_COMPLETE) << graph.LastError();
    ASSERT_EQ(Join({a, a}, dir / "two.mp3", encoder), EC_COMPLETE) << graph.LastError();
    EXPECT_EQ(fixtures::ReadAudio(dir / "two.mp3").Frames(), 8820);
    REFERENCE_TIME duration = 0;
    EXPECT_SUCCEEDED(graph.seeking->GetDuration(&duration));
    EXPECT_EQ(duration, 2'000'000);
}

TEST_F(JoinGraph, AFileListedWithNoDurationTakesNoTime)
{
    const auto a = dir / "a.wav";
    const auto b = dir / "b.wav";
    fixtures::WriteWav(a, {44100, 2, 44100});
    fixtures::WriteWav(b, {44100, 2, 22050});
    graph.BuildJoinGraph({a, b}, dir / "out.wav", {0, FrameToTime(22050, 44100)}, Create(clsid::WavWriter));
    ASSERT_EQ(RunToEnd(*graph.control, *graph.events, std::chrono::seconds(30)), EC_COMPLETE) << graph.LastError();
    const auto joined = fixtures::ReadAudio(dir / "out.wav");
    EXPECT_EQ(joined.samples, fixtures::ReadAudio(b).samples);
}
