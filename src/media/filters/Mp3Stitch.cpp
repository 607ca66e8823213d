#include "media/filters/Mp3Stitch.h"

#include "media/decode/InfoFrame.h"
#include "media/decode/MpegFrames.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

class BitReader {
public:
    explicit BitReader(const unsigned char* bytes) : m_bytes(bytes) {}
    unsigned Read(int bits)
    {
        unsigned value = 0;
        while (bits-- > 0) {
            value = (value << 1) | ((m_bytes[m_position >> 3] >> (7 - (m_position & 7))) & 1u);
            ++m_position;
        }
        return value;
    }

private:
    const unsigned char* m_bytes;
    std::size_t m_position = 0;
};

// Reads the side information of the Layer III frame at `bytes`, whose
// header is `header`.
bool ReadSideInfo(const unsigned char* bytes, const MpegFrameHeader& header, Layer3Frame& frame)
{
    const bool mpeg1 = header.version == 3;
    const bool mono = header.mono;
    if (header.crcProtected)
        return false; // LAME writes none; a CRC would have to follow every rewrite
    frame.channels = mono ? 1 : 2;
    frame.sideInfoEnd = 4 + header.SideInfoBytes();
    BitReader bits(bytes + 4);
    frame.mainDataBegin = static_cast<int>(bits.Read(mpeg1 ? 9 : 8));
    bits.Read(mpeg1 ? (mono ? 5 : 3) : (mono ? 1 : 2)); // private bits
    if (mpeg1)
        bits.Read(4 * frame.channels); // scfsi
    const int granules = mpeg1 ? 2 : 1;
    int mainDataBits = 0;
    for (int granule = 0; granule < granules; ++granule) {
        for (int ch = 0; ch < frame.channels; ++ch) {
            mainDataBits += static_cast<int>(bits.Read(12)); // part2_3_length
            bits.Read(9 + 8 + (mpeg1 ? 4 : 9));                 // big_values, global_gain, scalefac_compress
            std::uint8_t blockType = 0;
            if (bits.Read(1)) { // window switching
                blockType = static_cast<std::uint8_t>(bits.Read(2));
                bits.Read(1 + 10 + 9); // mixed block, two tables, subblock gains
            } else {
                bits.Read(15 + 4 + 3); // three tables, region counts
            }
            bits.Read(mpeg1 ? 3 : 2); // (preflag,) scalefac_scale, count1table_select
            if (granule == 0)
                frame.firstBlockType[ch] = blockType;
            frame.lastBlockType[ch] = blockType;
        }
    }
    frame.mainDataBytes = (mainDataBits + 7) / 8;
    return true;
}

// Where the info frame keeps its fields, from the "Info"/"Xing" word on.
constexpr int kInfoFrames = 8;
constexpr int kInfoBytes = 12;
constexpr int kInfoToc = 16;
constexpr int kInfoDelayPadding = 141;
constexpr int kInfoMusicLength = 148;
constexpr int kInfoMusicCrc = 152;
constexpr int kInfoTagCrc = 154;
constexpr int kInfoEnd = 156;

int InfoWordOffset(const unsigned char* frame, std::size_t size)
{
    const auto header = size >= 4 ? MpegFrameHeader::Parse(frame) : std::nullopt;
    if (!header)
        return -1;
    const int at = 4 + header->SideInfoBytes();
    if (size < static_cast<std::size_t>(at + kInfoEnd))
        return -1;
    if (std::memcmp(frame + at, "Info", 4) != 0 && std::memcmp(frame + at, "Xing", 4) != 0)
        return -1;
    return at;
}

void PutBigEndian(unsigned char* at, std::uint32_t value, int bytes)
{
    for (int i = bytes - 1; i >= 0; --i, value >>= 8)
        at[i] = static_cast<unsigned char>(value & 0xFF);
}

// LAME's seek table for `frames` frames of one bit rate: it samples the
// running sum of the bit rates into 400 places, halving them when full.
void FillSeekTable(std::int64_t frames, int kbps, unsigned char* toc)
{
    constexpr int kPlaces = 400;
    std::vector<int> bag(kPlaces);
    int sum = 0, seen = 0, want = 1, pos = 0;
    for (std::int64_t n = 0; n < frames; ++n) {
        sum += kbps;
        if (++seen < want)
            continue;
        if (pos < kPlaces) {
            bag[pos++] = sum;
            seen = 0;
        }
        if (pos == kPlaces) {
            for (int i = 1; i < kPlaces; i += 2)
                bag[i / 2] = bag[i];
            want *= 2;
            pos /= 2;
        }
    }
    if (pos <= 0)
        return;
    toc[0] = 0;
    for (int i = 1; i < 100; ++i) {
        const float j = i / 100.0f;
        const int index = std::min(static_cast<int>(std::floor(j * pos)), pos - 1);
        toc[i] = static_cast<unsigned char>(std::min(255, static_cast<int>(256.0 * bag[index] / sum)));
    }
}

} // namespace

