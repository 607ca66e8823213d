#include "media/decode/MpegFrames.h"

#include <cstring>

namespace {

// A run this long is taken for a stream: one frame header appears by chance
// about once in 5000 random bytes, three chained ones practically never.
constexpr int kRunFrames = 3;

// kbps by [MPEG-1 ? 0 : 1][layer - 1][index]; index 0 is free format, 15 invalid.
constexpr int kBitrates[2][3][16] = {
    {{0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448, 0},
     {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, 0},
     {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0}},
    {{0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256, 0},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0}},
};
constexpr int kMpeg1Rates[3] = {44100, 48000, 32000};

std::optional<MpegFrameHeader> HeaderAt(FileBytes& file, std::int64_t at)
{
    const unsigned char* bytes = file.At(at, 4);
    return bytes ? MpegFrameHeader::Parse(bytes) : std::nullopt;
}

bool Chains(const std::optional<MpegFrameHeader>& header, const MpegFrameHeader& stream)
{
    return header && header->frameBytes > 0 && header->SameStream(stream);
}

} // namespace

std::int64_t TagBytesAt(FileBytes& file, std::int64_t at)
{
    if (const unsigned char* id3 = file.At(at, 10);
        id3 && std::memcmp(id3, "ID3", 3) == 0 && id3[3] != 0xFF && id3[4] != 0xFF &&
        ((id3[6] | id3[7] | id3[8] | id3[9]) & 0x80) == 0) {
        const std::int64_t body = (std::int64_t(id3[6]) << 21) | (id3[7] << 14) | (id3[8] << 7) | id3[9];
        const bool footer = (id3[5] & 0x10) != 0;
        return 10 + body + (footer ? 10 : 0);
    }
    if (const unsigned char* ape = file.At(at, 32); ape && std::memcmp(ape, "APETAGEX", 8) == 0) {
        auto le32 = [ape](int i) {
            return std::int64_t(ape[i]) | (std::int64_t(ape[i + 1]) << 8) | (std::int64_t(ape[i + 2]) << 16) |
                   (std::int64_t(ape[i + 3]) << 24);
        };
        const bool isHeader = (le32(20) & (1LL << 29)) != 0;
        return isHeader ? 32 + le32(12) : 32; // the header's size counts the items and the footer
    }
    if (const unsigned char* v1 = file.At(at, 128); v1 && std::memcmp(v1, "TAG", 3) == 0)
        return 128;
    return 0;
}

namespace {

// Whether frames of `stream`'s kind follow each other from `at` for a run.
bool RunStartsAt(FileBytes& file, std::int64_t at, const MpegFrameHeader& stream)
{
    for (int frames = 0; frames < kRunFrames; ++frames) {
        if (frames > 0 && (at == file.Size() || TagBytesAt(file, at) > 0))
            return true;
        const auto header = HeaderAt(file, at);
        if (!Chains(header, stream))
            return false;
        at += header->frameBytes;
    }
    return true;
}

// The next frame of `stream` from `from` on whose end is followed by another
// frame of it, a tag or the end of the file; -1 when there is none.
std::int64_t Resync(FileBytes& file, std::int64_t from, const MpegFrameHeader& stream)
{
    const std::int64_t end = file.Size();
    for (std::int64_t at = file.Find(0xFF, from, end); at >= 0; at = file.Find(0xFF, at + 1, end)) {
        const auto header = HeaderAt(file, at);
        if (!Chains(header, stream))
            continue;
        const std::int64_t next = at + header->frameBytes;
        if (next == file.Size() || (next < file.Size() && (Chains(HeaderAt(file, next), stream) || TagBytesAt(file, next) > 0)))
            return at;
    }
    return -1;
}

} // namespace

