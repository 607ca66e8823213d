// Single frames decoded out of their stream, against decoding the file
// through: the quick look at a long file must show what the file holds.

#include "Fixtures.h"
#include "media/decode/Mp3FrameSampler.h"
#include "media/decode/OpenReader.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace fixtures;

namespace {

// The whole file decoded, mixed to mono by the same decoder.
std::vector<float> DecodeThrough(const fs::path& path)
{
    std::string reason;
    const auto reader = OpenPcmReaderMixedToMono(path.string(), &reason);
    EXPECT_TRUE(reader) << reason;
    if (!reader)
        return {};
    EXPECT_EQ(reader->Format().channels, 1);
    std::vector<float> all(std::size_t(reader->LengthFrames()));
    EXPECT_EQ(reader->Read(all.data(), reader->LengthFrames()), reader->LengthFrames()) << reader->Error();
    return all;
}

} // namespace

// Low bit rates hold a frame's reservoir in several frames before it; VBR
// frames change size; joint stereo mixes in the decoder's own way.
TEST(Mp3FrameSampler, AFrameDecodedAloneIsWhatDecodingThroughGives)
{
    struct Case {
        const char* name;
        Signal signal;
        Mp3Options options;
    };
    const Case cases[] = {
        {"stereo 192k", {44100, 2, 44100 * 4, true}, {.bitrateKbps = 192}},
        {"stereo 32k, deep reservoir", {44100, 2, 44100 * 4, true}, {.bitrateKbps = 32}},
        {"mono VBR", {22050, 1, 22050 * 4, true}, {.vbr = true, .vbrQuality = 2}},
        {"no Info frame", {48000, 2, 48000 * 3, true}, {.bitrateKbps = 128, .xingHeader = false}},
    };
    const TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path mp3 = dir / "sampled.mp3";
        WriteMp3(mp3, c.signal, c.options);
        const std::vector<float> through = DecodeThrough(mp3);
        std::string reason;
        auto sampler = CMp3FrameSampler::Open(mp3.string(), &reason);
        ASSERT_TRUE(sampler) << reason;
        EXPECT_EQ(sampler->SampleRate(), c.signal.sampleRate);
        const std::int64_t frames = sampler->FrameCount();
        ASSERT_GT(frames, 8);
        std::vector<float> samples;
        int compared = 0;
        // Out of order on purpose: nothing of one frame may leak into the next.
        for (const std::int64_t k : {frames / 2, std::int64_t(0), std::int64_t(1), frames - 1, frames / 3, std::int64_t(5)}) {
            ASSERT_TRUE(sampler->Decode(k, samples)) << sampler->Error();
            ASSERT_EQ(std::int64_t(samples.size()), sampler->SamplesPerFrame()) << "frame " << k;
            for (std::int64_t i = 0; i < std::int64_t(samples.size()); ++i) {
                const std::int64_t at = sampler->FrameStart(k) + i;
                if (at < 0 || at >= std::int64_t(through.size()))
                    continue; // the decoder's delay, the encoder's padding
                ASSERT_NEAR(samples[std::size_t(i)], through[std::size_t(at)], 1e-5) << "frame " << k << " sample " << i;
                ++compared;
            }
        }
        EXPECT_GE(compared, 3 * sampler->SamplesPerFrame()); // the first frames fall in the delay
    }
}

TEST(Mp3FrameSampler, RefusesWhatItCannotReadFrameByFrame)
{
    const TempDir dir;
    WriteWav(dir / "a.wav", {44100, 2, 4410});
    std::string reason;
    EXPECT_FALSE(CMp3FrameSampler::Open((dir / "a.wav").string(), &reason));
    EXPECT_FALSE(reason.empty());
    reason.clear();
    EXPECT_FALSE(CMp3FrameSampler::Open((dir / "missing.mp3").string(), &reason));
    EXPECT_NE(reason.find("missing.mp3"), std::string::npos) << reason;

    WriteMp3(dir / "b.mp3", {44100, 2, 44100});
    auto sampler = CMp3FrameSampler::Open((dir / "b.mp3").string(), &reason);
    ASSERT_TRUE(sampler) << reason;
    std::vector<float> samples;
    EXPECT_FALSE(sampler->Decode(sampler->FrameCount(), samples));
    EXPECT_FALSE(sampler->Error().empty());
}
