// The decoders on real files: exact lengths whatever the headers and tags,
// every WAV variant, sample-exact seeks, and bad files refused with a reason.

#include "Fixtures.h"
#include "media/decode/Mp3Reader.h"
#include "media/graph/PcmReader.h"
#include "media/decode/SoundFileReader.h"
#include "media/decode/OpenReader.h"
#include "media/decode/SourceKind.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <fstream>
#include <random>
#include <sndfile.h>
#include <sys/stat.h>

using namespace fixtures;

namespace {

std::unique_ptr<IPcmReader> MustOpen(const fs::path& path)
{
    std::string reason;
    auto reader = OpenPcmReader(path.string(), &reason);
    EXPECT_TRUE(reader) << reason;
    return reader;
}

std::string ReadBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// Every frame the reader gives, from where it stands to the end.
std::vector<float> ReadToEnd(IPcmReader& reader, std::int64_t* frames = nullptr)
{
    const int channels = reader.Format().channels;
    std::vector<float> all;
    std::vector<float> block(1000 * channels);
    std::int64_t n = 0;
    while ((n = reader.Read(block.data(), 1000)) > 0)
        all.insert(all.end(), block.begin(), block.begin() + n * channels);
    EXPECT_EQ(n, 0) << reader.Error();
    if (frames)
        *frames = std::int64_t(all.size()) / channels;
    return all;
}

// The lag in [-4, 4] at which channel 0 of `samples` (which begin at frame
// `first` of the stream) is closest to the fixture signal. One sample off is far from the
// coding error of an MP3, since the signal moves a lot from one sample to
// the next.
int BestLag(const std::vector<float>& samples, int channels, std::int64_t first, std::int64_t count)
{
    int best = 0;
    double bestError = 1e300;
    for (int lag = -4; lag <= 4; ++lag) {
        if (first + lag < 0)
            continue;
        double error = 0;
        for (std::int64_t i = 0; i < count; ++i) {
            const double d = samples[std::size_t(i * channels)] - SampleValue(first + i + lag, 0);
            error += d * d;
        }
        if (error < bestError) {
            bestError = error;
            best = lag;
        }
    }
    return best;
}

struct Mp3Case {
    const char* name;
    Signal signal;
    Mp3Options options;
};

} // namespace

// With the LAME info frame the decoder knows the encoder delay and padding,
// so the length is the encoded signal's, to the sample.
TEST(Mp3Length, IsExactForEveryRateModeAndTag)
{
    TempDir dir;
    Mp3Options vbr;
    vbr.vbr = true;
    Mp3Options tags;
    tags.id3v1 = true;
    tags.id3v2 = true;
    tags.id3v2PictureBytes = 300 * 1024;
    tags.apeTag = true;
    Mp3Options mpeg2;
    mpeg2.bitrateKbps = 64;
    Mp3Options mpeg25;
    mpeg25.bitrateKbps = 32;
    const Mp3Case cases[] = {
        {"cbr-44k-stereo", {44100, 2, 100000}, {}},
        {"vbr-44k-stereo", {44100, 2, 100000}, vbr},
        {"cbr-48k-mono", {48000, 1, 70001}, {}},
        {"cbr-32k-stereo", {32000, 2, 50000}, {}},
        {"mpeg2-22k-stereo", {22050, 2, 40000}, mpeg2},
        {"mpeg2-16k-mono", {16000, 1, 30000}, mpeg2},
        {"mpeg25-11k-mono", {11025, 1, 20000}, mpeg25},
        {"mpeg25-8k-stereo", {8000, 2, 16001}, mpeg25},
        {"tagged-id3v1-id3v2-picture-ape", {44100, 2, 60000}, tags},
    };
    for (const Mp3Case& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path path = dir / (std::string(c.name) + ".mp3");
        WriteMp3(path, c.signal, c.options);
        auto reader = MustOpen(path);
        ASSERT_TRUE(reader);
        EXPECT_EQ(reader->Format(), (AudioFormat{c.signal.sampleRate, c.signal.channels}));
        EXPECT_EQ(reader->LengthFrames(), c.signal.frames);
        std::int64_t decoded = 0;
        const auto samples = ReadToEnd(*reader, &decoded);
        EXPECT_EQ(decoded, c.signal.frames);
        // Gapless: the first decoded sample is the first source sample.
        const std::vector<float> middle(samples.begin() + 2000 * c.signal.channels, samples.end());
        EXPECT_EQ(BestLag(middle, c.signal.channels, 2000, 8000), 0);
    }
}