std::optional<MpegFrameHeader> MpegFrameHeader::Parse(const unsigned char* bytes)
{
    if (bytes[0] != 0xFF || (bytes[1] & 0xE0) != 0xE0)
        return std::nullopt;
    MpegFrameHeader header;
    header.version = (bytes[1] >> 3) & 3;
    header.layer = 4 - ((bytes[1] >> 1) & 3);
    const int bitrateIndex = bytes[2] >> 4;
    header.rateIndex = (bytes[2] >> 2) & 3;
    const int padding = (bytes[2] >> 1) & 1;
    header.mono = (bytes[3] >> 6) == 3;
    if (header.version == 1 || header.layer == 4 || bitrateIndex == 15 || header.rateIndex == 3)
        return std::nullopt;
    header.bitrateIndex = bitrateIndex;
    header.crcProtected = (bytes[1] & 1) == 0;
    std::memcpy(header.bytes, bytes, 4);

    const bool mpeg1 = header.version == 3;
    const int rate = kMpeg1Rates[header.rateIndex] >> (mpeg1 ? 0 : header.version == 2 ? 1 : 2);
    const int kbps = kBitrates[mpeg1 ? 0 : 1][header.layer - 1][bitrateIndex];
    header.kbps = kbps;
    if (kbps == 0)
        header.frameBytes = 0;
    else if (header.layer == 1)
        header.frameBytes = (12000 * kbps / rate + padding) * 4;
    else if (header.layer == 3 && !mpeg1)
        header.frameBytes = 72000 * kbps / rate + padding; // half the samples of an MPEG-1 frame
    else
        header.frameBytes = 144000 * kbps / rate + padding;
    return header;
}

int MpegFrameHeader::SampleRate() const
{
    return kMpeg1Rates[rateIndex] >> (version == 3 ? 0 : version == 2 ? 1 : 2);
}

int MpegFrameHeader::SamplesPerFrame() const
{
    if (layer == 1)
        return 384;
    return layer == 3 && version != 3 ? 576 : 1152;
}

int MpegFrameHeader::SideInfoBytes() const
{
    if (version == 3)
        return mono ? 17 : 32;
    return mono ? 9 : 17;
}

MpegFrameHeader MpegFrameHeader::WithBitrate(int index) const
{
    unsigned char made[4] = {bytes[0], static_cast<unsigned char>(bytes[1] | 1),
                             static_cast<unsigned char>((bytes[2] & 0x0C) | (index << 4)),
                             static_cast<unsigned char>(bytes[3] & 0xCF)};
    return *Parse(made);
}

std::optional<MpegFrameHeader> FrameWithRoom(const MpegFrameHeader& stream, int payload, int preferred)
{
    auto fits = [&](int index) {
        const MpegFrameHeader header = stream.WithBitrate(index);
        return header.frameBytes - 4 - header.SideInfoBytes() >= payload ? std::optional(header) : std::nullopt;
    };
    if (preferred >= 1 && preferred <= 14)
        if (auto header = fits(preferred))
            return header;
    for (int index = 1; index <= 14; ++index)
        if (auto header = fits(index))
            return header;
    return std::nullopt;
}

bool MpegFrameHeader::SameStream(const MpegFrameHeader& other) const
{
    return version == other.version && layer == other.layer && rateIndex == other.rateIndex && mono == other.mono;
}

std::int64_t SkipLeadingId3v2(FileBytes& file)
{
    std::int64_t at = 0;
    while (const unsigned char* id3 = file.At(at, 3)) {
        if (std::memcmp(id3, "ID3", 3) != 0)
            break;
        const std::int64_t tag = TagBytesAt(file, at);
        if (tag == 0)
            break;
        at += tag;
    }
    return at;
}

std::int64_t FindFirstMpegFrame(FileBytes& file, std::int64_t from, std::int64_t searchBytes)
{
    const std::int64_t end = from + searchBytes;
    for (std::int64_t at = file.Find(0xFF, from, end); at >= 0; at = file.Find(0xFF, at + 1, end)) {
        const auto header = HeaderAt(file, at);
        if (header && header->frameBytes > 0 && RunStartsAt(file, at, *header))
            return at;
    }
    return -1;
}

std::vector<ByteRange> FindJunkInMpegStream(FileBytes& file, std::int64_t firstFrame)
{
    std::vector<ByteRange> junk;
    auto stream = HeaderAt(file, firstFrame);
    if (!stream || stream->frameBytes == 0)
        return junk; // free format: frame sizes are not in the headers
    std::int64_t at = firstFrame;
    while (at < file.Size()) {
        const auto header = HeaderAt(file, at);
        if (Chains(header, *stream)) {
            at += header->frameBytes;
        } else if (const std::int64_t tag = TagBytesAt(file, at)) {
            at += tag;
        } else if (header && header->frameBytes > 0 && RunStartsAt(file, at, *header)) {
            // Right where the last frame ends, a run of another kind: files
            // of different formats joined together. It is decoded as before.
            stream = header;
            at += header->frameBytes;
        } else {
            const std::int64_t resumed = Resync(file, at + 1, *stream);
            if (resumed < 0)
                break;
            junk.push_back({at, resumed});
            at = resumed;
        }
    }
    return junk;
}
