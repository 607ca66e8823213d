// Joining two encoders' streams, on made-up MPEG-1 Layer III frames whose
// side information each case chooses: which frame the join takes (the
// windows on either side of it, the bit reservoir), and where the packer then
// lays every frame's main data.

#include "media/filters/Mp3Stitch.h"

#include "media/decode/MpegFrames.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace {

// 44.1 kHz stereo at 32 kbps without CRC: 104-byte frames, 32 bytes of side
// information, 68 bytes of main-data area.
constexpr unsigned char kHeader[4] = {0xFF, 0xFB, 0x10, 0x00};
constexpr int kFrameBytes = 104;
constexpr int kSideInfoEnd = 4 + 32;
constexpr int kArea = kFrameBytes - kSideInfoEnd;
constexpr int kFrames = 7; // frames 0..6 in both runs

enum Block : std::uint8_t { kLong = 0, kStart = 1, kShort = 2, kStop = 3 };

struct FramePlan {
    std::uint8_t block[2][2] = {}; // [granule][channel]
    int begin = 0;                 // main_data_begin
    int bytes = 40;                // main data: 28 bytes of the area stay free
};

FramePlan Windows(std::uint8_t first, std::uint8_t last, int begin = 0, int bytes = 40)
{
    FramePlan f;
    f.block[0][0] = f.block[0][1] = first;
    f.block[1][0] = f.block[1][1] = last;
    f.begin = begin;
    f.bytes = bytes;
    return f;
}

FramePlan Data(int begin, int bytes)
{
    return Windows(kLong, kLong, begin, bytes);
}

// Byte k of frame n's main data in run `id`: tells runs and frames apart.
unsigned char DataByte(int id, std::int64_t frame, int k)
{
    return static_cast<unsigned char>(1 + (id * 97 + frame * 31 + k) % 251);
}

class BitWriter {
public:
    explicit BitWriter(unsigned char* bytes) : m_bytes(bytes) {}
    void Put(unsigned value, int bits)
    {
        while (bits-- > 0) {
            if ((value >> bits) & 1u)
                m_bytes[m_position >> 3] |= static_cast<unsigned char>(0x80u >> (m_position & 7));
            ++m_position;
        }
    }

private:
    unsigned char* m_bytes;
    std::size_t m_position = 0;
};

// Byte `position` of a stream of kArea-byte main-data areas, in frame bytes.
std::size_t AreaByte(std::int64_t position)
{
    return std::size_t(position / kArea * kFrameBytes + kSideInfoEnd + position % kArea);
}

// The frames as an encoder would have written them: side information with
// each frame's main_data_begin, part2_3_length and window types, its main
// data laid where main_data_begin says. Throws when a plan does not fit.
EncodedRun MakeRun(int id, const std::vector<FramePlan>& plans)
{
    EncodedRun run;
    run.opensWithAudio = true;
    run.bytes.assign(plans.size() * kFrameBytes, 0);
    std::int64_t dataEnd = 0;
    for (std::size_t n = 0; n < plans.size(); ++n) {
        const FramePlan& f = plans[n];
        unsigned char* frame = &run.bytes[n * kFrameBytes];
        std::copy(kHeader, kHeader + 4, frame);
        BitWriter side(frame + 4);
        side.Put(unsigned(f.begin), 9);
        side.Put(0, 3 + 8); // private bits, scfsi
        const int bits = f.bytes * 8;
        for (int granule = 0; granule < 2; ++granule) {
            for (int ch = 0; ch < 2; ++ch) {
                // Spread over the four parts, as the parser must add them up.
                side.Put(unsigned(granule + ch == 0 ? bits - 3 * (bits / 4) : bits / 4), 12);
                side.Put(0, 9 + 8 + 4); // big_values, global_gain, scalefac_compress
                const std::uint8_t type = f.block[granule][ch];
                side.Put(type != kLong, 1);
                if (type != kLong) {
                    side.Put(type, 2);
                    side.Put(0, 1 + 10 + 9);
                } else {
                    side.Put(0, 15 + 4 + 3);
                }
                side.Put(0, 3);
            }
        }
        const std::int64_t area = std::int64_t(n) * kArea;
        const std::int64_t start = area - f.begin;
        if (start < dataEnd || start + f.bytes > area + kArea)
            throw std::logic_error("made-up frame " + std::to_string(n) + " does not fit its run");
        for (int k = 0; k < f.bytes; ++k)
            run.bytes[AreaByte(start + k)] = DataByte(id, std::int64_t(n), k);
        dataEnd = start + f.bytes;
    }
    if (!ParseEncodedRun(run))
        throw std::logic_error("made-up run not parsed");
    return run;
}