// Without a Xing/Info frame nothing tells the length or the encoder delay:
// the length comes from counting the frames and is what decoding yields.
TEST(Mp3Length, WithoutXingHeaderIsTheCountedLength)
{
    TempDir dir;
    for (bool vbr : {false, true}) {
        SCOPED_TRACE(vbr ? "vbr" : "cbr");
        Mp3Options options;
        options.vbr = vbr;
        options.xingHeader = false;
        const Signal signal{44100, 2, 100000};
        const fs::path path = dir / (vbr ? "vbr.mp3" : "cbr.mp3");
        WriteMp3(path, signal, options);
        auto reader = MustOpen(path);
        ASSERT_TRUE(reader);
        std::int64_t decoded = 0;
        ReadToEnd(*reader, &decoded);
        EXPECT_EQ(reader->LengthFrames(), decoded);
        EXPECT_EQ(decoded % 1152, 0);
        EXPECT_GE(decoded, signal.frames);
        EXPECT_LT(decoded, signal.frames + 3 * 1152);
    }
}

TEST(Mp3Seek, LandsOnTheExactSample)
{
    TempDir dir;
    Mp3Options vbr;
    vbr.vbr = true;
    const Signal signal{44100, 2, 200000};
    const fs::path path = dir / "seek.mp3";
    WriteMp3(path, signal, vbr);
    auto reader = MustOpen(path);
    ASSERT_TRUE(reader);
    const auto whole = ReadToEnd(*reader);
    for (std::int64_t target : {std::int64_t(0), std::int64_t(1), std::int64_t(1151), std::int64_t(1152),
                                std::int64_t(77777), std::int64_t(150001)}) {
        SCOPED_TRACE(target);
        ASSERT_TRUE(reader->Seek(target));
        EXPECT_EQ(reader->Tell(), target);
        std::vector<float> block(4000 * 2);
        ASSERT_EQ(reader->Read(block.data(), 4000), 4000);
        // The same samples as a straight decode gives at that place...
        double worst = 0;
        for (std::size_t i = 0; i < block.size(); ++i)
            worst = std::max(worst, double(std::fabs(block[i] - whole[std::size_t(target * 2) + i])));
        EXPECT_LT(worst, 1e-4);
        // ...and they line up with the source signal.
        EXPECT_EQ(BestLag(block, 2, target, 4000), 0);
    }
    // Beyond the end: nothing more to read.
    ASSERT_TRUE(reader->Seek(signal.frames + 10));
    float sample[2];
    EXPECT_EQ(reader->Read(sample, 1), 0);
}

