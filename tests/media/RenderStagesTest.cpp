// The PCM stages behind a timeline group: cut, conversion, concatenation.

#include "media/pcm/PcmStages.h"
#include "media/decode/OpenReader.h"
#include "RenderTestSupport.h"

#include <Fixtures.h>

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

std::shared_ptr<MemoryReader> Signal(int rate, int channels, std::int64_t frames)
{
    return std::make_shared<MemoryReader>(AudioFormat{rate, channels},
                                          fixtures::MakeSamples({rate, channels, frames}));
}

std::shared_ptr<MemoryReader> Sine(int rate, double hz, std::int64_t frames)
{
    std::vector<float> samples(static_cast<std::size_t>(frames));
    for (std::int64_t i = 0; i < frames; ++i)
        samples[std::size_t(i)] = float(0.5 * std::sin(2 * std::numbers::pi * hz * double(i) / rate));
    return std::make_shared<MemoryReader>(AudioFormat{rate, 1}, std::move(samples));
}

} // namespace

// --- cut -------------------------------------------------------------------

TEST(CutReader, DeliversExactlyTheSourceFramesOfTheStretch)
{
    auto source = Signal(44100, 2, 10000);
    auto cut = MakeCutReader(source, 1234, 5678);
    EXPECT_EQ(cut->LengthFrames(), 5678 - 1234);
    const auto samples = ReadAll(*cut, 1000);
    ASSERT_EQ(samples.size(), std::size_t((5678 - 1234) * 2));
    EXPECT_EQ(samples.front(), fixtures::SampleValue(1234, 0));
    EXPECT_EQ(samples[1], fixtures::SampleValue(1234, 1));
    EXPECT_EQ(samples[samples.size() - 2], fixtures::SampleValue(5677, 0));
}

TEST(CutReader, SeekIsRelativeToTheStartOfTheCut)
{
    auto cut = MakeCutReader(Signal(8000, 1, 1000), 100, 600);
    ASSERT_TRUE(cut->Seek(250));
    float value = 0;
    ASSERT_EQ(cut->Read(&value, 1), 1);
    EXPECT_EQ(value, fixtures::SampleValue(350, 0));
    EXPECT_FALSE(cut->Seek(501));
}

TEST(CutReader, AStretchPastTheEndIsClampedToTheSource)
{
    auto cut = MakeCutReader(Signal(8000, 1, 1000), 900, 5000);
    EXPECT_EQ(cut->LengthFrames(), 100);
    EXPECT_EQ(ReadAll(*cut).size(), 100u);
}

TEST(CutReader, ASourceEndingEarlyIsAnErrorNamingIt)
{
    auto source = Signal(8000, 1, 1000);
    auto cut = MakeCutReader(source, 0, 1000, "/music/a.wav");
    source->Truncate(400); // the file was cut short after the job was built
    std::vector<float> buffer(1000);
    EXPECT_EQ(cut->Read(buffer.data(), 1000), 400);
    EXPECT_EQ(cut->Read(buffer.data(), 1000), -1);
    EXPECT_NE(cut->Error().find("/music/a.wav"), std::string::npos) << cut->Error();
}

// --- conversion ------------------------------------------------------------

TEST(ConvertReader, LengthIsTheRoundedRateRatioForEveryPair)
{
    const int pairs[][2] = {{44100, 48000}, {48000, 44100}, {22050, 44100}, {44100, 22050},
                            {8000, 48000},  {11025, 44100}, {48000, 8000},  {32000, 44100}};
    for (const auto& pair : pairs) {
        for (std::int64_t frames : {0LL, 1LL, 999LL, 44101LL, 123457LL}) {
            auto converted = MakeConvertReader(Signal(pair[0], 1, frames), {pair[1], 1});
            const std::int64_t expected = std::llround(double(frames) * pair[1] / pair[0]);
            EXPECT_EQ(converted->LengthFrames(), expected) << pair[0] << "->" << pair[1] << " n=" << frames;
            EXPECT_EQ(std::int64_t(ReadAll(*converted, 1500).size()), expected)
                << pair[0] << "->" << pair[1] << " n=" << frames;
        }
    }
}

TEST(ConvertedLength, RoundsHalvesAwayFromZeroWithoutOverflow)
{
    EXPECT_EQ(ConvertedLength(3969000, 44100, 22050), 1984500);
    EXPECT_EQ(ConvertedLength(1, 44100, 22050), 1); // 0.5 rounds up
    EXPECT_EQ(ConvertedLength(3, 48000, 32000), 2);
    EXPECT_EQ(ConvertedLength(4'000'000'000'000LL, 8000, 48000), 24'000'000'000'000LL);
    EXPECT_EQ(ConvertedLength(-1, 8000, 48000), -1);
}