// The parser read back what MakeRun wrote.
void ExpectParsedAsWritten(const EncodedRun& run, const std::vector<FramePlan>& plans)
{
    ASSERT_EQ(run.frames.size(), plans.size());
    EXPECT_EQ(run.infoFrameBytes, 0u);
    for (std::size_t n = 0; n < plans.size(); ++n) {
        SCOPED_TRACE("frame " + std::to_string(n));
        const Layer3Frame& f = run.frames[n];
        EXPECT_EQ(f.offset, n * kFrameBytes);
        EXPECT_EQ(f.frameBytes, kFrameBytes);
        EXPECT_EQ(f.sideInfoEnd, kSideInfoEnd);
        EXPECT_EQ(f.areaPosition, std::int64_t(n) * kArea);
        EXPECT_EQ(f.channels, 2);
        EXPECT_EQ(f.mainDataBegin, plans[n].begin);
        EXPECT_EQ(f.mainDataBytes, plans[n].bytes);
        for (int ch = 0; ch < 2; ++ch) {
            EXPECT_EQ(f.firstBlockType[ch], plans[n].block[0][ch]);
            EXPECT_EQ(f.lastBlockType[ch], plans[n].block[1][ch]);
        }
    }
}

using Overrides = std::vector<std::pair<int, FramePlan>>;

std::vector<FramePlan> Frames(const FramePlan& base, const Overrides& overrides)
{
    std::vector<FramePlan> frames(kFrames, base);
    for (const auto& [n, plan] : overrides)
        frames[std::size_t(n)] = plan;
    return frames;
}

struct JoinCase {
    const char* name;
    FramePlan previousBase, nextBase; // every frame but the overridden ones
    Overrides previous, next;
    std::int64_t from, to; // the frames searched for the next run's first
    std::int64_t index;    // expected join; -1: none
    int rank;
};

// Default frames: long blocks, their data at their own area with 28 bytes
// left free, so that the next run's frame fits after any of them as it is.
const JoinCase kJoins[] = {
    {"long blocks on both sides: the first frame joins", {}, {}, {}, {}, 3, 5, 3, 0},
    {"a start block followed by a long one does not continue: the next frame joins", {}, {},
     {{2, Windows(kLong, kStart)}, {3, Windows(kShort, kStop)}}, {}, 3, 5, 4, 0},
    {"a start block followed by a short one continues", {}, {},
     {{2, Windows(kLong, kStart)}}, {{3, Windows(kShort, kStop)}}, 3, 5, 3, 0},
    {"a short block after a long one does not continue", {}, {},
     {}, {{3, Windows(kShort, kStop)}}, 3, 5, 4, 0},
    {"a short block in the second channel alone breaks the windows", {}, {},
     {}, {{3, [] { FramePlan f = Data(0, 40); f.block[0][1] = kShort; f.block[1][1] = kStop; return f; }()}},
     3, 5, 4, 0},
    {"the previous frame's second granule meets the next frame's first", {}, {},
     {{1, Windows(kLong, kStart)}, {2, Windows(kShort, kStop)}},
     {{3, Windows(kStart, kShort)}, {4, Windows(kStop, kLong)}}, 3, 5, 3, 0},
    {"a reservoir larger than the free bytes: the frame after joins as it is", {}, {},
     {}, {{2, Data(0, 10)}, {3, Data(50, 40)}}, 3, 5, 4, 0},
    {"the only frame in reach needs its data moved", {}, {},
     {}, {{2, Data(0, 10)}, {3, Data(50, 40)}}, 3, 3, 3, 1},
    {"a reservoir that cannot fit even moved is no join", {}, {},
     {}, {{2, Data(0, 10)}, {3, Data(50, 110)}}, 3, 3, -1, 3},
    {"a move that overflows a later frame is no join", {}, {},
     {{2, Data(0, 60)}}, {{3, Data(20, 60)}, {4, Data(28, 96)}}, 3, 3, -1, 3},
    {"a move carries on until a frame lies where its encoder put it", {}, {},
     {{2, Data(0, 60)}}, {{3, Data(20, 60)}, {4, Data(28, 50)}, {5, Data(46, 40)}}, 3, 3, 3, 1},
    {"moved data where the windows continue beats moved data where they do not",
     Data(0, 60), Data(20, 40),
     {{2, Windows(kLong, kStart, 0, 60)}, {3, Windows(kShort, kStop, 0, 60)}}, {{0, Data(0, 40)}}, 3, 5, 4, 1},
    {"windows broken at every frame: the first where the data fits", {}, {},
     {{2, Windows(kLong, kStart)}, {3, Windows(kShort, kShort)}, {4, Windows(kShort, kShort)}}, {}, 3, 5, 3, 2},
};

class Mp3StitchJoin : public ::testing::Test {
protected:
    struct Runs {
        std::vector<FramePlan> previousPlans, nextPlans;
        EncodedRun previous, next;
    };
    static Runs Make(const JoinCase& c)
    {
        Runs r;
        r.previousPlans = Frames(c.previousBase, c.previous);
        r.nextPlans = Frames(c.nextBase, c.next);
        r.previous = MakeRun(0, r.previousPlans);
        r.next = MakeRun(1, r.nextPlans);
        return r;
    }
};

} // namespace

