#pragma once
// MPEG audio frames found by their headers: how a file's MPEG stream is told
// from other data, and which stretches inside the stream belong to no frame
// of it (damage, bytes spliced in).

#include "media/decode/FileBytes.h"

#include <cstdint>
#include <optional>
#include <vector>

struct MpegFrameHeader {
    int version = 0;   // the header's two bits: 3 MPEG-1, 2 MPEG-2, 0 MPEG-2.5
    int layer = 0;     // 1..3
    int rateIndex = 0; // 0..2, within the version
    bool mono = false;
    int frameBytes = 0; // header included; 0 for free format (size unknown)
    int bitrateIndex = 0; // 0 free format, 1..14
    int kbps = 0;         // 0 for free format
    bool crcProtected = false; // a 16-bit CRC follows the header
    unsigned char bytes[4] = {}; // the header as it stands in the file

    // Null when the four bytes are no valid frame header.
    static std::optional<MpegFrameHeader> Parse(const unsigned char* bytes);
    // Same version, layer, sample rate and channel count: frames that decode
    // into the same output. The bit rate may change (VBR).
    bool SameStream(const MpegFrameHeader& other) const;

    int SampleRate() const;
    int SamplesPerFrame() const;
    // Layer III: bytes of side information after the header (and its CRC).
    int SideInfoBytes() const;
    // This header with another bit rate, no padding, no CRC and no mode
    // extension: the header of a frame made up for the stream.
    MpegFrameHeader WithBitrate(int index) const;
};

// `stream`'s header for a frame made up for it that needs `payload` bytes
// after its header and side information: at bit rate index `preferred` when
// that has room, else at the lowest that has; null when none has.
std::optional<MpegFrameHeader> FrameWithRoom(const MpegFrameHeader& stream, int payload, int preferred = 0);

// How far past the leading tags the first frame is looked for. libmpg123 is
// given the same limit, so both agree on whether a file holds MPEG audio.
constexpr std::int64_t kMpegJunkSearchBytes = 128 * 1024;

struct ByteRange {
    std::int64_t begin = 0;
    std::int64_t end = 0;
};

// Where the audio starts: past the ID3v2 tags at the start of the file (their
// sizes are synchsafe; a footer adds ten bytes). 0 when there are none.
std::int64_t SkipLeadingId3v2(FileBytes& file);

// Bytes of the ID3v2, ID3v1 or APE tag that starts at `at`; 0 when none does.
std::int64_t TagBytesAt(FileBytes& file, std::int64_t at);

// The first frame in [from, from + searchBytes) that starts a run of frames
// of one stream, each where the one before ends; -1 when there is none. A run
// cut short by the end of the file or by a tag counts.
std::int64_t FindFirstMpegFrame(FileBytes& file, std::int64_t from, std::int64_t searchBytes);

// The stretches, in order, between the frame at `firstFrame` and the stream's
// last frame that belong to no frame of the stream. Past a stretch the stream
// goes on at a frame of the same stream (version, layer, rate, channels)
// whose end is followed by another such frame, a tag or the end of the file.
// Tags between frames are not counted as junk, nor is anything after the last
// frame.
std::vector<ByteRange> FindJunkInMpegStream(FileBytes& file, std::int64_t firstFrame);
