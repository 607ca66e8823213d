// Timeline -> render engine -> encoder or WAV writer -> file writer, on real
// files: the encoded result, the LAME info frame, encoding on several
// threads, and every way writing can fail.

#include "media/graph/CFilterGraph.h"
#include "HresultAssertions.h"
#include "media/filters/CaptureGraphBuilder.h"
#include "media/filters/FileWriter.h"
#include "media/graph/FilterRegistry.h"
#include "media/filters/LameEncoder.h"
#include "media/filters/Mp3Stitch.h"
#include "media/filters/ParallelMp3Encoder.h"
#include "media/render/MediaGraph.h"
#include "media/render/RenderEngine.h"
#include "RenderTestSupport.h"
#include "media/render/Timeline.h"
#include "media/graph/MediaTypeValue.h"
#include "media/filters/WavWriter.h"

#include <Fixtures.h>
#include <Process.h>

#include <gtest/gtest.h>

#include <sys/mount.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <thread>

namespace fs = std::filesystem;

namespace {

struct WriteJob {
    std::shared_ptr<CFilterGraph> graph;
    std::shared_ptr<CBaseFilter> stage;
    std::shared_ptr<CBaseFilter> writer;
    std::string error;
};

struct WriteOptions {
    bool mp3 = true;
    int sampleRate = 44100;
    int bitrate = 128;
    bool overwrite = false;
    REFERENCE_TIME start = 0;
    REFERENCE_TIME stop = -1; // whole file
};

// The whole of `source` (or a stretch of it) written to `output`.
WriteJob BuildWrite(const std::string& source, const std::string& output, const WriteOptions& options = {})
{
    WriteJob job;
    auto timeline = std::make_shared<CAMTimeline>();
    std::shared_ptr<CAMTimelineObj> group, track, clip;
    EXPECT_SUCCEEDED(timeline->CreateEmptyNode(&group, TIMELINE_MAJOR_TYPE_GROUP));
    CMediaTypeValue type;
    type.SetMajorType(MEDIATYPE_Audio);
    EXPECT_SUCCEEDED(std::dynamic_pointer_cast<IAMTimelineGroup>(group)->SetMediaType(&type));
    EXPECT_SUCCEEDED(timeline->AddGroup(group));
    EXPECT_SUCCEEDED(timeline->CreateEmptyNode(&track, TIMELINE_MAJOR_TYPE_TRACK));
    EXPECT_SUCCEEDED(std::dynamic_pointer_cast<IAMTimelineComp>(group)->VTrackInsBefore(track, -1));
    EXPECT_SUCCEEDED(timeline->CreateEmptyNode(&clip, TIMELINE_MAJOR_TYPE_SOURCE));
    auto src = std::dynamic_pointer_cast<IAMTimelineSrc>(clip);
    EXPECT_SUCCEEDED(src->SetMediaName(source));
    const REFERENCE_TIME stop = options.stop >= 0 ? options.stop : REFERENCE_TIME(1) << 50;
    EXPECT_SUCCEEDED(src->SetMediaTimes(options.start, stop));
    EXPECT_SUCCEEDED(clip->SetStartStop(0, stop - options.start));
    EXPECT_SUCCEEDED(std::dynamic_pointer_cast<IAMTimelineTrack>(track)->SrcAdd(clip));
    if (FAILED(timeline->ValidateSourceNames(SFN_VALIDATEF_CHECK, nullptr, 0))) {
        job.error = timeline->LastError();
        return job;
    }
    CRenderEngine engine;
    EXPECT_SUCCEEDED(engine.SetTimelineObject(timeline));
    EXPECT_EQ(engine.ConnectFrontEnd(), S_OK) << engine.LastError();
    engine.GetFilterGraph(&job.graph);
    EXPECT_SUCCEEDED(CreateFilter(options.mp3 ? clsid::LameEncoder : clsid::WavWriter, &job.stage));
    EXPECT_SUCCEEDED(CreateFilter(options.mp3 ? clsid::RawFileWriter : clsid::FileWriter, &job.writer));
    if (auto* properties = GetEncoderProperties(job.stage)) {
        EXPECT_SUCCEEDED(properties->set_SampleRate(options.sampleRate));
        EXPECT_SUCCEEDED(properties->set_Bitrate(options.bitrate));
    }
    EXPECT_SUCCEEDED(job.graph->AddFilter(job.stage, "Lame"));
    EXPECT_SUCCEEDED(job.graph->AddFilter(job.writer, "Dest"));
    EXPECT_SUCCEEDED(GetFileSink(job.writer)->SetFileName(output, nullptr));
    EXPECT_SUCCEEDED(GetFileSink(job.writer)->SetOverwrite(options.overwrite));
    std::shared_ptr<CPin> pin;
    EXPECT_EQ(engine.GetGroupOutputPin(0, &pin), S_OK);
    CCaptureGraphBuilder2 builder;
    EXPECT_SUCCEEDED(builder.SetFiltergraph(job.graph));
    EXPECT_EQ(builder.RenderStream(nullptr, nullptr, pin, job.stage, job.writer), S_OK) << builder.LastError();
    return job;
}

long RunJob(WriteJob& job)
{
    return RunToEnd(*job.graph, *job.graph);
}

std::string Slurp(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Fields of the LAME info frame at the start of a file.
struct LameTag {
    bool found = false;
    std::uint32_t frames = 0;
    int delay = 0;
    int padding = 0;
};

LameTag ParseLameTag(const std::string& path)
{
    const auto bytes = ReadBytes(path, 2000);
    LameTag tag;
    for (std::size_t i = 0; i + 160 < bytes.size(); ++i) {
        if (std::memcmp(&bytes[i], "Info", 4) != 0)
            continue;
        tag.found = true;
        const unsigned char* t = &bytes[i];
        tag.frames = std::uint32_t(t[8]) << 24 | std::uint32_t(t[9]) << 16 | std::uint32_t(t[10]) << 8 | t[11];
        // Flags, frames, bytes, table of contents, quality, then the LAME
        // extension: version (9), revision, low-pass, replay gain (8),
        // encoding flags, bit rate, then delay and padding in 12 bits each.
        const unsigned char* dp = t + 4 + 4 + 4 + 4 + 100 + 4 + 9 + 1 + 1 + 8 + 1 + 1;
        tag.delay = (dp[0] << 4) | (dp[1] >> 4);
        tag.padding = ((dp[1] & 0x0F) << 8) | dp[2];
        break;
    }
    return tag;
}

class RenderWrite : public ::testing::Test {
protected:
    void TearDown() override { SetMp3EncoderThreads(0); }
    fixtures::TempDir dir;
};

// Threads of this process, from /proc.
std::size_t ThreadsNow()
{
    std::size_t n = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator("/proc/self/task"))
        ++n;
    return n;
}

// SNR in dB of each 576-frame block of `coded` against `source` (blocks of
// near silence left out).
std::vector<double> BlockSnr(const std::vector<float>& source, const std::vector<float>& coded, int channels)
{
    std::vector<double> snr;
    const std::size_t block = 576 * std::size_t(channels);
    for (std::size_t b = 0; b + block <= std::min(source.size(), coded.size()); b += block) {
        double signal = 0, noise = 0;
        for (std::size_t i = b; i < b + block; ++i) {
            signal += double(source[i]) * source[i];
            noise += (double(coded[i]) - source[i]) * (double(coded[i]) - source[i]);
        }
        if (signal > 1e-3)
            snr.push_back(10 * std::log10(signal / std::max(noise, 1e-20)));
    }
    return snr;
}

// Every frame's main data lies after the data of the frame before it and
// ends before the next frame's header, within reach of main_data_begin: what
// a decoder needs to decode each frame from the bytes before it.
::testing::AssertionResult MainDataIsWellLaidOut(const fs::path& mp3)
{
    EncodedRun run;
    run.bytes = ReadBytes(mp3, std::size_t(fs::file_size(mp3)));
    if (!ParseEncodedRun(run) || run.infoFrameBytes == 0)
        return ::testing::AssertionFailure() << "not a LAME stream with an info frame";
    std::int64_t dataEnd = 0;
    for (std::size_t i = 0; i < run.frames.size(); ++i) {
        const Layer3Frame& f = run.frames[i];
        const std::int64_t start = f.areaPosition - f.mainDataBegin;
        if (start < dataEnd || start + f.mainDataBytes > f.areaPosition + f.AreaBytes())
            return ::testing::AssertionFailure() << "frame " << i << " overlaps or overflows its neighbours";
        dataEnd = start + f.mainDataBytes;
    }
    return ::testing::AssertionSuccess();
}

} // namespace