TEST(ConvertReader, ResampledToneStaysInPhaseWithNoDelay)
{
    // A 1 kHz tone resampled 44.1 -> 48 kHz must match the same tone made at
    // 48 kHz: any delay of the resampler would show as a phase error.
    const std::int64_t frames = 44100;
    auto converted = MakeConvertReader(Sine(44100, 1000.0, frames), {48000, 1});
    const auto out = ReadAll(*converted);
    ASSERT_EQ(out.size(), 48000u);
    double worst = 0;
    for (std::size_t i = 2000; i < 46000; ++i) {
        const double ideal = 0.5 * std::sin(2 * std::numbers::pi * 1000.0 * double(i) / 48000);
        worst = std::max(worst, std::abs(out[i] - ideal));
    }
    EXPECT_LT(worst, 1e-3);
}

TEST(ConvertReader, StereoToMonoAveragesAndMonoToStereoDuplicates)
{
    auto mono = MakeConvertReader(Signal(22050, 2, 500), {22050, 1});
    const auto m = ReadAll(*mono);
    ASSERT_EQ(m.size(), 500u);
    EXPECT_FLOAT_EQ(m[7], (fixtures::SampleValue(7, 0) + fixtures::SampleValue(7, 1)) / 2);

    auto stereo = MakeConvertReader(Signal(22050, 1, 500), {22050, 2});
    const auto s = ReadAll(*stereo);
    ASSERT_EQ(s.size(), 1000u);
    EXPECT_EQ(s[14], fixtures::SampleValue(7, 0));
    EXPECT_EQ(s[15], fixtures::SampleValue(7, 0));
}

TEST(ConvertReader, MonoToStereoWithARateChangeGivesEqualChannels)
{
    auto converted = MakeConvertReader(Signal(22050, 1, 22050), {48000, 2});
    const auto out = ReadAll(*converted);
    ASSERT_EQ(out.size(), 2u * 48000u);
    for (std::size_t i = 0; i < out.size(); i += 2)
        ASSERT_EQ(out[i], out[i + 1]) << i;
}

TEST(ConvertReader, SeekGoesOnFromTheMatchingSourceFrameUpToTheSameEnd)
{
    auto converted = MakeConvertReader(Sine(44100, 440.0, 44100), {48000, 1});
    ASSERT_TRUE(converted->Seek(24000));
    const auto rest = ReadAll(*converted);
    ASSERT_EQ(rest.size(), 24000u);
    // Away from the restart the resampler is settled and in phase again.
    for (std::size_t i = 1000; i < 20000; i += 97) {
        const double ideal = 0.5 * std::sin(2 * std::numbers::pi * 440.0 * double(24000 + i) / 48000);
        ASSERT_NEAR(rest[i], ideal, 2e-3) << i;
    }
}

TEST(ConvertReader, SameFormatIsPassedThroughUntouched)
{
    auto source = Signal(44100, 2, 100);
    EXPECT_EQ(MakeConvertReader(source, {44100, 2}).get(), source.get());
}

// --- concatenation ---------------------------------------------------------

namespace {
ConcatPiece Piece(std::shared_ptr<IPcmReader> reader)
{
    ConcatPiece piece;
    piece.frames = reader->LengthFrames();
    piece.open = [reader](std::string*) {
        reader->Seek(0);
        return reader;
    };
    return piece;
}
} // namespace

TEST(ConcatReader, PiecesFollowEachOtherWithNoGapOrOverlap)
{
    auto a = MakeCutReader(Signal(8000, 1, 1000), 0, 300);
    auto b = MakeCutReader(Signal(8000, 1, 1000), 500, 700);
    std::vector<ConcatPiece> pieces;
    pieces.push_back(Piece(std::shared_ptr<IPcmReader>(std::move(a))));
    pieces.push_back(Piece(std::make_shared<MemoryReader>(AudioFormat{8000, 1}, std::vector<float>{})));
    pieces.push_back(Piece(std::shared_ptr<IPcmReader>(std::move(b))));
    auto concat = MakeConcatReader({8000, 1}, std::move(pieces));
    EXPECT_EQ(concat->LengthFrames(), 500);
    const auto out = ReadAll(*concat, 128); // blocks straddle the seams
    ASSERT_EQ(out.size(), 500u);
    EXPECT_EQ(out[299], fixtures::SampleValue(299, 0));
    EXPECT_EQ(out[300], fixtures::SampleValue(500, 0));
    EXPECT_EQ(out[499], fixtures::SampleValue(699, 0));
}

TEST(ConcatReader, SeekCrossesPiecesBothWays)
{
    std::vector<ConcatPiece> pieces;
    pieces.push_back(Piece(MakeCutReader(Signal(8000, 1, 1000), 0, 300)));
    pieces.push_back(Piece(MakeCutReader(Signal(8000, 1, 1000), 500, 700)));
    auto concat = MakeConcatReader({8000, 1}, std::move(pieces));
    float value = 0;
    ASSERT_TRUE(concat->Seek(350));
    ASSERT_EQ(concat->Read(&value, 1), 1);
    EXPECT_EQ(value, fixtures::SampleValue(550, 0));
    ASSERT_TRUE(concat->Seek(10));
    ASSERT_EQ(concat->Read(&value, 1), 1);
    EXPECT_EQ(value, fixtures::SampleValue(10, 0));
    EXPECT_EQ(concat->Tell(), 11);
}

