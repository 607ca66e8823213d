// MP3 pieces cut without re-encoding, on files made by Debian's lame: each
// piece decoded by libmpg123 (gapless) against its decode of the whole
// source, the piece's Info frame and donor frame, and the cases that are
// refused or re-encoded instead.

#include "SplitJob.h"

#include "JobAssertions.h"
#include "Mp3CopyPlan.h"

#include "media/decode/InfoFrame.h"
#include "media/decode/Mp3Layout.h"
#include "media/decode/MpegFrames.h"

#include <Fixtures.h>
#include <Process.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <random>

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<unsigned char>;

Bytes ReadBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::uint32_t BigEndian32(const unsigned char* p)
{
    return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) | p[3];
}

// An MP3 file cut into its parts: leading ID3v2 tag, first frame (the Info
// frame when there is one), the frames after it, trailing ID3v1 tag.
struct Stream {
    std::size_t id3v2 = 0; // bytes of the leading tag
    MpegFrameHeader first;
    std::vector<std::size_t> frames; // offsets of the frames after the first
    std::size_t end = 0;             // end of the last frame
    bool id3v1 = false;

    std::size_t InfoAt() const { return id3v2 + 4 + std::size_t(first.SideInfoBytes()); }
    std::size_t LameAt() const { return InfoAt() + 120; }
};

Stream Parse(const Bytes& file)
{
    Stream s;
    if (file.size() > 10 && std::memcmp(file.data(), "ID3", 3) == 0)
        s.id3v2 = 10 + ((file[6] << 21) | (file[7] << 14) | (file[8] << 7) | file[9]);
    s.id3v1 = file.size() >= 128 && std::memcmp(&file[file.size() - 128], "TAG", 3) == 0;
    const std::size_t limit = file.size() - (s.id3v1 ? 128 : 0);
    s.first = *MpegFrameHeader::Parse(&file[s.id3v2]);
    std::size_t at = s.id3v2 + std::size_t(s.first.frameBytes);
    while (at + 4 <= limit) {
        const auto header = MpegFrameHeader::Parse(&file[at]);
        if (!header || at + std::size_t(header->frameBytes) > limit)
            break;
        s.frames.push_back(at);
        at += std::size_t(header->frameBytes);
    }
    s.end = at;
    return s;
}

// What a source kind is made of, and how close its pieces must decode.
struct Kind {
    const char* name;
    fixtures::Signal signal;
    fixtures::Mp3Options options;
    int maxLsb; // largest difference to the source's decode, in 16-bit steps
};

void PrintTo(const Kind& kind, std::ostream* out)
{
    *out << kind.name;
}

constexpr std::int64_t kSeconds = 3;

const Kind kKinds[] = {
    {"Cbr32", {44100, 2, 44100 * kSeconds}, {.bitrateKbps = 32}, 0},
    {"Cbr128", {44100, 2, 44100 * kSeconds}, {.bitrateKbps = 128}, 0},
    {"Cbr192", {48000, 2, 48000 * kSeconds}, {.bitrateKbps = 192}, 0},
    {"Cbr320", {44100, 2, 44100 * kSeconds}, {.bitrateKbps = 320}, 0},
    {"VbrV2", {44100, 2, 44100 * kSeconds}, {.vbr = true, .vbrQuality = 2}, 0},
    {"VbrV9", {44100, 2, 44100 * kSeconds}, {.vbr = true, .vbrQuality = 9}, 0},
    {"Crc", {44100, 2, 44100 * kSeconds}, {.bitrateKbps = 128, .crc = true}, 0},
    {"Mono", {44100, 1, 44100 * kSeconds}, {.bitrateKbps = 64}, 1},
    {"Mpeg2", {22050, 2, 22050 * kSeconds}, {.bitrateKbps = 64}, 1},
    {"Mpeg25", {11025, 2, 11025 * kSeconds}, {.bitrateKbps = 16}, 1}, // frames too small for an Info frame
    {"NoInfoFrame", {44100, 2, 44100 * kSeconds}, {.bitrateKbps = 128, .xingHeader = false}, 0},
    // Info frames without LAME's extension: the decoder cuts only its own delay.
    {"BareInfo", {44100, 2, 44100 * kSeconds}, {.bitrateKbps = 128, .infoFields = fixtures::InfoFields::Xing}, 0},
    {"BareXing", {44100, 2, 44100 * kSeconds},
     {.vbr = true, .vbrQuality = 2, .infoFields = fixtures::InfoFields::Xing}, 0},
    {"BareInfoMpeg2", {22050, 2, 22050 * kSeconds}, {.bitrateKbps = 64, .infoFields = fixtures::InfoFields::Xing}, 1},
    // No frame count either: the decoder cuts nothing.
    {"XingWithoutFrameCount", {44100, 2, 44100 * kSeconds},
     {.vbr = true, .vbrQuality = 2, .infoFields = fixtures::InfoFields::XingWithoutFrameCount}, 0},
    {"Tagged", {44100, 2, 44100 * kSeconds},
     {.bitrateKbps = 128, .id3v1 = true, .id3v2 = true, .id3v2PictureBytes = 3000}, 0},
};