TEST_F(RenderWrite, Mp3CarriesAFinishedInfoFrameWithItsExactLength)
{
    const auto wav = dir / "in.wav";
    fixtures::WriteWav(wav, {44100, 2, 132300});
    const auto mp3 = dir / "out.mp3";
    auto job = BuildWrite(wav, mp3);
    ASSERT_EQ(RunJob(job), EC_COMPLETE) << job.graph->ErrorReason();

    const LameTag tag = ParseLameTag(mp3);
    ASSERT_TRUE(tag.found);
    EXPECT_GT(tag.delay, 500);
    // The audio frames hold the delay, the signal and the padding.
    EXPECT_EQ(std::int64_t(tag.frames) * 1152 - tag.delay - tag.padding, 132300);
    const auto decoded = fixtures::ReadAudio(mp3);
    EXPECT_EQ(decoded.sampleRate, 44100);
    EXPECT_EQ(decoded.Frames(), 132300);
}

TEST_F(RenderWrite, EncoderAtAnotherRateGetsAConverterAndTheExactLength)
{
    const auto wav = dir / "in.wav";
    fixtures::WriteWav(wav, {44100, 1, 88201});
    const auto mp3 = dir / "out.mp3";
    auto job = BuildWrite(wav, mp3, {.sampleRate = 22050, .bitrate = 64});
    EXPECT_TRUE(job.graph->FindFilterByName(kAudioConverterName));
    ASSERT_EQ(RunJob(job), EC_COMPLETE) << job.graph->ErrorReason();
    const auto decoded = fixtures::ReadAudio(mp3);
    EXPECT_EQ(decoded.sampleRate, 22050);
    EXPECT_EQ(decoded.channels, 1);
    EXPECT_EQ(decoded.Frames(), 44101); // round(88201 / 2)
}

