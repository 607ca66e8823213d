#pragma once
// Joins the MP3 streams that several LAME encoders made of overlapping
// stretches of one piece into one stream, as if one encoder had made it.
//
// Every encoder starts on the same frame grid, so frame n of one run and
// frame n of the next code the same audio. At a join the next run's frames
// take over; what needs care is the bit reservoir: a frame's main data may
// start in the bytes of the frames before it. The packer below lays each
// frame's main data where its encoder put it whenever there is room, and
// just after the previous frame's data otherwise, and rewrites
// main_data_begin to match. The info frame is then rebuilt for the whole
// stream (frame and byte counts, seek table, padding, checksums).

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <vector>

// One Layer III frame of a run, as far as joining needs it.
struct Layer3Frame {
    std::size_t offset = 0;         // of its header in the run's bytes
    int frameBytes = 0;             // header to the next header
    int sideInfoEnd = 0;            // header and side information
    int mainDataBegin = 0;          // main data bytes that lie before its area
    int mainDataBytes = 0;          // its main data (part2_3_length, whole bytes)
    std::int64_t areaPosition = 0;  // its area (after the side information) in the run's main-data stream
    int channels = 0;
    std::uint8_t firstBlockType[2] = {0, 0}; // window of the first and last granule
    std::uint8_t lastBlockType[2] = {0, 0};
    int AreaBytes() const { return frameBytes - sideInfoEnd; }
};

// One encoder's output. Frame numbers count the whole piece's audio frames.
struct EncodedRun {
    std::vector<unsigned char> bytes;
    std::vector<Layer3Frame> frames; // complete audio frames; the info frame is not one of them
    std::int64_t firstIndex = 0;     // the number of frames[0]
    std::size_t infoFrameBytes = 0;  // LAME's info frame at the start of `bytes` (0: none)
    bool opensWithAudio = false;     // frames before were dropped: `bytes` starts with an audio frame

    std::int64_t EndIndex() const { return firstIndex + static_cast<std::int64_t>(frames.size()); }
    bool Has(std::int64_t index) const { return index >= firstIndex && index < EndIndex(); }
    const Layer3Frame& At(std::int64_t index) const { return frames[static_cast<std::size_t>(index - firstIndex)]; }
};

// Bytes of LAME's info frame at the start of `bytes`: the finished one, or
// the place LAME keeps for it (a header and nothing but zeros). 0 when the
// stream starts otherwise, e.g. with an audio frame where LAME writes no
// info frame (its tag does not fit a frame at the lowest bit rates).
std::size_t LameInfoFrameBytes(const unsigned char* bytes, std::size_t size);

// Finds the frames of `run.bytes`: LAME's info frame first when there is one,
// then Layer III frames without CRC; a frame cut short at the end is left
// out. False when the bytes are not such a stream.
bool ParseEncodedRun(EncodedRun& run);

// The frame at which `next` takes over from `previous`, searched in
// [from, to], and how good a place it is: rank 0, the windows of the frame
// before it lead into its own and its reservoir fits as it is; rank 1, the
// windows match but data has to move; rank 2, only the data fits. The first
// of the best rank; index -1 when there is none.
struct JoinChoice {
    std::int64_t index = -1;
    int rank = 3;
};
JoinChoice ChooseJoinFrame(const EncodedRun& previous, const EncodedRun& next, std::int64_t from, std::int64_t to);

// Lays out frames one after another (see above) and hands each finished
// frame to `sink`, in order; a frame is finished once no later frame's data
// can land in it. Counts what it wrote and the CRC-16 of it, as the info
// frame wants them.
class CMainDataPacker {
public:
    using Sink = std::function<bool(const unsigned char* bytes, std::size_t size)>;
    explicit CMainDataPacker(Sink sink) : m_sink(std::move(sink)) {}

    // Appends frame `index` of `run`. False when its data cannot be placed
    // (or the sink refused bytes).
    bool Add(const EncodedRun& run, std::int64_t index);
    // Writes the frames still held.
    bool Finish();

    std::int64_t FramesWritten() const { return m_framesWritten; }
    std::uint64_t BytesWritten() const { return m_bytesWritten; }
    std::uint16_t Crc() const { return m_crc; }

private:
    struct Slot {
        std::vector<unsigned char> bytes;
        int sideInfoEnd = 0;
        std::int64_t areaPosition = 0;
        const EncodedRun* run = nullptr;
        std::int64_t AreaEnd() const { return areaPosition + static_cast<std::int64_t>(bytes.size()) - sideInfoEnd; }
    };
    // Calls fn(slot, bytes, n) for each held slot's share of the main-data
    // stream [from, from + size); false when the slots do not hold all of it.
    template <typename Fn>
    bool ForEachSpan(std::int64_t from, std::int64_t size, Fn fn);
    bool WriteFinished(std::int64_t upTo);

    Sink m_sink;
    std::deque<Slot> m_slots;
    std::int64_t m_areaEnd = 0;
    std::int64_t m_dataEnd = 0;
    std::int64_t m_framesWritten = 0;
    std::uint64_t m_bytesWritten = 0;
    std::uint16_t m_crc = 0;
};

// LAME's info frame `frame` (as lame_get_lametag_frame gives it) rewritten to
// describe a stream of `frames` audio frames holding `audioBytes` bytes after
// it with CRC `musicCrc`, whose last `padding` samples are padding. False
// when `frame` is no info frame.
bool RewriteInfoFrame(std::vector<unsigned char>& frame, std::int64_t frames, std::uint64_t audioBytes,
                      std::uint16_t musicCrc, int padding);
// The encoder delay an info frame carries (-1: none).
int InfoFrameDelay(const std::vector<unsigned char>& frame);