class CopyTest : public ::testing::Test {
protected:
    void SetUp() override { ::setenv("XDG_CACHE_HOME", (dir / "cache").c_str(), 1); }

    SplitPieceRequest Request(const fs::path& source, std::int64_t first, std::int64_t end, int rate, SplitCopy copy)
    {
        SplitPieceRequest r;
        r.sourcePath = source;
        r.outputDir = dir / "Split";
        r.outputName = source.filename();
        r.copy = copy;
        r.start = FrameToTime(first, rate);
        r.stop = FrameToTime(end, rate);
        return r;
    }

    static JobResult RunPiece(CSplitJob& job)
    {
        if (JobResult built = job.Build(); !built)
            return built;
        return RunBuilt(job);
    }

    static JobResult RunBuilt(CSplitJob& job)
    {
        job.Run();
        JobStatus status = JobStatus::Running;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (status == JobStatus::Running && std::chrono::steady_clock::now() < deadline)
            status = job.WaitStep(50);
        return job.Finish(status);
    }

    fixtures::TempDir dir;
};

class Mp3Copy : public CopyTest, public ::testing::WithParamInterface<Kind> {};

// The Info frame of a file as lame or the copy wrote it: its fields, and
// both CRCs recomputed over the bytes they cover.
void ExpectInfoFrameCrcs(const Bytes& file, const Stream& s)
{
    const unsigned char* lame = &file[s.LameAt()];
    const std::size_t tagCrcAt = s.LameAt() + 34;
    EXPECT_EQ(LameCrc16(&file[s.id3v2], tagCrcAt - s.id3v2), (lame[34] << 8) | lame[35]) << "tag CRC";
    const std::size_t audio = s.id3v2 + std::size_t(s.first.frameBytes);
    EXPECT_EQ(LameCrc16(&file[audio], s.end - audio), (lame[32] << 8) | lame[33]) << "music CRC";
    EXPECT_EQ(BigEndian32(lame + 28), s.end - s.id3v2) << "music length";
}

} // namespace