TEST_F(RenderWrite, EncoderTakesOnlyItsOwnRateInOneOrTwoChannels)
{
    auto encoder = CreateLameEncoder();
    auto input = encoder->EnumPins().front();
    EXPECT_EQ(input->QueryAccept({MediaKind::Pcm, {44100, 2}, {}}), S_OK);
    EXPECT_EQ(input->QueryAccept({MediaKind::Pcm, {44100, 1}, {}}), S_OK);
    EXPECT_NE(input->QueryAccept({MediaKind::Pcm, {48000, 2}, {}}), S_OK);
    EXPECT_NE(input->QueryAccept({MediaKind::Pcm, {44100, 6}, {}}), S_OK);
    EXPECT_NE(input->QueryAccept({MediaKind::Mp3, {44100, 2}, {}}), S_OK);
}

TEST_F(RenderWrite, EncoderSettingsRefuseWhatMpegAudioCannotCarry)
{
    auto encoder = CreateLameEncoder();
    IAudioEncoderProperties* p = GetEncoderProperties(encoder);
    ASSERT_TRUE(p);
    std::int32_t value = 0;
    EXPECT_EQ(p->set_SampleRate(0), E_INVALIDARG);
    EXPECT_EQ(p->set_SampleRate(44000), E_INVALIDARG);
    p->get_SampleRate(&value);
    EXPECT_EQ(value, 44100);
    EXPECT_EQ(p->set_Bitrate(0), E_INVALIDARG);
    EXPECT_EQ(p->set_Quality(10), E_INVALIDARG);
    EXPECT_EQ(p->set_SampleRate(22050), S_OK);
    EXPECT_EQ(p->set_Bitrate(192), S_OK);
    EXPECT_EQ(p->EffectiveBitrate(), 160); // MPEG-2 stops at 160 kbps
    EXPECT_EQ(LegalMp3Bitrate(100, 8000), 64);
    EXPECT_EQ(LegalMp3Bitrate(100, 44100), 96);
    EXPECT_FALSE(GetEncoderProperties(CreateWavWriter()));
}