TEST(WavReader, ReadsEveryVariantExactly)
{
    TempDir dir;
    struct Case {
        const char* name;
        WavSample sample;
        bool extensible;
        double tolerance;
    };
    const Case cases[] = {
        {"pcm8", WavSample::Pcm8, false, 1.0 / 128},     {"pcm16", WavSample::Pcm16, false, 1.0 / 32768},
        {"pcm24", WavSample::Pcm24, false, 1e-6},        {"pcm32", WavSample::Pcm32, false, 1e-6},
        {"float", WavSample::Float32, false, 1e-7},      {"pcm16-extensible", WavSample::Pcm16, true, 1.0 / 32768},
        {"float-extensible", WavSample::Float32, true, 1e-7},
    };
    const Signal signal{48000, 2, 30001};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path path = dir / (std::string(c.name) + ".wav");
        WriteWav(path, signal, c.sample, c.extensible);
        auto reader = MustOpen(path);
        ASSERT_TRUE(reader);
        EXPECT_EQ(reader->Format(), (AudioFormat{48000, 2}));
        EXPECT_EQ(reader->LengthFrames(), signal.frames);
        std::int64_t frames = 0;
        const auto samples = ReadToEnd(*reader, &frames);
        ASSERT_EQ(frames, signal.frames);
        double worst = 0;
        for (std::int64_t i = 0; i < frames; ++i)
            for (int ch = 0; ch < 2; ++ch)
                worst = std::max(worst, double(std::fabs(samples[std::size_t(i * 2 + ch)] - SampleValue(i, ch))));
        EXPECT_LE(worst, c.tolerance);

        ASSERT_TRUE(reader->Seek(12345));
        float frame[2];
        ASSERT_EQ(reader->Read(frame, 1), 1);
        EXPECT_NEAR(frame[1], SampleValue(12345, 1), c.tolerance);
    }
}

// The decoder follows what the file holds; the name only breaks a tie.
TEST(PcmReaderChoice, FollowsTheContentNotTheName)
{
    TempDir dir;
    const Signal signal{44100, 2, 44100 + 7};

    const fs::path wav = dir / "wave.mp3";
    WriteWav(wav, signal);
    auto wavReader = MustOpen(wav);
    ASSERT_TRUE(wavReader);
    std::int64_t frames = 0;
    const auto samples = ReadToEnd(*wavReader, &frames);
    ASSERT_EQ(frames, signal.frames);
    for (std::int64_t i : {std::int64_t(0), std::int64_t(1000), signal.frames - 1})
        EXPECT_NEAR(samples[std::size_t(i * 2 + 1)], SampleValue(i, 1), 1.0 / 32768) << i;

    // An MP3 named .wav, behind an ID3v2 tag larger than the search for the
    // first frame, and junk after the tag.
    Mp3Options tagged;
    tagged.id3v2 = true;
    tagged.id3v2PictureBytes = 200 * 1024;
    WriteMp3(dir / "song.mp3", signal, tagged);
    std::string bytes = ReadBytes(dir / "song.mp3");
    std::size_t tagEnd = 10;
    for (int i = 6; i < 10; ++i)
        tagEnd += std::size_t(bytes[std::size_t(i)]) << (7 * (9 - i)); // synchsafe
    bytes.insert(tagEnd, std::string(700, '\0') + "junk");
    std::ofstream(dir / "song.wav", std::ios::binary) << bytes;
    EXPECT_EQ(DetectSourceKind((dir / "song.wav").string()), SourceKind::MpegAudio);
    auto mp3Reader = MustOpen(dir / "song.wav");
    ASSERT_TRUE(mp3Reader);
    EXPECT_EQ(mp3Reader->LengthFrames(), signal.frames);
    EXPECT_NE(mp3Reader->Describe().find("Layer III"), std::string::npos);

    // Neither: the name decides, and that decoder says what is wrong.
    std::ofstream(dir / "notes.mp3") << "some text";
    std::ofstream(dir / "notes.wav") << "some text";
    EXPECT_EQ(DetectSourceKind((dir / "notes.mp3").string()), SourceKind::MpegAudio);
    EXPECT_EQ(DetectSourceKind((dir / "notes.wav").string()), SourceKind::SoundFile);
    EXPECT_EQ(DetectSourceKind((dir / "missing.mp3").string()), SourceKind::MpegAudio);
}