TEST_P(Mp3Copy, PiecesDecodeToTheSourcesSamplesAndCarryAWellFormedInfoFrame)
{
    const Kind& kind = GetParam();
    const fs::path source = dir / "song.mp3";
    fixtures::WriteMp3(source, kind.signal, kind.options);
    const Bytes sourceBytes = ReadBytes(source);
    const Stream sourceStream = Parse(sourceBytes);
    if (std::memcmp(&sourceBytes[sourceStream.LameAt()], "LAME", 4) == 0) {
        SCOPED_TRACE("lame's own Info frame: the CRCs are computed as lame does");
        ExpectInfoFrameCrcs(sourceBytes, sourceStream);
    }

    const fixtures::Decoded whole = fixtures::ReadAudio(source);
    const int rate = whole.sampleRate, channels = whole.channels;
    const std::int64_t length = whole.Frames();
    const bool mpeg1 = rate >= 32000;
    const std::int64_t spf = mpeg1 ? 1152 : 576;
    std::mt19937 random(1234);
    auto anywhere = [&](std::int64_t from, std::int64_t to) {
        return std::uniform_int_distribution<std::int64_t>(from, to)(random);
    };
    const std::int64_t few = anywhere(0, length - 2 * spf);
    const std::int64_t a = anywhere(0, length / 2), b = anywhere(length / 2 + 2 * spf, length);
    const std::int64_t c = anywhere(1, 3 * spf);
    const std::vector<std::pair<std::int64_t, std::int64_t>> cuts{
        {0, rate},                          // the file's start
        {length - rate * 13 / 10, length},  // the file's end
        {few, few + 2 * spf},               // the shortest piece copied
        {a, b},
        {c, c + 5 * spf + 17},              // near the start, where fewer frames lie before
        {0, length},
        {length - rate, length + rate / 10}, // a stop past the end: the piece ends with the file
    };
    for (std::size_t i = 0; i < cuts.size(); ++i) {
        const auto [first, stop] = cuts[i];
        const std::int64_t end = std::min(stop, length);
        SCOPED_TRACE(std::string(kind.name) + " piece [" + std::to_string(first) + ", " + std::to_string(stop) + ")");
        SplitPieceRequest request = Request(source, first, stop, rate, SplitCopy::Required);
        request.pieceIndex = int(i);
        CSplitJob job(request);
        ASSERT_TRUE(Succeeded(RunPiece(job)));
        EXPECT_TRUE(job.CopiesFrames());
        EXPECT_EQ(job.Progress(), kSplitProgressRange);

        // The samples: length and first sample exact, the rest within the kind's steps.
        const fixtures::Decoded piece = fixtures::ReadAudio(job.OutputPath());
        ASSERT_EQ(piece.Frames(), end - first);
        ASSERT_EQ(piece.channels, channels);
        const auto from = whole.samples.begin() + first * channels;
        // The first sample is the source's sample `first`: the start matches
        // there better than one sample earlier or later.
        auto misfit = [&](std::int64_t lag) {
            double sum = 0;
            for (std::int64_t k = 0; k < 256 * channels; ++k)
                sum += std::abs(piece.samples[std::size_t(k)] - from[std::ptrdiff_t(k + lag * channels)]);
            return sum;
        };
        EXPECT_LT(misfit(0), misfit(1)) << "first sample";
        if (first > 0) {
            EXPECT_LT(misfit(0), misfit(-1)) << "first sample";
        }
        if (kind.maxLsb == 0) {
            EXPECT_TRUE(std::equal(piece.samples.begin(), piece.samples.begin() + channels, from)) << "first sample";
        }
        float worst = 0;
        for (std::size_t k = 0; k < piece.samples.size(); ++k)
            worst = std::max(worst, std::abs(piece.samples[k] - from[std::ptrdiff_t(k)]));
        EXPECT_LE(worst * 32768.0f, float(kind.maxLsb)) << "largest difference";

        // The file: the source's tags written anew (ID3v2.3) around a new
        // Info frame; an untagged source gives an untagged piece.
        const Bytes bytes = ReadBytes(job.OutputPath());
        const Stream s = Parse(bytes);
        ASSERT_EQ(s.id3v2 > 0, sourceStream.id3v2 > 0);
        if (s.id3v2 > 0) {
            EXPECT_EQ(bytes[3], 3) << "ID3v2 version";
        }
        ASSERT_EQ(s.id3v1, sourceStream.id3v1);
        EXPECT_EQ(s.end, bytes.size() - (s.id3v1 ? 128 : 0)) << "nothing but frames between the tags";
        const unsigned char* info = &bytes[s.InfoAt()];
        bool varies = false;
        for (std::size_t k = 2; k < s.frames.size(); ++k)
            varies = varies || MpegFrameHeader::Parse(&bytes[s.frames[k]])->bitrateIndex !=
                                   MpegFrameHeader::Parse(&bytes[s.frames[1]])->bitrateIndex;
        EXPECT_EQ(std::string(info, info + 4), varies ? "Xing" : "Info");
        EXPECT_EQ(BigEndian32(info + 4), 0x0Fu) << "frames, bytes, TOC and quality";
        EXPECT_EQ(BigEndian32(info + 8), s.frames.size()) << "frame count";
        EXPECT_EQ(BigEndian32(info + 12), s.end - s.id3v2) << "byte count";
        EXPECT_EQ(info[16], 0) << "TOC starts at the first frame";
        EXPECT_TRUE(std::is_sorted(info + 16, info + 116)) << "TOC";
        const unsigned char* lame = &bytes[s.LameAt()];
        EXPECT_EQ(std::string(lame, lame + 4), "LAME");
        EXPECT_TRUE(std::all_of(lame + 11, lame + 19, [](unsigned char x) { return x == 0; })) << "peak and gains";
        const int delay = (lame[21] << 4) | (lame[22] >> 4);
        const int padding = ((lame[22] & 0x0F) << 8) | lame[23];
        EXPECT_LE(delay, mpeg1 ? 2926 : 1774);
        EXPECT_GE(padding, 529);
        EXPECT_LE(padding, 529 + spf - 1);
        // The length a player shows before it has decoded the piece.
        EXPECT_EQ(std::int64_t(s.frames.size()) * spf - delay - padding, piece.Frames()) << "announced length";
        ExpectInfoFrameCrcs(bytes, s);

        // The donor: a silent frame (zero side information) whose main-data
        // area holds what the first copied frame reaches back for.
        ASSERT_GE(s.frames.size(), 3u);
        const auto donor = *MpegFrameHeader::Parse(&bytes[s.frames[0]]);
        const auto next = *MpegFrameHeader::Parse(&bytes[s.frames[1]]);
        const unsigned char* side = &bytes[s.frames[0] + 4];
        EXPECT_TRUE(std::all_of(side, side + donor.SideInfoBytes(), [](unsigned char x) { return x == 0; }));
        const unsigned char* nextSide = &bytes[s.frames[1] + 4 + (next.crcProtected ? 2 : 0)];
        const int reach = mpeg1 ? (nextSide[0] << 1) | (nextSide[1] >> 7) : nextSide[0];
        EXPECT_LE(reach, donor.frameBytes - 4 - donor.SideInfoBytes());
    }
}

