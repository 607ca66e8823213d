#pragma once
// The Xing/Info frame that opens an MP3 stream, with LAME's extension: what
// it tells a gapless decoder (the number of audio frames, the encoder delay
// and padding), read from a source and written for a new stream.

#include "media/decode/MpegFrames.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

// LAME's CRC-16 (polynomial 0x8005 reflected, 0xA001; start value 0), used
// for the music CRC and the tag's own CRC.
std::uint16_t LameCrc16(const unsigned char* data, std::size_t size, std::uint16_t crc = 0);

// LAME's extension as the first audio encoder wrote it: the fields a piece
// keeps (what the encoder was and how it was set) beside the ones it gets
// anew (delay, padding, length, CRCs) or loses (peak and gains, which were
// measured on the whole).
struct LameExtension {
    std::array<unsigned char, 9> encoder{'L', 'A', 'M', 'E', '3', '.', '1', '0', '0'};
    unsigned char revisionAndMethod = 0; // tag revision (high 4 bits), VBR method (low 4)
    unsigned char lowpass = 0;           // Hz / 100
    unsigned char flagsAndAth = 0;
    unsigned char bitrate = 0;           // kbps: CBR rate, ABR target or VBR minimum
    unsigned char misc = 0;              // noise shaping, stereo mode, source rate
    std::array<unsigned char, 2> preset{};
    int delay = 0;   // encoder delay, samples (12 bits)
    int padding = 0; // samples added at the end (12 bits)
};

// What a stream's Info/Xing frame says.
struct InfoFrameTag {
    std::optional<std::uint32_t> frames;  // audio frames after this one
    std::optional<std::uint32_t> quality;
    std::optional<LameExtension> lame;    // null: Xing fields only
};

// The tag in `frame` (`size` bytes, a whole frame with header `header`), or
// null when the frame is an audio frame. Looked for where libmpg123 looks:
// right after the side information, which must be all zeros before it.
std::optional<InfoFrameTag> ReadInfoFrameTag(const unsigned char* frame, std::size_t size,
                                             const MpegFrameHeader& header);

// A Layer III decoder starts its output this many samples into a stream's
// raw decode (libmpg123 and ffmpeg alike); the Info frame's delay is on top.
constexpr int kDecoderDelaySamples = 529;

// The bytes an Info frame needs beyond its header and side information.
constexpr int kInfoTagBytes = 120 + 36;

// The Info frame of a new stream.
struct NewInfoFrame {
    bool vbr = false;           // "Xing" for a stream whose bit rate varies, "Info" otherwise
    std::uint32_t frames = 0;   // audio frames after the Info frame
    std::uint32_t bytes = 0;    // the Info frame and the audio frames
    std::array<unsigned char, 100> toc{};
    std::uint32_t quality = 0;
    LameExtension lame;
    std::uint16_t musicCrc = 0; // of the audio frames after the Info frame
};

// The whole Info frame for `header` (whose bit rate must leave room for the
// tag): the header, zero side information, the Xing fields and LAME's
// extension ending with its CRC over every byte of the frame before it.
std::vector<unsigned char> MakeInfoFrame(const MpegFrameHeader& header, const NewInfoFrame& info);
