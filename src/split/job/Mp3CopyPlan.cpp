#include "Mp3CopyPlan.h"

#include "media/graph/UniqueFd.h"

#include <algorithm>

namespace {

// The Info frame keeps its delay and padding in 12 bits each.
constexpr std::int64_t kMaxTagSamples = 4095;

// Frames before the first sample's frame that a decoder needs to give that
// frame exactly as in the whole stream: the transform overlaps one granule.
int WarmUpFrames(const MpegFrameHeader& stream)
{
    return stream.version == 3 ? 1 : 2;
}

// The `count` bytes of main data that come just before `frame`'s own
// main-data area: the ends of the earlier frames' areas. Zeros stand for
// bytes before the stream's first frame (the source lacks them too).
std::vector<unsigned char> ReservoirBefore(const Mp3Layout& layout, FileBytes& file, std::size_t frame, int count,
                                           std::string* reason)
{
    std::vector<unsigned char> bytes(static_cast<std::size_t>(count), 0);
    std::size_t missing = bytes.size();
    for (std::size_t k = frame; k-- > 0 && missing > 0;) {
        const Mp3AudioFrame& f = layout.frames[k];
        const std::size_t area = static_cast<std::size_t>(f.bytes - f.dataOffset);
        const std::size_t take = std::min(area, missing);
        const unsigned char* data = file.At(f.offset + f.bytes - std::int64_t(take), take);
        if (!data) {
            *reason = "the source could not be read";
            return {};
        }
        missing -= take;
        std::copy(data, data + take, bytes.begin() + std::ptrdiff_t(missing));
    }
    return bytes;
}

} // namespace

std::int64_t Mp3CopyPlan::TotalBytes() const
{
    std::int64_t total = infoHeader.frameBytes;
    total += std::int64_t(donor.size());
    for (const ByteRange& run : runs)
        total += run.end - run.begin;
    return total;
}

std::string Mp3CopyRefusal(const std::string& sourcePath, REFERENCE_TIME start, REFERENCE_TIME stop)
{
    std::string reason;
    const auto stream = FirstCopyableMp3Frame(sourcePath, &reason);
    if (!stream)
        return reason;
    const int rate = stream->SampleRate();
    if (TimeToFrame(stop, rate) - TimeToFrame(start, rate) < 2 * stream->SamplesPerFrame())
        return "the piece is shorter than two MPEG frames";
    return {};
}

bool PlanMp3Copy(const std::string& sourcePath, REFERENCE_TIME start, REFERENCE_TIME stop, Mp3CopyPlan* plan,
                 std::string* reason)
{
    long long size = 0;
    const UniqueFd fd = OpenForReading(sourcePath, reason, &size);
    if (!fd)
        return false;
    return PlanMp3Copy(fd.Get(), size, sourcePath, start, stop, plan, reason);
}

bool PlanMp3Copy(int fd, std::int64_t size, const std::string& sourcePath, REFERENCE_TIME start, REFERENCE_TIME stop,
                 Mp3CopyPlan* plan, std::string* reason)
{
    Mp3Layout layout;
    if (!ReadMp3Layout(fd, size, &layout, reason))
        return false;
    return PlanMp3CopyFromLayout(layout, fd, size, sourcePath, start, stop, plan, reason);
}

bool PlanMp3CopyFromLayout(const Mp3Layout& layout, int fd, std::int64_t size, const std::string& sourcePath,
                           REFERENCE_TIME start, REFERENCE_TIME stop, Mp3CopyPlan* plan, std::string* reason)
{
    FileBytes file(fd, size);
    const int rate = layout.stream.SampleRate();
    const std::int64_t length = layout.LengthSamples();
    const std::int64_t first = std::clamp<std::int64_t>(TimeToFrame(start, rate), 0, length);
    const std::int64_t end = std::clamp<std::int64_t>(TimeToFrame(stop, rate), first, length);
    if (!PlanMp3CopyOfSamples(layout, file, first, end, plan, reason))
        return false;
    plan->sourcePath = sourcePath;
    plan->sourceSize = size;
    return true;
}