INSTANTIATE_TEST_SUITE_P(Kinds, Mp3Copy, ::testing::ValuesIn(kKinds),
                         [](const ::testing::TestParamInfo<Kind>& test) { return std::string(test.param.name); });

// --- refused, re-encoded, and what is left on disk ---------------------------

using Mp3CopyLimits = CopyTest;

TEST_F(Mp3CopyLimits, RefusalIsToldAndFallsBackToReEncodingWhenAllowed)
{
    const fixtures::Signal signal{44100, 2, 44100 * 2};
    const fs::path mp3 = dir / "song.mp3", freeFormat = dir / "free.mp3", wav = dir / "song.wav",
                   layer2 = dir / "song.mp2";
    fixtures::WriteMp3(mp3, signal);
    fixtures::WriteMp3(freeFormat, signal, {.bitrateKbps = 400, .freeFormat = true});
    fixtures::WriteWav(wav, signal);
    const auto sox = fixtures::RunProcess({"sox", wav.string(), layer2.string()});
    ASSERT_EQ(sox.exitCode, 0) << sox.err;

    struct Case {
        fs::path source;
        std::int64_t first, end;
        bool mp3Output;
        const char* reason;
    };
    const Case cases[] = {
        {layer2, 0, 44100, true, "Layer II"},
        {freeFormat, 0, 44100, true, "free format"},
        {wav, 0, 44100, true, "no MPEG audio"},
        {mp3, 0, 44100, false, "WAV"},
        {mp3, 44100, 44100 + 2 * 1152 - 1, true, "shorter than two MPEG frames"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.source.filename().string() + ": " + c.reason);
        SplitPieceRequest request = Request(c.source, c.first, c.end, 44100, SplitCopy::Required);
        request.mp3Output = c.mp3Output;
        if (c.mp3Output) { // what the settings dialog shows before the run
            EXPECT_NE(Mp3CopyRefusal(c.source, request.start, request.stop).find(c.reason), std::string::npos);
        }
        CSplitJob required(request);
        const JobResult refused = required.Build();
        EXPECT_FALSE(refused);
        EXPECT_NE(refused.Reason().find(c.reason), std::string::npos) << refused.Reason();

        request.copy = SplitCopy::WhenPossible;
        CSplitJob fallback(request);
        ASSERT_TRUE(Succeeded(fallback.Build()));
        EXPECT_FALSE(fallback.CopiesFrames());
        EXPECT_NE(fallback.CopyRefusal().find(c.reason), std::string::npos) << fallback.CopyRefusal();
    }
    EXPECT_FALSE(fs::exists(dir / "Split") && !fs::is_empty(dir / "Split"));
    EXPECT_EQ(Mp3CopyRefusal(mp3, 0, 10'000'000), "");

    // A re-encoded fallback is a whole piece like any other.
    CSplitJob fallback(Request(layer2, 0, 44100, 44100, SplitCopy::WhenPossible));
    ASSERT_TRUE(Succeeded(RunPiece(fallback)));
    EXPECT_EQ(fixtures::ReadAudio(fallback.OutputPath()).Frames(), 44100);
}