std::size_t LameInfoFrameBytes(const unsigned char* bytes, std::size_t size)
{
    const auto header = size >= 4 ? MpegFrameHeader::Parse(bytes) : std::nullopt;
    if (!header || header->frameBytes <= 0)
        return 0;
    const auto frameBytes = static_cast<std::size_t>(header->frameBytes);
    if (frameBytes > size)
        return 0;
    const bool info = InfoWordOffset(bytes, frameBytes) > 0 ||
                      std::all_of(bytes + 4, bytes + frameBytes, [](unsigned char b) { return b == 0; });
    return info ? frameBytes : 0;
}

bool ParseEncodedRun(EncodedRun& run)
{
    run.frames.clear();
    run.infoFrameBytes = 0;
    const std::size_t size = run.bytes.size();
    std::size_t offset = 0;
    std::int64_t area = 0;
    while (offset + 4 <= size) {
        const unsigned char* at = run.bytes.data() + offset;
        const auto header = MpegFrameHeader::Parse(at);
        if (!header || header->layer != 3 || header->frameBytes <= 0)
            return false;
        const auto frameBytes = static_cast<std::size_t>(header->frameBytes);
        if (offset + frameBytes > size)
            break; // the rest comes with the encoder's next frame
        if (offset == 0 && !run.opensWithAudio && LameInfoFrameBytes(at, size) > 0) {
            run.infoFrameBytes = frameBytes;
            offset += frameBytes;
            continue;
        }
        Layer3Frame frame;
        frame.offset = offset;
        frame.frameBytes = header->frameBytes;
        if (!ReadSideInfo(at, *header, frame) || frame.sideInfoEnd > frame.frameBytes)
            return false;
        frame.areaPosition = area;
        area += frame.AreaBytes();
        run.frames.push_back(frame);
        offset += frameBytes;
    }
    return true;
}

namespace {

// Copies `size` bytes of `run`'s main-data stream from `position` on.
bool CopyMainData(const EncodedRun& run, std::size_t frameHint, std::int64_t position, int size, unsigned char* out)
{
    std::size_t i = frameHint;
    while (i > 0 && run.frames[i].areaPosition > position)
        --i;
    while (size > 0 && i < run.frames.size()) {
        const Layer3Frame& f = run.frames[i];
        const std::int64_t inArea = position - f.areaPosition;
        if (inArea < 0)
            return false;
        if (inArea < f.AreaBytes()) {
            const int n = std::min<int>(size, f.AreaBytes() - static_cast<int>(inArea));
            std::memcpy(out, run.bytes.data() + f.offset + f.sideInfoEnd + inArea, static_cast<std::size_t>(n));
            out += n;
            size -= n;
            position += n;
        }
        ++i;
    }
    return size == 0;
}

bool WindowsContinue(const Layer3Frame& before, const Layer3Frame& after)
{
    for (int ch = 0; ch < after.channels; ++ch) {
        const int last = before.lastBlockType[std::min(ch, before.channels - 1)];
        const int first = after.firstBlockType[ch];
        const bool longWindowEnds = last == 0 || last == 3; // normal or stop
        if (longWindowEnds != (first == 0 || first == 1))   // normal or start
            return false;
    }
    return true;
}

// How far the data of `next`'s frames from `index` on must move to fit after
// `previous`'s frame index - 1: 0 when it fits as it is, -1 when it cannot.
int MoveToJoin(const EncodedRun& previous, const EncodedRun& next, std::int64_t index)
{
    const Layer3Frame& last = previous.At(index - 1);
    const std::int64_t areaEnd = last.areaPosition + last.AreaBytes();
    // Positions relative to the start of frame `index`'s area.
    std::int64_t dataEnd = last.areaPosition - last.mainDataBegin + last.mainDataBytes - areaEnd;
    const std::int64_t base = next.At(index).areaPosition;
    int firstMove = -1;
    for (std::int64_t n = index; next.Has(n); ++n) {
        const Layer3Frame& f = next.At(n);
        const std::int64_t area = f.areaPosition - base;
        const std::int64_t wanted = area - f.mainDataBegin;
        const std::int64_t start = std::max(dataEnd, wanted);
        if (start > area || start + f.mainDataBytes > area + f.AreaBytes())
            return -1;
        if (firstMove < 0)
            firstMove = static_cast<int>(start - wanted);
        if (start == wanted)
            return firstMove; // from here on every frame lies where its encoder put it
        dataEnd = start + f.mainDataBytes;
    }
    return -1;
}

} // namespace

JoinChoice ChooseJoinFrame(const EncodedRun& previous, const EncodedRun& next, std::int64_t from, std::int64_t to)
{
    JoinChoice best;
    for (std::int64_t i = from; i <= to; ++i) {
        if (!previous.Has(i - 1) || !next.Has(i))
            continue;
        const int move = MoveToJoin(previous, next, i);
        if (move < 0)
            continue;
        const bool windows = WindowsContinue(previous.At(i - 1), next.At(i));
        const int rank = windows ? (move == 0 ? 0 : 1) : 2;
        if (rank < best.rank)
            best = {i, rank};
        if (rank == 0)
            break;
    }
    return best;
}