bool PlanMp3CopyOfSamples(const Mp3Layout& layout, FileBytes& file, std::int64_t first, std::int64_t end,
                          Mp3CopyPlan* plan, std::string* reason)
{
    const MpegFrameHeader& stream = layout.stream;
    const std::int64_t spf = stream.SamplesPerFrame();
    if (end - first < 2 * spf) {
        *reason = "the piece is shorter than two MPEG frames";
        return false;
    }
    // Raw-decode sample indices of the piece's first and last samples, and
    // the frames that hold them.
    const std::int64_t rawFirst = first + layout.LeadingSamples();
    const std::int64_t rawLast = end - 1 + layout.LeadingSamples();
    const std::int64_t frameCount = std::int64_t(layout.frames.size());
    const std::int64_t a = std::max<std::int64_t>(0, rawFirst / spf - WarmUpFrames(stream));
    const std::int64_t b = std::min(frameCount - 1, rawLast / spf);
    if (a > b) {
        *reason = "the piece lies past the source's last frame";
        return false;
    }
    // The piece's raw decode: the donor frame, then frames a..b. Its Info
    // frame's delay and padding put the gapless output on [first, end).
    const std::int64_t delay = rawFirst - (a - 1) * spf - kDecoderDelaySamples;
    const std::int64_t padding = (b + 1) * spf - (rawLast + 1) + kDecoderDelaySamples;
    if (delay < 0 || delay > kMaxTagSamples || padding < 0 || padding > kMaxTagSamples) {
        *reason = "the piece's delay and padding do not fit the Info frame";
        return false;
    }

    Mp3CopyPlan out;
    out.sourceSize = layout.fileSize;
    out.lengthSamples = end - first;
    out.sampleRate = stream.SampleRate();
    bool constantRate = true;
    for (std::int64_t k = a; k <= b; ++k) {
        const Mp3AudioFrame& f = layout.frames[std::size_t(k)];
        constantRate = constantRate && f.bitrateIndex == layout.frames[std::size_t(a)].bitrateIndex;
        if (!out.runs.empty() && out.runs.back().end == f.offset)
            out.runs.back().end += f.bytes;
        else
            out.runs.push_back({f.offset, f.offset + f.bytes});
    }
    const int pieceRate = layout.frames[std::size_t(a)].bitrateIndex;

    // The donor: zero side information (main_data_begin 0, every granule
    // empty), its main-data area ending with the reservoir frame a reaches
    // back into.
    const int reservoir = layout.frames[std::size_t(a)].mainDataBegin;
    const auto donorHeader = FrameWithRoom(stream, reservoir, pieceRate);
    if (!donorHeader) {
        *reason = "no frame of this stream has room for the bit reservoir";
        return false;
    }
    const std::vector<unsigned char> carried = ReservoirBefore(layout, file, std::size_t(a), reservoir, reason);
    if (reservoir > 0 && carried.empty())
        return false;
    out.donor.assign(std::size_t(donorHeader->frameBytes), 0);
    std::copy(donorHeader->bytes, donorHeader->bytes + 4, out.donor.begin());
    std::copy(carried.begin(), carried.end(), out.donor.end() - std::ptrdiff_t(carried.size()));

    const auto infoHeader = FrameWithRoom(stream, kInfoTagBytes, constantRate ? pieceRate : 0);
    if (!infoHeader) {
        *reason = "no frame of this stream has room for an Info frame";
        return false;
    }
    out.infoHeader = *infoHeader;

    NewInfoFrame& info = out.info;
    info.vbr = !constantRate;
    info.frames = std::uint32_t(2 + b - a); // the donor and frames a..b
    std::int64_t audioBytes = std::int64_t(out.donor.size());
    std::vector<std::int64_t> frameStarts{0};
    for (std::int64_t k = a; k <= b; ++k) {
        frameStarts.push_back(audioBytes);
        audioBytes += layout.frames[std::size_t(k)].bytes;
    }
    info.bytes = std::uint32_t(infoHeader->frameBytes + audioBytes);
    for (std::size_t i = 0; i < info.toc.size(); ++i) {
        const std::size_t k = i * info.frames / info.toc.size();
        info.toc[i] = static_cast<unsigned char>(std::min<std::int64_t>(255, frameStarts[k] * 256 / info.bytes));
    }
    if (layout.info && layout.info->quality)
        info.quality = *layout.info->quality;
    const bool lameSource = layout.info && layout.info->lame;
    if (lameSource)
        info.lame = *layout.info->lame;
    // Decoders take delay and padding only from an encoder name that starts with "LAME".
    if (!lameSource || !std::equal(info.lame.encoder.begin(), info.lame.encoder.begin() + 4, "LAME"))
        info.lame.encoder = LameExtension{}.encoder;
    if (!lameSource) {
        info.lame.revisionAndMethod = constantRate ? 1 : 0; // CBR, or unknown (taken for VBR)
        const int kbps = stream.WithBitrate(pieceRate).kbps;
        info.lame.bitrate = static_cast<unsigned char>(constantRate ? std::min(kbps, 255) : 0);
    }
    info.lame.delay = int(delay);
    info.lame.padding = int(padding);
    *plan = std::move(out);
    return true;
}