TEST(PcmReaderChoice, EverySoundFileContainerGoesToLibsndfile)
{
    TempDir dir;
    const Signal signal{22050, 1, 22050};
    const std::pair<const char*, int> cases[] = {
        {"aiff", SF_FORMAT_AIFF | SF_FORMAT_PCM_16}, {"flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16},
        {"ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS},   {"au", SF_FORMAT_AU | SF_FORMAT_PCM_16},
        {"caf", SF_FORMAT_CAF | SF_FORMAT_PCM_16},   {"w64", SF_FORMAT_W64 | SF_FORMAT_PCM_16},
        {"rf64", SF_FORMAT_RF64 | SF_FORMAT_PCM_16}, {"voc", SF_FORMAT_VOC | SF_FORMAT_PCM_16},
    };
    for (const auto& [type, format] : cases) {
        SCOPED_TRACE(type);
        const fs::path path = dir / (std::string(type) + ".mp3");
        WriteSoundFile(path, signal, format);
        EXPECT_EQ(DetectSourceKind(path.string()), SourceKind::SoundFile);
        auto reader = MustOpen(path);
        ASSERT_TRUE(reader);
        EXPECT_EQ(reader->LengthFrames(), signal.frames);
    }
}

TEST(BadInput, IsRefusedQuicklyWithAReason)
{
    TempDir dir;
    auto write = [&](const std::string& name, const std::string& bytes) {
        std::ofstream(dir / name, std::ios::binary) << bytes;
        return (dir / name).string();
    };
    std::mt19937 random(7);
    std::string noise(3 * 1024 * 1024, '\0');
    for (char& c : noise)
        c = char(random());
    struct Case {
        std::string path;
        const char* expected;
    };
    const Case cases[] = {
        {(dir / "missing.mp3").string(), "No such file"},
        {(dir / "missing.wav").string(), "No such file"},
        {dir.Path().string(), "folder"},
        {write("empty.mp3", ""), "no MPEG audio"},
        {write("noise.mp3", noise), "no MPEG audio"},
        {write("text.wav", "just some text, not a sound file"), "not a sound file"},
        {write("empty.wav", ""), "not a sound file"},
    };
    // A named pipe would make a plain open wait for a writer forever.
    const std::string mp3Pipe = (dir / "pipe.mp3").string();
    const std::string wavPipe = (dir / "pipe.wav").string();
    ASSERT_EQ(mkfifo(mp3Pipe.c_str(), 0600), 0);
    ASSERT_EQ(mkfifo(wavPipe.c_str(), 0600), 0);
    const Case more[] = {{mp3Pipe, "not a regular file"}, {wavPipe, "not a regular file"}};
    std::vector<Case> all(std::begin(cases), std::end(cases));
    all.insert(all.end(), std::begin(more), std::end(more));
    for (const Case& c : all) {
        SCOPED_TRACE(c.path);
        const auto start = std::chrono::steady_clock::now();
        std::string reason;
        EXPECT_FALSE(OpenPcmReader(c.path, &reason));
        EXPECT_NE(reason.find(c.expected), std::string::npos) << reason;
        EXPECT_NE(reason.find(c.path), std::string::npos) << reason;
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    }
}

// Damage inside an otherwise good file is skipped; the audio after it plays.
TEST(BadInput, CorruptMiddleOfAnMp3IsSkipped)
{
    TempDir dir;
    const Signal signal{44100, 2, 441000};
    const fs::path path = dir / "damaged.mp3";
    WriteMp3(path, signal);
    std::string bytes = ReadBytes(path);
    std::mt19937 random(3);
    const std::size_t from = bytes.size() / 3;
    for (std::size_t i = from; i < from + 20000; ++i)
        bytes[i] = char(random());
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;

    auto reader = MustOpen(path);
    ASSERT_TRUE(reader);
    std::int64_t decoded = 0;
    const auto samples = ReadToEnd(*reader, &decoded);
    EXPECT_EQ(decoded, reader->LengthFrames());
    // About 1.25 s of 10 s is lost; the last seconds are still there.
    EXPECT_GT(decoded, signal.frames * 8 / 10);
    EXPECT_LT(decoded, signal.frames);
    double energy = 0;
    for (std::size_t i = samples.size() - 44100 * 2; i < samples.size(); ++i)
        energy += samples[i] * samples[i];
    EXPECT_GT(energy / (44100 * 2), 0.01);
}

// Bytes spliced into an MP3 (a broken copy) add nothing: no frame is found by
// chance in them, so no noise bursts and no longer stream, and the audio
// around them is the clean file's.
TEST(BadInput, RandomBytesSplicedIntoAnMp3AddNoFrames)
{
    TempDir dir;
    // 128 kbps at 48 kHz: every frame is 384 bytes, so frame boundaries are known.
    const Signal signal{48000, 2, 30 * 48000};
    WriteMp3(dir / "clean.mp3", signal);
    const std::string clean = ReadBytes(dir / "clean.mp3");
    auto cleanReader = MustOpen(dir / "clean.mp3");
    ASSERT_TRUE(cleanReader);
    const auto cleanSamples = ReadToEnd(*cleanReader);
    std::mt19937 random(11);
    std::string garbage(50000, '\0');
    for (char& c : garbage)
        c = char(random());

    const std::size_t boundary = clean.size() / 2 / 384 * 384;
    for (std::size_t at : {boundary, boundary + 100}) {
        SCOPED_TRACE(at == boundary ? "at a frame boundary" : "inside a frame");
        const fs::path path = dir / "spliced.mp3";
        std::ofstream(path, std::ios::binary | std::ios::trunc) << clean.substr(0, at) << garbage << clean.substr(at);
        auto reader = MustOpen(path);
        ASSERT_TRUE(reader);
        std::int64_t decoded = 0;
        const auto samples = ReadToEnd(*reader, &decoded);
        EXPECT_EQ(decoded, reader->LengthFrames());
        EXPECT_LE(decoded, signal.frames);
        EXPECT_GE(decoded, signal.frames - 2 * 1152);
        // Samples differ from the clean file's only within a few frames of
        // the splice; a frame found in the garbage would shift all after it.
        std::size_t first = samples.size(), last = 0;
        for (std::size_t i = 0; i < std::min(samples.size(), cleanSamples.size()); ++i) {
            if (std::fabs(samples[i] - cleanSamples[i]) > 1e-6f) {
                first = std::min(first, i);
                last = i;
            }
        }
        const std::int64_t spliceFrame = std::int64_t(at / 384) * 1152;
        EXPECT_GE(std::int64_t(first / 2), spliceFrame - 4 * 1152);
        EXPECT_LE(std::int64_t(last / 2), spliceFrame + 4 * 1152);
    }
}

TEST(BadInput, TruncatedMp3EndsWhereTheDataEnds)
{
    TempDir dir;
    const fs::path path = dir / "cut.mp3";
    WriteMp3(path, Signal{44100, 2, 441000});
    fs::resize_file(path, fs::file_size(path) / 2 + 333);
    auto reader = MustOpen(path);
    ASSERT_TRUE(reader);
    std::int64_t decoded = 0;
    ReadToEnd(*reader, &decoded);
    EXPECT_EQ(decoded, reader->LengthFrames());
    EXPECT_NEAR(double(decoded), 441000 / 2.0, 441000 * 0.05);
}

TEST(BadInput, WavTruncatedWhileReadingIsAnErrorNotAShortStream)
{
    TempDir dir;
    const fs::path path = dir / "shrinking.wav";
    WriteWav(path, Signal{44100, 2, 44100});
    auto reader = MustOpen(path);
    ASSERT_TRUE(reader);
    fs::resize_file(path, 20000);
    std::vector<float> block(4096 * 2);
    std::int64_t n = 0;
    std::int64_t total = 0;
    while ((n = reader->Read(block.data(), 4096)) > 0)
        total += n;
    EXPECT_EQ(n, -1);
    EXPECT_LT(total, 44100);
    EXPECT_NE(reader->Error().find("truncated"), std::string::npos) << reader->Error();
}