TEST_F(RenderWrite, WavWriterWritesACompleteSixteenBitFile)
{
    const auto source = dir / "in.wav";
    fixtures::WriteWav(source, {22050, 1, 30001}, fixtures::WavSample::Pcm16);
    const auto out = dir / "out.wav";
    auto job = BuildWrite(source, out, {.mp3 = false});
    ASSERT_EQ(RunJob(job), EC_COMPLETE) << job.graph->ErrorReason();
    EXPECT_EQ(fs::file_size(out), 44u + 30001u * 2u);
    const auto original = fixtures::ReadAudio(source);
    const auto written = fixtures::ReadAudio(out);
    EXPECT_EQ(written.sampleRate, 22050);
    EXPECT_EQ(written.samples, original.samples); // 16 bits through unchanged
}

TEST_F(RenderWrite, AnExistingFileIsNeverReplacedUnlessAsked)
{
    const auto source = dir / "in.wav";
    fixtures::WriteWav(source, {8000, 1, 8000});
    const auto out = dir / "taken.mp3";
    std::ofstream(out) << "the user's own file";
    auto job = BuildWrite(source, out, {.sampleRate = 8000, .bitrate = 32});
    ASSERT_EQ(RunJob(job), EC_ERRORABORT);
    EXPECT_NE(job.graph->ErrorReason().find(out.string()), std::string::npos) << job.graph->ErrorReason();
    EXPECT_EQ(Slurp(out), "the user's own file");

    auto replace = BuildWrite(source, out, {.sampleRate = 8000, .bitrate = 32, .overwrite = true});
    ASSERT_EQ(RunJob(replace), EC_COMPLETE) << replace.graph->ErrorReason();
    EXPECT_EQ(fixtures::ReadAudio(out).Frames(), 8000);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 2); // no leftovers
}

TEST_F(RenderWrite, AFailedOverwriteLeavesTheOldFileAsItWas)
{
    const auto source = dir / "in.wav";
    fixtures::WriteWav(source, {8000, 1, 80000});
    const auto out = dir / "old.mp3";
    std::ofstream(out) << "precious";
    auto job = BuildWrite(source, out, {.sampleRate = 8000, .bitrate = 32, .overwrite = true});
    fs::resize_file(source, 4000); // the source is cut short once the job is built
    ASSERT_EQ(RunJob(job), EC_ERRORABORT);
    EXPECT_NE(job.graph->ErrorReason().find(source.string()), std::string::npos) << job.graph->ErrorReason();
    EXPECT_EQ(Slurp(out), "precious");
    for (const auto& entry : fs::directory_iterator(dir.Path()))
        EXPECT_TRUE(entry.path() == source || entry.path() == out) << "left behind: " << entry.path();
}

TEST_F(RenderWrite, AWriteErrorEndsTheJobWithTheReason)
{
    const auto source = dir / "in.wav";
    fixtures::WriteWav(source, {8000, 1, 8000});
    auto job = BuildWrite(source, "/dev/full", {.sampleRate = 8000, .bitrate = 32});
    ASSERT_EQ(RunJob(job), EC_ERRORABORT);
    EXPECT_NE(job.graph->ErrorReason().find("No space left"), std::string::npos) << job.graph->ErrorReason();
    EXPECT_TRUE(fs::exists("/dev/full")); // a device is never removed
}

TEST_F(RenderWrite, AnUnwritablePlaceEndsTheJobWithTheReason)
{
    const auto source = dir / "in.wav";
    fixtures::WriteWav(source, {8000, 1, 8000});
    const std::string out = "/proc/self/no-such-place/out.wav";
    auto job = BuildWrite(source, out, {.mp3 = false});
    ASSERT_EQ(RunJob(job), EC_ERRORABORT);
    EXPECT_NE(job.graph->ErrorReason().find(out), std::string::npos) << job.graph->ErrorReason();
}