TEST_F(Mp3CopyLimits, NeverOverwritesAndLeavesNothingHalfWritten)
{
    const fs::path source = dir / "song.mp3";
    fixtures::WriteMp3(source, {44100, 2, 44100 * 2});

    // The name was free when the piece was planned, and is taken when it is
    // done: the piece takes the next number, the file there stays as it is.
    CSplitJob taken(Request(source, 0, 44100, 44100, SplitCopy::Required));
    ASSERT_TRUE(Succeeded(taken.Build()));
    const fs::path first = taken.OutputPath();
    std::ofstream(first) << "keep me";
    ASSERT_TRUE(Succeeded(RunBuilt(taken)));
    EXPECT_EQ(taken.OutputPath(), (dir / "Split" / "2-song.mp3").string());
    EXPECT_EQ(ReadBytes(first), Bytes({'k', 'e', 'e', 'p', ' ', 'm', 'e'}));
    EXPECT_EQ(fixtures::FolderNames(dir / "Split"), (std::vector<std::string>{"1-song.mp3", "2-song.mp3"}));

    // The source changed between planning and copying: the piece fails and goes.
    fs::remove_all(dir / "Split");
    CSplitJob changed(Request(source, 0, 44100, 44100, SplitCopy::Required));
    ASSERT_TRUE(Succeeded(changed.Build()));
    std::ofstream(source, std::ios::app) << "more";
    const JobResult fromChanged = RunBuilt(changed);
    EXPECT_FALSE(fromChanged);
    EXPECT_NE(fromChanged.Reason().find("changed"), std::string::npos) << fromChanged.Reason();
    EXPECT_TRUE(fixtures::FolderNames(dir / "Split").empty());

    // Cancelled before it ran: nothing is written.
    CSplitJob cancelled(Request(source, 0, 44100, 44100, SplitCopy::Required));
    ASSERT_TRUE(Succeeded(cancelled.Build()));
    cancelled.Stop(false);
    EXPECT_TRUE(fixtures::FolderNames(dir / "Split").empty());
}

TEST_F(CopyTest, APieceFromALayoutReadBeforeIsTheSamePieceAndAStaleLayoutIsNotUsed)
{
    const fs::path source = dir / "long.mp3";
    fixtures::WriteMp3(source, {44100, 2, 44100 * 4}, {.bitrateKbps = 128});
    auto layout = std::make_shared<Mp3Layout>();
    std::string reason;
    ASSERT_TRUE(ReadMp3Layout(source.string(), layout.get(), &reason)) << reason;
    // A layout of another file size (the source as it was before it grew)
    // is not taken for this one: the piece plans from the file itself.
    auto stale = std::make_shared<Mp3Layout>(*layout);
    stale->fileSize -= 1;
    stale->frames.resize(stale->frames.size() / 2);
    std::vector<std::string> pieces;
    for (const auto& given : {std::shared_ptr<Mp3Layout>(), layout, stale}) {
        SplitPieceRequest r = Request(source, 30000, 120000, 44100, SplitCopy::Required);
        r.mp3Layout = given;
        CSplitJob job(r);
        ASSERT_TRUE(Succeeded(RunPiece(job)));
        pieces.push_back(job.OutputPath());
    }
    EXPECT_EQ(ReadBytes(pieces[1]), ReadBytes(pieces[0]));
    EXPECT_EQ(ReadBytes(pieces[2]), ReadBytes(pieces[0]));
}
