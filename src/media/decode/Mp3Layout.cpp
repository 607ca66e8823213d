#include "media/decode/Mp3Layout.h"

#include "media/graph/UniqueFd.h"

#include <cstring>

namespace {

const char* LayerName(int layer)
{
    return layer == 1 ? "Layer I" : "Layer II";
}

// The first frame of the stream after the leading tags, or why there is
// none that a copy can start from.
std::optional<MpegFrameHeader> FirstCopyableFrame(FileBytes& bytes, std::int64_t* at, std::string* reason)
{
    const std::int64_t start = SkipLeadingId3v2(bytes);
    *at = FindFirstMpegFrame(bytes, start, kMpegJunkSearchBytes);
    if (*at < 0) {
        // Free-format frames do not say their size, so no run of frames is found.
        const std::int64_t sync = bytes.Find(0xFF, start, start + kMpegJunkSearchBytes);
        const unsigned char* head = sync >= 0 ? bytes.At(sync, 4) : nullptr;
        const auto header = head ? MpegFrameHeader::Parse(head) : std::nullopt;
        *reason = header && header->bitrateIndex == 0 ? "the source's MPEG stream is free format"
                                                      : "the source holds no MPEG audio frames";
        return std::nullopt;
    }
    auto header = MpegFrameHeader::Parse(bytes.At(*at, 4));
    if (header->layer != 3) {
        *reason = std::string("the source is MPEG ") + LayerName(header->layer) + ", not Layer III";
        return std::nullopt;
    }
    return header;
}

int MainDataBegin(const unsigned char* frame, const MpegFrameHeader& header)
{
    const unsigned char* side = frame + 4 + (header.crcProtected ? 2 : 0);
    return header.version == 3 ? (side[0] << 1) | (side[1] >> 7) : side[0];
}

} // namespace

std::int64_t Mp3Layout::LeadingSamples() const
{
    if (!Trimmed())
        return 0;
    return kDecoderDelaySamples + (info->lame ? info->lame->delay : 0);
}

std::int64_t Mp3Layout::LengthSamples() const
{
    const std::int64_t raw = std::int64_t(frames.size()) * stream.SamplesPerFrame();
    if (!Trimmed())
        return raw;
    if (!info->lame)
        return raw - kDecoderDelaySamples;
    return raw - info->lame->delay - info->lame->padding;
}

std::optional<MpegFrameHeader> FirstCopyableMp3Frame(const std::string& path, std::string* reason)
{
    long long size = 0;
    const UniqueFd fd = OpenForReading(path, reason, &size);
    if (!fd)
        return std::nullopt;
    FileBytes bytes(fd.Get(), size);
    std::int64_t at = 0;
    return FirstCopyableFrame(bytes, &at, reason);
}

bool ReadMp3Layout(const std::string& path, Mp3Layout* layout, std::string* reason)
{
    long long size = 0;
    const UniqueFd fd = OpenForReading(path, reason, &size);
    if (!fd)
        return false;
    return ReadMp3Layout(fd.Get(), size, layout, reason);
}

bool ReadMp3Layout(int fd, long long size, Mp3Layout* layout, std::string* reason)
{
    FileBytes bytes(fd, size);
    Mp3Layout out;
    out.fileSize = size;
    std::int64_t first = 0;
    const auto stream = FirstCopyableFrame(bytes, &first, reason);
    if (!stream)
        return false;
    if (!FindJunkInMpegStream(bytes, first).empty()) {
        *reason = "the source's MPEG stream is damaged in places";
        return false;
    }
    out.id3v2 = {0, SkipLeadingId3v2(bytes)};
    std::int64_t end = size;
    const unsigned char* v1 = size >= 128 ? bytes.At(size - 128, 3) : nullptr;
    if (v1 && std::memcmp(v1, "TAG", 3) == 0) {
        out.id3v1 = {size - 128, size};
        end = size - 128;
    }

    std::int64_t at = first;
    if (const unsigned char* frame = bytes.At(first, std::size_t(stream->frameBytes))) {
        out.info = ReadInfoFrameTag(frame, std::size_t(stream->frameBytes), *stream);
        if (out.info)
            at += stream->frameBytes;
    }
    while (at < end) {
        const unsigned char* head = bytes.At(at, 4);
        const auto header = head ? MpegFrameHeader::Parse(head) : std::nullopt;
        if (header && header->frameBytes > 0 && at + header->frameBytes <= end) {
            if (!header->SameStream(*stream)) {
                *reason = "the source's MPEG stream changes format at byte " + std::to_string(at);
                return false;
            }
            const unsigned char* side = bytes.At(at, 4 + 2 + 2);
            if (!side)
                break;
            Mp3AudioFrame frame;
            frame.offset = at;
            frame.bytes = header->frameBytes;
            frame.dataOffset = 4 + (header->crcProtected ? 2 : 0) + header->SideInfoBytes();
            frame.mainDataBegin = MainDataBegin(side, *header);
            frame.bitrateIndex = header->bitrateIndex;
            out.frames.push_back(frame);
            at += header->frameBytes;
        } else if (const std::int64_t tag = TagBytesAt(bytes, at); tag > 0) {
            at += tag; // a tag between frames (or the APE tag at the end)
        } else {
            break; // what follows the last frame: a cut-off frame, padding
        }
    }
    if (out.frames.empty()) {
        *reason = "the source holds no MPEG audio frames";
        return false;
    }
    out.stream = *MpegFrameHeader::Parse(bytes.At(out.frames.front().offset, 4));
    *layout = std::move(out);
    return true;
}