TEST_F(RenderWrite, AFullDiskRemovesThePartialOutput)
{
    // 40 s: with three threads the disk fills while several segments are
    // being encoded.
    const auto source = dir / "in.wav";
    fixtures::WriteWav(source, {44100, 2, 44100 * 40});
    const auto small = dir / "small";
    fs::create_directory(small);
    if (::mount("tarnwick-test", small.c_str(), "tmpfs", 0, "size=256k") != 0)
        GTEST_SKIP() << "cannot mount a small tmpfs here";
    for (int threads : {1, 3}) {
        SetMp3EncoderThreads(threads);
        const auto out = small / "out.mp3";
        auto job = BuildWrite(source, out, {.bitrate = 192});
        const long code = RunJob(job);
        const std::string reason = job.graph->ErrorReason();
        const bool left = fs::exists(out);
        job.graph.reset();
        EXPECT_EQ(code, EC_ERRORABORT) << threads;
        EXPECT_NE(reason.find("No space left"), std::string::npos) << reason;
        EXPECT_FALSE(left) << threads;
    }
    ::umount(small.c_str());
}

TEST_F(RenderWrite, AUserStopKeepsAPlayablePieceAndACancelRemovesIt)
{
    const auto source = dir / "in.wav";
    fixtures::WriteWav(source, {44100, 2, 44100 * 60});
    // ThreadSanitizer's runtime starts a thread of its own with the process's
    // first thread; one started and joined here keeps it out of the counts.
    std::thread([] {}).join();
    for (int threads : {1, 3})
    for (bool keep : {true, false}) {
        SCOPED_TRACE(std::to_string(threads) + " thread(s)");
        SetMp3EncoderThreads(threads);
        const std::size_t threadsBefore = ThreadsNow();
        const auto out = dir / ((keep ? "kept" : "cancelled") + std::to_string(threads) + ".mp3");
        auto job = BuildWrite(source, out, {.bitrate = 128});
        EXPECT_SUCCEEDED(job.graph->Run());
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (GetFileSink(job.writer)->BytesWritten() < 20000 && std::chrono::steady_clock::now() < until)
            std::this_thread::yield();
        EXPECT_FALSE(fs::exists(out)) << "the name shows only a finished file";
        if (!keep)
            GetFileSink(job.writer)->DiscardOutput();
        EXPECT_SUCCEEDED(job.graph->Stop());
        if (keep) {
            EXPECT_EQ(GetFileSink(job.writer)->KeepOutput(), S_OK) << job.writer->LastError();
        }
        EXPECT_EQ(ThreadsNow(), threadsBefore) << "a thread outlived the stop";
        long code = 0;
        EXPECT_NE(job.graph->WaitForCompletion(0, &code), S_OK) << "the job ended before it was stopped";
        if (keep) {
            EXPECT_TRUE(MainDataIsWellLaidOut(out));
            const auto decoded = fixtures::ReadAudio(out);
            EXPECT_GT(decoded.Frames(), 0);
            EXPECT_LT(decoded.Frames(), 44100 * 60);
            const LameTag tag = ParseLameTag(out);
            EXPECT_TRUE(tag.found);
            EXPECT_EQ(std::int64_t(tag.frames) * 1152 - tag.delay - tag.padding, decoded.Frames());
        } else {
            EXPECT_FALSE(fs::exists(out));
        }
        job.writer.reset();
        job.graph.reset();
        for (const std::string& name : fixtures::FolderNames(dir.Path()))
            EXPECT_NE(name[0], '.') << "a temporary was left: " << name;
    }
}

TEST_F(RenderWrite, AStreamThatEndsBeforeRunReturnsKeepsItsFinishedFile)
{
    // A tiny stream can be written and finished before the graph has told
    // every filter to run; the writer must not start the file again then.
    const auto source = dir / "tiny.wav";
    fixtures::WriteWav(source, {8000, 1, 100});
    for (int i = 0; i < 20; ++i) {
        const auto out = dir / ("tiny" + std::to_string(i) + ".wav");
        auto job = BuildWrite(source, out, {.mp3 = false});
        ASSERT_EQ(RunJob(job), EC_COMPLETE) << job.graph->ErrorReason();
        ASSERT_EQ(fs::file_size(out), 44u + 200u) << i;
    }
}

// Encoding on several threads: the piece is split into segments of about
// ten seconds, encoded side by side and joined.

