#include "media/decode/InfoFrame.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr std::uint32_t kXingFrames = 1, kXingBytes = 2, kXingToc = 4, kXingQuality = 8;

constexpr std::array<std::uint16_t, 256> MakeCrcTable()
{
    std::array<std::uint16_t, 256> table{};
    for (unsigned i = 0; i < 256; ++i) {
        std::uint16_t crc = static_cast<std::uint16_t>(i);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? static_cast<std::uint16_t>((crc >> 1) ^ 0xA001) : static_cast<std::uint16_t>(crc >> 1);
        table[i] = crc;
    }
    return table;
}
constexpr auto kCrcTable = MakeCrcTable();

std::uint32_t BigEndian32(const unsigned char* p)
{
    return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) | p[3];
}

void PutBigEndian32(unsigned char* p, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<unsigned char>(value >> (24 - 8 * i));
}

// Where the "Xing"/"Info" word sits: after the header and the side
// information. A CRC-protected frame keeps its CRC in the first two of
// those bytes (LAME writes it so, libmpg123 reads it so).
std::size_t TagOffset(const MpegFrameHeader& header)
{
    return 4 + static_cast<std::size_t>(header.SideInfoBytes());
}

} // namespace

std::uint16_t LameCrc16(const unsigned char* data, std::size_t size, std::uint16_t crc)
{
    for (std::size_t i = 0; i < size; ++i)
        crc = static_cast<std::uint16_t>((crc >> 8) ^ kCrcTable[(crc ^ data[i]) & 0xFF]);
    return crc;
}

std::optional<InfoFrameTag> ReadInfoFrameTag(const unsigned char* frame, std::size_t size,
                                             const MpegFrameHeader& header)
{
    const std::size_t at = TagOffset(header);
    if (header.layer != 3 || size < at + 120)
        return std::nullopt;
    // libmpg123 skips the two bytes a CRC would take, whether or not there is one.
    for (std::size_t i = 6; i < at; ++i)
        if (frame[i] != 0)
            return std::nullopt;
    if (std::memcmp(frame + at, "Xing", 4) != 0 && std::memcmp(frame + at, "Info", 4) != 0)
        return std::nullopt;
    InfoFrameTag tag;
    const std::uint32_t flags = BigEndian32(frame + at + 4);
    std::size_t field = at + 8;
    if (flags & kXingFrames) {
        tag.frames = BigEndian32(frame + field);
        field += 4;
    }
    if (flags & kXingBytes)
        field += 4;
    if (flags & kXingToc)
        field += 100;
    if (flags & kXingQuality) {
        if (field + 4 > size)
            return tag;
        tag.quality = BigEndian32(frame + field);
        field += 4;
    }
    // libmpg123 takes a non-zero byte after the Xing fields for the start of
    // LAME's extension, whatever encoder name it holds.
    if (field + 36 > size || frame[field] == 0)
        return tag;
    const unsigned char* x = frame + field;
    LameExtension lame;
    std::copy(x, x + 9, lame.encoder.begin());
    lame.revisionAndMethod = x[9];
    lame.lowpass = x[10];
    lame.flagsAndAth = x[19];
    lame.bitrate = x[20];
    lame.delay = (x[21] << 4) | (x[22] >> 4);
    lame.padding = ((x[22] & 0x0F) << 8) | x[23];
    lame.misc = x[24];
    lame.preset = {x[26], x[27]};
    tag.lame = lame;
    return tag;
}

std::vector<unsigned char> MakeInfoFrame(const MpegFrameHeader& header, const NewInfoFrame& info)
{
    std::vector<unsigned char> frame(static_cast<std::size_t>(header.frameBytes), 0);
    std::memcpy(frame.data(), header.bytes, 4);
    unsigned char* x = frame.data() + TagOffset(header);
    std::memcpy(x, info.vbr ? "Xing" : "Info", 4);
    PutBigEndian32(x + 4, kXingFrames | kXingBytes | kXingToc | kXingQuality);
    PutBigEndian32(x + 8, info.frames);
    PutBigEndian32(x + 12, info.bytes);
    std::copy(info.toc.begin(), info.toc.end(), x + 16);
    PutBigEndian32(x + 116, info.quality);

    unsigned char* l = x + 120;
    const LameExtension& lame = info.lame;
    std::copy(lame.encoder.begin(), lame.encoder.end(), l);
    l[9] = lame.revisionAndMethod;
    l[10] = lame.lowpass;
    // 11..18: peak and the two ReplayGain fields stay 0 (not measured).
    l[19] = lame.flagsAndAth;
    l[20] = lame.bitrate;
    l[21] = static_cast<unsigned char>(lame.delay >> 4);
    l[22] = static_cast<unsigned char>(((lame.delay & 0x0F) << 4) | ((lame.padding >> 8) & 0x0F));
    l[23] = static_cast<unsigned char>(lame.padding);
    l[24] = lame.misc;
    // 25: MP3Gain's change stays 0.
    l[26] = lame.preset[0];
    l[27] = lame.preset[1];
    PutBigEndian32(l + 28, info.bytes); // music length: the Info frame and the audio frames
    l[32] = static_cast<unsigned char>(info.musicCrc >> 8);
    l[33] = static_cast<unsigned char>(info.musicCrc);
    // The tag's CRC covers every byte before it: the first 190 of an MPEG-1
    // stereo frame, fewer where the side information is shorter.
    const std::size_t crcAt = static_cast<std::size_t>(l + 34 - frame.data());
    const std::uint16_t crc = LameCrc16(frame.data(), crcAt);
    l[34] = static_cast<unsigned char>(crc >> 8);
    l[35] = static_cast<unsigned char>(crc);
    return frame;
}