template <typename Fn>
bool CMainDataPacker::ForEachSpan(std::int64_t from, std::int64_t size, Fn fn)
{
    for (Slot& slot : m_slots) {
        if (size <= 0)
            break;
        if (from < slot.areaPosition || from >= slot.AreaEnd())
            continue;
        const std::int64_t n = std::min(size, slot.AreaEnd() - from);
        fn(slot, slot.bytes.data() + slot.sideInfoEnd + (from - slot.areaPosition), n);
        from += n;
        size -= n;
    }
    return size <= 0;
}

bool CMainDataPacker::Add(const EncodedRun& run, std::int64_t index)
{
    if (!run.Has(index))
        return false;
    const Layer3Frame& f = run.At(index);
    Slot slot;
    slot.bytes.assign(run.bytes.begin() + static_cast<std::ptrdiff_t>(f.offset),
                      run.bytes.begin() + static_cast<std::ptrdiff_t>(f.offset + f.frameBytes));
    slot.sideInfoEnd = f.sideInfoEnd;
    slot.areaPosition = m_areaEnd;
    slot.run = &run;
    m_areaEnd = slot.AreaEnd();
    m_slots.push_back(std::move(slot));

    const std::int64_t area = m_slots.back().areaPosition;
    const std::int64_t start = std::max(m_dataEnd, area - f.mainDataBegin);
    if (start > area || start + f.mainDataBytes > m_areaEnd)
        return false;
    // Bytes left between two frames are ancillary data; where they came from
    // another encoder's stream they are cleared.
    ForEachSpan(m_dataEnd, start - m_dataEnd, [&run](const Slot& held, unsigned char* bytes, std::int64_t n) {
        if (held.run != &run)
            std::memset(bytes, 0, static_cast<std::size_t>(n));
    });
    std::vector<unsigned char> data(static_cast<std::size_t>(f.mainDataBytes));
    if (!CopyMainData(run, static_cast<std::size_t>(index - run.firstIndex), f.areaPosition - f.mainDataBegin,
                      f.mainDataBytes, data.data()))
        return false;
    const unsigned char* from = data.data();
    if (!ForEachSpan(start, f.mainDataBytes, [&from](const Slot&, unsigned char* bytes, std::int64_t n) {
            std::memcpy(bytes, from, static_cast<std::size_t>(n));
            from += n;
        }))
        return false;
    const int begin = static_cast<int>(area - start);
    unsigned char* side = m_slots.back().bytes.data() + 4;
    if (MpegFrameHeader::Parse(m_slots.back().bytes.data())->version == 3) {
        side[0] = static_cast<unsigned char>(begin >> 1);
        side[1] = static_cast<unsigned char>((side[1] & 0x7F) | ((begin & 1) << 7));
    } else {
        side[0] = static_cast<unsigned char>(begin);
    }
    m_dataEnd = start + f.mainDataBytes;
    return WriteFinished(m_dataEnd);
}

bool CMainDataPacker::WriteFinished(std::int64_t upTo)
{
    while (!m_slots.empty() && m_slots.front().AreaEnd() <= upTo) {
        const Slot& slot = m_slots.front();
        if (!m_sink(slot.bytes.data(), slot.bytes.size()))
            return false;
        m_crc = LameCrc16(slot.bytes.data(), slot.bytes.size(), m_crc);
        m_bytesWritten += slot.bytes.size();
        ++m_framesWritten;
        m_slots.pop_front();
    }
    return true;
}

bool CMainDataPacker::Finish()
{
    return WriteFinished(m_areaEnd);
}

int InfoFrameDelay(const std::vector<unsigned char>& frame)
{
    const int at = InfoWordOffset(frame.data(), frame.size());
    if (at < 0)
        return -1;
    const unsigned char* d = frame.data() + at + kInfoDelayPadding;
    return (d[0] << 4) | (d[1] >> 4);
}

bool RewriteInfoFrame(std::vector<unsigned char>& frame, std::int64_t frames, std::uint64_t audioBytes,
                      std::uint16_t musicCrc, int padding)
{
    const int at = InfoWordOffset(frame.data(), frame.size());
    if (at < 0)
        return false;
    unsigned char* info = frame.data() + at;
    const std::uint64_t streamBytes = audioBytes + frame.size();
    PutBigEndian(info + kInfoFrames, static_cast<std::uint32_t>(frames), 4);
    PutBigEndian(info + kInfoBytes, static_cast<std::uint32_t>(streamBytes), 4);
    std::fill(info + kInfoToc, info + kInfoToc + 100, 0);
    FillSeekTable(frames, MpegFrameHeader::Parse(frame.data())->kbps, info + kInfoToc);
    unsigned char* d = info + kInfoDelayPadding;
    d[1] = static_cast<unsigned char>((d[1] & 0xF0) | ((padding >> 8) & 0x0F));
    d[2] = static_cast<unsigned char>(padding & 0xFF);
    PutBigEndian(info + kInfoMusicLength, static_cast<std::uint32_t>(streamBytes), 4);
    PutBigEndian(info + kInfoMusicCrc, musicCrc, 2);
    PutBigEndian(info + kInfoTagCrc, LameCrc16(frame.data(), static_cast<std::size_t>(at + kInfoTagCrc)), 2);
    return true;
}