TEST_F(RenderWrite, ASegmentedEncodeIsTheSingleEncodersLengthAndStartWithoutAWeakJoin)
{
    // 45 s: four segments and a bit. At 64 kbps mono the encoders' reservoirs
    // stay apart for a while and the joins come late.
    struct Case {
        fixtures::Signal signal;
        int bitrate;
    };
    for (const Case& c : {Case{{44100, 2, 44100 * 45, true}, 192}, Case{{48000, 1, 48000 * 45, true}, 64}}) {
        const fixtures::Signal& signal = c.signal;
        SCOPED_TRACE(std::to_string(signal.sampleRate) + " Hz, " + std::to_string(c.bitrate) + " kbps");
        const auto source = dir / "in.wav";
        fixtures::WriteWav(source, signal, fixtures::WavSample::Float32);
        const int frameSamples = signal.sampleRate >= 32000 ? 1152 : 576;
        std::vector<std::vector<float>> decoded;
        for (int threads : {1, 3}) {
            SetMp3EncoderThreads(threads);
            const auto out = dir / ("out" + std::to_string(threads) + ".mp3");
            fs::remove(out);
            auto job = BuildWrite(source, out, {.sampleRate = signal.sampleRate, .bitrate = c.bitrate});
            ASSERT_EQ(RunJob(job), EC_COMPLETE) << job.graph->ErrorReason();
            EXPECT_TRUE(MainDataIsWellLaidOut(out)) << threads;
            const LameTag tag = ParseLameTag(out);
            EXPECT_EQ(std::int64_t(tag.frames) * frameSamples - tag.delay - tag.padding, signal.frames) << threads;
            decoded.push_back(fixtures::ReadAudio(out).samples);
            EXPECT_EQ(std::int64_t(decoded.back().size()), signal.frames * signal.channels) << threads;
        }
        // The first segment is the single encoder's own.
        const std::size_t twoSeconds = std::size_t(2 * signal.sampleRate * signal.channels);
        ASSERT_GE(decoded[1].size(), twoSeconds);
        EXPECT_TRUE(std::equal(decoded[0].begin(), decoded[0].begin() + std::ptrdiff_t(twoSeconds), decoded[1].begin()));
        // No block is much worse than the single encoder's, at the joins or anywhere.
        const auto samples = fixtures::MakeSamples(signal);
        const auto single = BlockSnr(samples, decoded[0], signal.channels);
        const auto segmented = BlockSnr(samples, decoded[1], signal.channels);
        ASSERT_EQ(single.size(), segmented.size());
        double meanSingle = 0, meanSegmented = 0;
        for (std::size_t b = 0; b < single.size(); ++b) {
            EXPECT_GT(segmented[b], single[b] - 6) << "block " << b;
            meanSingle += single[b] / double(single.size());
            meanSegmented += segmented[b] / double(single.size());
        }
        EXPECT_NEAR(meanSegmented, meanSingle, 0.3);
    }
}

TEST_F(RenderWrite, RatesTooLowForLamesInfoFrameStillDecodeToTheExactLength)
{
    // LAME's tag does not fit one frame at these settings.
    struct Case {
        int sampleRate, channels, bitrate;
    };
    for (const Case& c : {Case{22050, 1, 32}, Case{8000, 1, 8}, Case{44100, 2, 32}, Case{48000, 1, 32}}) {
        const fixtures::Signal signal{c.sampleRate, c.channels, std::int64_t(c.sampleRate) * 25 + 7};
        const auto source = dir / "in.wav";
        fixtures::WriteWav(source, signal);
        for (int threads : {1, 3}) {
            SCOPED_TRACE(std::to_string(c.sampleRate) + " Hz, " + std::to_string(c.bitrate) + " kbps, " +
                         std::to_string(threads) + " threads");
            SetMp3EncoderThreads(threads);
            const auto out = dir / "out.mp3";
            fs::remove(out);
            auto job = BuildWrite(source, out, {.sampleRate = c.sampleRate, .bitrate = c.bitrate});
            ASSERT_EQ(RunJob(job), EC_COMPLETE) << job.graph->ErrorReason();
            EXPECT_EQ(fixtures::ReadAudio(out).Frames(), signal.frames);
        }
    }
}