TEST_F(Mp3StitchJoin, TakesTheFirstFrameWhereTheWindowsContinueAndTheReservoirFits)
{
    for (const JoinCase& c : kJoins) {
        SCOPED_TRACE(c.name);
        const Runs r = Make(c);
        ExpectParsedAsWritten(r.previous, r.previousPlans);
        ExpectParsedAsWritten(r.next, r.nextPlans);
        const JoinChoice choice = ChooseJoinFrame(r.previous, r.next, c.from, c.to);
        EXPECT_EQ(choice.index, c.index);
        EXPECT_EQ(choice.rank, c.rank);
    }
}

// A join where the window halves of the two frames meet: the right half of
// a long or stop block is long, the left half of a long or start block is.
TEST_F(Mp3StitchJoin, JoinsOnlyWhereTheWindowHalvesMeet)
{
    // continues[last block type before][first block type after]
    constexpr bool continues[4][4] = {
        /* long  */ {true, true, false, false},
        /* start */ {false, false, true, true},
        /* short */ {false, false, true, true},
        /* stop  */ {true, true, false, false},
    };
    for (std::uint8_t last = 0; last < 4; ++last) {
        for (std::uint8_t first = 0; first < 4; ++first) {
            SCOPED_TRACE("block type " + std::to_string(last) + " then " + std::to_string(first));
            // Frame 4 of the next run follows long blocks in the previous
            // one, so it joins wherever frame 3 does not.
            const EncodedRun previous = MakeRun(0, Frames({}, {{2, Windows(last, last)}}));
            const EncodedRun next = MakeRun(1, Frames({}, {{3, Windows(first, kLong)}}));
            const JoinChoice choice = ChooseJoinFrame(previous, next, 3, 5);
            EXPECT_EQ(choice.index, continues[last][first] ? 3 : 4);
            EXPECT_EQ(choice.rank, 0);
        }
    }
}

// Packed at the chosen join (the previous run's frames before it, the next
// run's from it on), every frame keeps its header and side information but
// main_data_begin, and its main data lies where main_data_begin points. Data
// moves only where the join made it: never where it fitted as it was.
TEST_F(Mp3StitchJoin, PackedFramesFindTheirMainDataWhereMainDataBeginSays)
{
    for (const JoinCase& c : kJoins) {
        if (c.index < 0)
            continue;
        SCOPED_TRACE(c.name);
        const Runs r = Make(c);
        std::vector<unsigned char> out;
        CMainDataPacker packer([&out](const unsigned char* bytes, std::size_t size) {
            out.insert(out.end(), bytes, bytes + size);
            return true;
        });
        for (std::int64_t n = 0; n < kFrames; ++n)
            ASSERT_TRUE(packer.Add(n < c.index ? r.previous : r.next, n)) << "frame " << n;
        ASSERT_TRUE(packer.Finish());
        ASSERT_EQ(out.size(), std::size_t(kFrames * kFrameBytes));
        EXPECT_EQ(packer.FramesWritten(), kFrames);
        EXPECT_EQ(packer.BytesWritten(), out.size());

        std::vector<unsigned char> stream; // the main-data areas in order
        for (int n = 0; n < kFrames; ++n)
            stream.insert(stream.end(), out.begin() + n * kFrameBytes + kSideInfoEnd,
                          out.begin() + (n + 1) * kFrameBytes);
        std::int64_t dataEnd = 0;
        for (std::int64_t n = 0; n < kFrames; ++n) {
            SCOPED_TRACE("frame " + std::to_string(n));
            const bool fromNext = n >= c.index;
            const EncodedRun& run = fromNext ? r.next : r.previous;
            const FramePlan& plan = (fromNext ? r.nextPlans : r.previousPlans)[std::size_t(n)];
            const unsigned char* frame = &out[std::size_t(n) * kFrameBytes];
            const unsigned char* encoded = &run.bytes[run.At(n).offset];
            EXPECT_TRUE(std::equal(frame, frame + 4, encoded)) << "header";
            EXPECT_EQ(frame[5] & 0x7F, encoded[5] & 0x7F) << "side information";
            EXPECT_TRUE(std::equal(frame + 6, frame + kSideInfoEnd, encoded + 6)) << "side information";

            const int begin = (frame[4] << 1) | (frame[5] >> 7);
            if (c.rank == 0 || n < c.index) {
                EXPECT_EQ(begin, plan.begin) << "moved though it fitted";
            }
            if (c.rank == 1 && n == c.index) {
                EXPECT_LT(begin, plan.begin) << "the join frame's data had to move";
            }
            const std::int64_t start = n * kArea - begin;
            ASSERT_GE(start, dataEnd) << "overlaps the frame before";
            ASSERT_LE(start + plan.bytes, (n + 1) * kArea) << "runs past its own area";
            for (int k = 0; k < plan.bytes; ++k)
                ASSERT_EQ(stream[std::size_t(start + k)], DataByte(fromNext ? 1 : 0, n, k)) << "byte " << k;
            dataEnd = start + plan.bytes;
        }
    }
}