TEST(ConcatReader, APieceThatCannotBeOpenedFailsWithItsReason)
{
    std::vector<ConcatPiece> pieces;
    pieces.push_back(Piece(MakeCutReader(Signal(8000, 1, 100), 0, 100)));
    ConcatPiece missing;
    missing.frames = 100;
    missing.open = [](std::string* reason) -> std::shared_ptr<IPcmReader> {
        *reason = "cannot open /music/gone.wav: No such file or directory";
        return nullptr;
    };
    pieces.push_back(std::move(missing));
    auto concat = MakeConcatReader({8000, 1}, std::move(pieces));
    std::vector<float> buffer(200);
    EXPECT_EQ(concat->Read(buffer.data(), 100), 100);
    EXPECT_EQ(concat->Read(buffer.data(), 100), -1);
    EXPECT_NE(concat->Error().find("/music/gone.wav"), std::string::npos);
}

// --- decoding on two threads ---------------------------------------------------

TEST(ParallelDecodeReader, GivesTheSameFramesAsTheCutInOrder)
{
    auto data = fixtures::MakeSamples({8000, 2, 300000});
    auto open = [&](std::string*) -> std::shared_ptr<IPcmReader> {
        return std::make_shared<MemoryReader>(AudioFormat{8000, 2}, data);
    };
    auto reader = MakeParallelDecodeReader(open, open(nullptr), 1001, 290001);
    EXPECT_EQ(reader->LengthFrames(), 289000);
    const auto out = ReadAll(*reader, 3000);
    ASSERT_EQ(out.size(), 289000u * 2);
    EXPECT_TRUE(std::equal(out.begin(), out.end(), data.begin() + 1001 * 2));
}

TEST(ParallelDecodeReader, SeeksAnywhereAndGoesOnFromThere)
{
    auto data = fixtures::MakeSamples({8000, 1, 400000});
    auto open = [&](std::string*) -> std::shared_ptr<IPcmReader> {
        return std::make_shared<MemoryReader>(AudioFormat{8000, 1}, data);
    };
    auto reader = MakeParallelDecodeReader(open, open(nullptr), 0, 400000);
    std::vector<float> block(5000);
    ASSERT_EQ(reader->Read(block.data(), 5000), 5000);
    for (std::int64_t to : {300000LL, 70000LL, 131072LL, 399999LL}) {
        ASSERT_TRUE(reader->Seek(to));
        const std::int64_t got = reader->Read(block.data(), 5000);
        ASSERT_EQ(got, std::min<std::int64_t>(5000, 400000 - to));
        EXPECT_EQ(block[0], data[std::size_t(to)]) << to;
        EXPECT_EQ(block[std::size_t(got - 1)], data[std::size_t(to + got - 1)]) << to;
    }
}

TEST(ParallelDecodeReader, ASecondDecoderThatCannotOpenFailsWithTheReason)
{
    auto data = fixtures::MakeSamples({8000, 1, 200000});
    auto first = std::make_shared<MemoryReader>(AudioFormat{8000, 1}, data);
    auto reader = MakeParallelDecodeReader(
        [](std::string* reason) -> std::shared_ptr<IPcmReader> {
            *reason = "cannot open /music/a.mp3: Permission denied";
            return nullptr;
        },
        first, 0, 200000);
    EXPECT_THROW(ReadAll(*reader), std::runtime_error);
    EXPECT_NE(reader->Error().find("/music/a.mp3"), std::string::npos);
}

TEST(ParallelDecodeReader, MatchesOneDecoderOnARealMp3)
{
    fixtures::TempDir dir;
    const auto path = dir / "long.mp3";
    fixtures::WriteMp3(path, {44100, 2, 44100 * 12});
    std::string reason;
    auto open = [&](std::string* why) -> std::shared_ptr<IPcmReader> { return OpenPcmReader(path, why); };
    auto single = MakeCutReader(open(&reason), 22050, 44100 * 11);
    auto parallel = MakeParallelDecodeReader(open, open(&reason), 22050, 44100 * 11);
    const auto a = ReadAll(*single);
    const auto b = ReadAll(*parallel);
    ASSERT_EQ(a.size(), b.size());
    float worst = 0;
    for (std::size_t i = 0; i < a.size(); ++i)
        worst = std::max(worst, std::abs(a[i] - b[i]));
    EXPECT_LT(worst, 1e-6f); // chunk seams decode as the continuous stream does
}