TEST_F(RenderWrite, LoudNoiseAtTheLowestRateIsJoinedToTheSingleEncodersLength)
{
    // Loud noise at 32 kbps: the encoders' reservoirs stay apart for hundreds
    // of frames, here through all of the last segment, which the encoder
    // before it then takes over.
    const auto source = dir / "noise.wav";
    const auto made = fixtures::RunProcess({"sox", "-R", "-n", "-r", "44100", "-c", "2", "-b", "16", source.string(),
                                            "synth", "40", "pinknoise", "vol", "0.9"});
    ASSERT_EQ(made.exitCode, 0) << made.err;
    std::vector<std::int64_t> frames;
    for (int threads : {1, 3}) {
        SetMp3EncoderThreads(threads);
        const auto out = dir / ("out" + std::to_string(threads) + ".mp3");
        auto job = BuildWrite(source, out, {.bitrate = 32});
        ASSERT_EQ(RunJob(job), EC_COMPLETE) << threads << " threads: " << job.graph->ErrorReason();
        frames.push_back(fixtures::ReadAudio(out).Frames());
    }
    EXPECT_EQ(frames[0], 44100 * 40);
    EXPECT_EQ(frames[1], frames[0]);
}

TEST_F(RenderWrite, APieceShorterThanASegmentIsTheSingleEncodersFileByteForByte)
{
    const auto source = dir / "in.wav";
    fixtures::WriteWav(source, {44100, 2, 44100 * 4});
    std::vector<std::string> files;
    for (int threads : {1, 2}) {
        SetMp3EncoderThreads(threads);
        const auto out = dir / ("out" + std::to_string(threads) + ".mp3");
        auto job = BuildWrite(source, out, {.bitrate = 192});
        ASSERT_EQ(RunJob(job), EC_COMPLETE) << job.graph->ErrorReason();
        files.push_back(Slurp(out));
    }
    EXPECT_EQ(files[0], files[1]);
}

TEST_F(RenderWrite, TheEncoderThreadsFollowTheMachineAndCanBePinned)
{
    const int machine = Mp3EncoderThreads();
    EXPECT_GE(machine, 1);
    EXPECT_LE(machine, std::max(1u, std::thread::hardware_concurrency()));
    SetMp3EncoderThreads(5);
    EXPECT_EQ(Mp3EncoderThreads(), 5);
    SetMp3EncoderThreads(0);
    EXPECT_EQ(Mp3EncoderThreads(), machine);
}

TEST_F(RenderWrite, AStoppedSegmentedEncoderTakesNoMoreAudioAndWritesNothingMore)
{
    // The graph's pushing thread may hand over one more block after the
    // stop it raced with: the segment it would go to has been dropped.
    auto make = [] {
        LameHandle lame(lame_init());
        lame_set_num_channels(lame.get(), 2);
        lame_set_in_samplerate(lame.get(), 44100);
        lame_set_out_samplerate(lame.get(), 44100);
        lame_set_brate(lame.get(), 128);
        return lame_init_params(lame.get()) == 0 ? std::move(lame) : LameHandle();
    };
    std::mutex mutex;
    std::uint64_t written = 0;
    CParallelMp3Encoder encoder(make, 2, 44100, 3, [&](std::uint64_t, const unsigned char*, std::size_t size) {
        std::lock_guard lock(mutex);
        written += size;
        return S_OK;
    });
    ASSERT_EQ(encoder.Start(), CParallelMp3Encoder::Outcome::Done);
    const auto samples = fixtures::MakeSamples({44100, 2, 44100 * 25, true}); // three segments
    ASSERT_EQ(encoder.Encode(samples.data(), 44100 * 25), CParallelMp3Encoder::Outcome::Done);
    encoder.Stop();
    const std::uint64_t atStop = [&] {
        std::lock_guard lock(mutex);
        return written;
    }();
    EXPECT_GT(atStop, 0u);
    EXPECT_NE(encoder.Encode(samples.data(), 44100), CParallelMp3Encoder::Outcome::Done) << "a stopped encoder took audio";
    EXPECT_NE(encoder.Finish(), CParallelMp3Encoder::Outcome::Done) << "a stopped encoder finished a stream";
    std::lock_guard lock(mutex);
    EXPECT_EQ(written, atStop);
}
