#include "media/filters/ParallelMp3Encoder.h"

#include "media/decode/InfoFrame.h"

#include <algorithm>
#include <cstring>
#include <numeric>

namespace {

// Frames each later segment's encoder codes before the segment, for its
// psychoacoustic state and reservoir to settle. Measured on busy music-like
// signals (bench/): after 10 frames single blocks at the joins were up to
// 4 dB weaker than the single encoder's; after 20, no weaker than anywhere.
constexpr std::int64_t kPrerollFrames = 20;
// Frames an encoder codes past its segment; the next one takes over at the
// first of them where its windows and reservoir fit.
constexpr std::int64_t kOverlapFrames = 8;
// How much earlier a join may fall when no good place is found past the
// pre-roll (the next encoder then has had at least half of it).
constexpr std::int64_t kEarlyJoinFrames = kPrerollFrames / 2;
// PCM past the last frame wanted, so that LAME (which looks ahead about
// 1400 samples) has coded it and the frame after it.
constexpr std::int64_t kLookaheadSamples = 2048;
// Segment length before rounding down to the padding cycle (10.2 s at 44.1 kHz).
constexpr double kSegmentSeconds = 11;
// PCM held for all segments in flight together, with two threads; each
// further thread takes kThreadBytes off it for what it holds besides
// (LAME's state, a segment's MP3 bytes).
constexpr std::int64_t kPcmBudgetBytes = 12 << 20;
constexpr std::int64_t kThreadBytes = 512 << 10;
// Samples a decoder's synthesis lags its frames: the last ones of a stream
// that ends without a flush cannot be decoded whole, and count as padding.
constexpr std::int64_t kDecoderDelay = 529;
// Samples per LAME call: a stop is seen between two calls.
constexpr int kBlockSamples = 4096;

int EncodeBlock(lame_global_flags* lame, int channels, const float* samples, int frames,
                std::vector<unsigned char>& buffer)
{
    buffer.resize(static_cast<std::size_t>(frames) * 5 / 4 + 7200);
    return channels == 2
        ? lame_encode_buffer_interleaved_ieee_float(lame, samples, frames, buffer.data(),
                                                    static_cast<int>(buffer.size()))
        : lame_encode_buffer_ieee_float(lame, samples, samples, frames, buffer.data(),
                                        static_cast<int>(buffer.size()));
}

// The info frame the stream of `run` (the first segment's) opens with: LAME's,
// or one of ours where LAME keeps no place for one.
std::vector<unsigned char> FirstInfoFrame(const lame_global_flags* lame, const EncodedRun& run)
{
    if (run.infoFrameBytes == 0)
        return run.frames.empty() ? std::vector<unsigned char>{}
                                  : MakeInfoFrameForLame(lame, run.bytes.data() + run.frames.front().offset);
    std::vector<unsigned char> info(2880);
    const std::size_t size = lame_get_lametag_frame(lame, info.data(), info.size());
    info.resize(size <= info.size() ? size : 0);
    return info;
}

// Drops the frames of `run` before `index` that no frame from `index` on
// reaches back into for its main data (frames are parsed again).
void DropFramesBefore(EncodedRun& run, std::int64_t index)
{
    if (!run.Has(index) || index <= run.firstIndex)
        return;
    // Main data lie in order: what frame `index` reaches back to, no later
    // frame reaches before. Frame index - 1 stays too, for the join search.
    const Layer3Frame& at = run.At(index);
    const std::int64_t needed = at.areaPosition - at.mainDataBegin;
    std::int64_t keep = index - 1;
    while (keep > run.firstIndex && run.At(keep).areaPosition > needed)
        --keep;
    const std::size_t offset = run.At(keep).offset;
    run.bytes.erase(run.bytes.begin(), run.bytes.begin() + static_cast<std::ptrdiff_t>(offset));
    run.firstIndex = keep;
    run.opensWithAudio = true;
    ParseEncodedRun(run);
}

} // namespace

std::vector<unsigned char> MakeInfoFrameForLame(const lame_global_flags* lame, const unsigned char* audio)
{
    const auto stream = MpegFrameHeader::Parse(audio);
    const auto header = stream ? FrameWithRoom(*stream, kInfoTagBytes) : std::nullopt;
    if (!header)
        return {};
    // The fields as LAME fills them for a constant bit rate.
    NewInfoFrame info;
    const int quality = 100 - 10 * lame_get_VBR_q(lame) - lame_get_quality(lame);
    info.quality = static_cast<std::uint32_t>(std::clamp(quality, 0, 100));
    LameExtension& x = info.lame;
    const char* version = get_lame_very_short_version();
    for (std::size_t i = 0; i < x.encoder.size(); ++i)
        x.encoder[i] = static_cast<unsigned char>(*version ? *version++ : ' ');
    x.revisionAndMethod = 1; // revision 0, constant bit rate
    x.lowpass = static_cast<unsigned char>(std::clamp(lame_get_lowpassfreq(lame) / 100, 0, 255));
    const int ath = lame_get_ATHtype(lame) & 0x0F;
    x.flagsAndAth = static_cast<unsigned char>(ath | ((lame_get_exp_nspsytune(lame) & 1) << 4));
    const int kbps = lame_get_brate(lame);
    x.bitrate = static_cast<unsigned char>(std::min(kbps, 255));
    const int rate = lame_get_in_samplerate(lame);
    const MPEG_mode mode = lame_get_mode(lame);
    const int stereo = mode == MONO ? 0 : mode == JOINT_STEREO ? 3 : 1;
    const int source = rate <= 32000 ? 0 : rate == 44100 ? 1 : rate == 48000 ? 2 : 3;
    const int unwise = rate <= 32000 ? 1 : 0; // LAME flags every rate up to 32 kHz
    x.misc = static_cast<unsigned char>((stereo << 2) | (unwise << 5) | (source << 6));
    x.preset = {static_cast<unsigned char>((kbps >> 8) & 0x07), static_cast<unsigned char>(kbps)};
    x.delay = lame_get_encoder_delay(lame);
    return MakeInfoFrame(*header, info);
}

struct CParallelMp3Encoder::Segment {
    std::int64_t index = 0;
    std::int64_t keepFrom = 0;   // the first frame it is meant to give
    std::int64_t inputStart = 0; // its first PCM frame in the piece (its encoder's frame 0 starts there)
    std::unique_ptr<float[]> pcm;
    std::int64_t fed = 0;
    std::int64_t consumed = 0;
    bool inputDone = false;
    bool last = false;    // flushed when its input is done
    bool taken = false;   // a thread encodes it
    bool encoded = false; // `run` holds all its frames
    bool flushed = false;
    LameHandle lame; // kept after the encode until the next segment has taken over
    EncodedRun run;
};

CParallelMp3Encoder::CParallelMp3Encoder(MakeLame make, int channels, int sampleRate, int threads, Write write)
    : m_make(std::move(make))
    , m_channels(channels)
    , m_samplesPerFrame(sampleRate >= 32000 ? 1152 : 576)
    , m_threads(std::max(1, threads))
    , m_write(std::move(write))
    , m_packer([this](const unsigned char* bytes, std::size_t size) {
        if (FAILED(m_write(m_offset, bytes, size))) {
            m_sinkFailed = true;
            return false;
        }
        m_offset += size;
        return true;
    })
{
}

CParallelMp3Encoder::~CParallelMp3Encoder()
{
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
        m_changed.notify_all();
    }
    for (auto& worker : m_workers)
        worker.join();
}

HRESULT CParallelMp3Encoder::Start()
{
    LameHandle first = m_make();
    if (!first)
        return E_FAIL;
    // LAME pads a frame now and then to keep the bit rate; segments start on
    // multiples of the padding cycle so that every encoder pads the frames a
    // single encoder would, and the reservoirs compare.
    const int rate = lame_get_out_samplerate(first.get());
    const std::int64_t perFrame = (m_samplesPerFrame == 1152 ? 144000LL : 72000LL) * lame_get_brate(first.get());
    const std::int64_t fraction = perFrame % rate;
    const std::int64_t cycle = fraction ? rate / std::gcd(fraction, static_cast<std::int64_t>(rate)) : 1;

    // Segments of about kSegmentSeconds, fewer frames where threads + 1 of
    // them would not fit the PCM budget; and fewer threads where even the
    // shortest useful segments would not.
    const std::int64_t frameBytes = static_cast<std::int64_t>(m_samplesPerFrame) * m_channels * sizeof(float);
    const std::int64_t extraFrames = kPrerollFrames + kOverlapFrames + 3 + kLookaheadSamples / m_samplesPerFrame;
    const std::int64_t wanted = static_cast<std::int64_t>(kSegmentSeconds * rate / m_samplesPerFrame);
    const std::int64_t shortest = (3 * (kPrerollFrames + kOverlapFrames) + cycle - 1) / cycle * cycle;
    for (;;) {
        m_maxSegments = static_cast<std::size_t>(m_threads) + 1;
        const std::int64_t budget = kPcmBudgetBytes - std::max(0, m_threads - 2) * kThreadBytes;
        const std::int64_t fitting = budget / static_cast<std::int64_t>(m_maxSegments) / frameBytes - extraFrames;
        const std::int64_t frames = std::min(wanted, fitting) / cycle * cycle;
        if (frames >= shortest || m_threads <= 2) {
            m_segmentFrames = std::max(frames, shortest);
            break;
        }
        --m_threads;
    }
    m_inputLimit = (m_segmentFrames + kPrerollFrames + kOverlapFrames + 2) * m_samplesPerFrame + kLookaheadSamples;
    m_runBytes = static_cast<std::size_t>((m_segmentFrames + kPrerollFrames + kOverlapFrames + 8) * (perFrame / rate + 1));

    std::lock_guard lock(m_mutex);
    Segment& segment = NewSegment(0);
    segment.lame = std::move(first);
    m_current = &segment;
    for (int i = 0; i < m_threads; ++i)
        m_workers.emplace_back([this] { Work(); });
    return S_OK;
}

CParallelMp3Encoder::Segment& CParallelMp3Encoder::NewSegment(std::int64_t index)
{
    auto segment = std::make_unique<Segment>();
    segment->index = index;
    const std::int64_t firstFrame = index * m_segmentFrames;
    segment->keepFrom = index == 0 ? 0 : firstFrame + kPrerollFrames;
    segment->inputStart = firstFrame * m_samplesPerFrame;
    // PCM buffers are used again rather than freed: a few large blocks
    // that come and go would leave the heap ever larger.
    if (!m_freePcm.empty()) {
        segment->pcm = std::move(m_freePcm.back());
        m_freePcm.pop_back();
    } else {
        segment->pcm = std::make_unique<float[]>(static_cast<std::size_t>(m_inputLimit * m_channels));
    }
    segment->run.bytes.reserve(m_runBytes);
    segment->run.firstIndex = firstFrame;
    m_segments.push_back(std::move(segment));
    ++m_pcmSegments;
    m_changed.notify_all();
    return *m_segments.back();
}

HRESULT CParallelMp3Encoder::Encode(const float* samples, std::int64_t frames)
{
    std::unique_lock lock(m_mutex);
    while (frames > 0) {
        if (m_failed)
            return E_FAIL;
        if (m_interrupted || !m_current)
            return S_FALSE;
        Segment& current = *m_current;
        if (current.fed == m_inputLimit) {
            // More audio: the current segment is not the last, the next takes over.
            // Segments encoded ahead of the one to write next wait with
            // their encoder: a few at most.
            const std::size_t maxQueued = m_maxSegments + 1;
            m_changed.wait(lock, [&] {
                return m_failed || m_interrupted ||
                       (m_pcmSegments < m_maxSegments && m_segments.size() < maxQueued);
            });
            if (m_failed || m_interrupted)
                continue;
            Segment& next = NewSegment(current.index + 1);
            const std::int64_t skip = next.inputStart - current.inputStart;
            const std::int64_t overlap = current.fed - skip;
            std::memcpy(next.pcm.get(), current.pcm.get() + skip * m_channels,
                        static_cast<std::size_t>(overlap * m_channels) * sizeof(float));
            next.fed = overlap;
            current.inputDone = true;
            m_current = &next;
            m_changed.notify_all();
            continue;
        }
        const std::int64_t n = std::min(frames, m_inputLimit - current.fed);
        float* to = current.pcm.get() + current.fed * m_channels;
        lock.unlock(); // the encoder reads only what is below `fed`
        std::memcpy(to, samples, static_cast<std::size_t>(n * m_channels) * sizeof(float));
        lock.lock();
        current.fed += n;
        m_inputFrames += n;
        samples += n * m_channels;
        frames -= n;
        m_changed.notify_all();
    }
    return S_OK;
}

HRESULT CParallelMp3Encoder::Finish()
{
    std::unique_lock lock(m_mutex);
    if (m_failed)
        return E_FAIL;
    if (m_interrupted || !m_current)
        return S_FALSE;
    m_current->inputDone = true;
    m_current->last = true;
    m_changed.notify_all();
    m_changed.wait(lock, [this] { return m_allWritten || m_failed || m_interrupted; });
    if (m_failed)
        return E_FAIL;
    return m_allWritten ? S_OK : S_FALSE;
}

void CParallelMp3Encoder::Interrupt()
{
    std::lock_guard lock(m_mutex);
    m_interrupted = true;
    m_changed.notify_all();
}

void CParallelMp3Encoder::Resume()
{
    std::lock_guard lock(m_mutex);
    m_interrupted = false;
}

void CParallelMp3Encoder::Work()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        Segment* segment = nullptr;
        m_changed.wait(lock, [&] {
            if (m_stop || m_failed)
                return true;
            for (auto& s : m_segments)
                if (!s->taken) {
                    segment = s.get();
                    return true;
                }
            return false;
        });
        if (m_stop || m_failed)
            return;
        segment->taken = true;
        if (!EncodeSegment(*segment, lock))
            return;
    }
}

bool CParallelMp3Encoder::EncodeSegment(Segment& segment, std::unique_lock<std::mutex>& lock)
{
    if (!segment.lame) {
        lock.unlock();
        LameHandle lame = m_make();
        lock.lock();
        if (!lame) {
            FailLocked("cannot start the MP3 encoder");
            return false;
        }
        segment.lame = std::move(lame);
    }
    std::vector<unsigned char> buffer;
    for (;;) {
        m_changed.wait(lock, [&] { return m_stop || m_failed || segment.fed > segment.consumed || segment.inputDone; });
        if (m_stop || m_failed)
            return false; // Stop() takes it from here
        if (segment.fed == segment.consumed)
            break;
        const int n = static_cast<int>(std::min<std::int64_t>(segment.fed - segment.consumed, kBlockSamples));
        const float* from = segment.pcm.get() + segment.consumed * m_channels;
        lock.unlock();
        const int size = EncodeBlock(segment.lame.get(), m_channels, from, n, buffer);
        if (size > 0)
            segment.run.bytes.insert(segment.run.bytes.end(), buffer.begin(), buffer.begin() + size);
        lock.lock();
        if (size < 0) {
            FailLocked("the MP3 encoder failed (" + std::to_string(size) + ")");
            return false;
        }
        segment.consumed += n;
    }
    const bool last = segment.last;
    lock.unlock();
    int flushed = 0;
    if (last) {
        buffer.resize(7200);
        flushed = lame_encode_flush(segment.lame.get(), buffer.data(), static_cast<int>(buffer.size()));
        if (flushed > 0)
            segment.run.bytes.insert(segment.run.bytes.end(), buffer.begin(), buffer.begin() + flushed);
    }
    const bool parsed = ParseEncodedRun(segment.run);
    const std::vector<unsigned char> info =
        segment.index == 0 && parsed ? FirstInfoFrame(segment.lame.get(), segment.run) : std::vector<unsigned char>{};
    lock.lock();
    if (flushed < 0 || !parsed) {
        FailLocked(flushed < 0 ? "the MP3 encoder failed to finish" : "the MP3 encoder made frames it cannot read");
        return false;
    }
    if (segment.index == 0)
        m_info = std::move(info);
    segment.flushed = last;
    if (last)
        segment.lame.reset();
    // Its PCM stays until the segment before it has handed over: that one
    // may have to go on into it.
    if (&segment == m_segments.front().get())
        ReleasePcm(segment);
    segment.encoded = true;
    WriteInOrder(false);
    m_changed.notify_all();
    return !m_failed;
}

// Writes the frames that are final: the front segment's up to where the
// next one takes over, once both are encoded. `stopping`: the encoding ends
// early, and the last segment written is the last one.
void CParallelMp3Encoder::WriteInOrder(bool stopping)
{
    while (!m_segments.empty() && !m_failed && !m_allWritten) {
        Segment& front = *m_segments.front();
        if (!front.encoded)
            return;
        if (m_writeFrom < 0) {
            // The first encoder's info frame keeps the place of the finished
            // one; where it made none, a header and zeros keep it for ours.
            const auto lameInfo = static_cast<std::ptrdiff_t>(front.run.infoFrameBytes);
            std::vector<unsigned char> place(front.run.bytes.begin(), front.run.bytes.begin() + lameInfo);
            if (place.empty() && !m_info.empty()) {
                place.assign(m_info.size(), 0);
                std::copy(m_info.begin(), m_info.begin() + 4, place.begin());
            }
            if (!place.empty() && FAILED(m_write(0, place.data(), place.size()))) {
                FailLocked({}, true);
                return;
            }
            m_offset = place.size();
            m_writeFrom = front.keepFrom;
        }
        Segment* next = m_segments.size() > 1 ? m_segments[1].get() : nullptr;
        std::int64_t join = -1;
        if (!front.last && next && next->encoded) {
            // Best where the next encoder has had all its pre-roll; failing
            // that a little earlier, where it has had most of it.
            JoinChoice choice = ChooseJoinFrame(front.run, next->run, next->keepFrom, next->keepFrom + kOverlapFrames);
            if (choice.rank > 0) {
                const JoinChoice early = ChooseJoinFrame(front.run, next->run, next->keepFrom - kEarlyJoinFrames,
                                                         next->keepFrom - 1);
                if (early.rank < choice.rank)
                    choice = early;
            }
            // Where two reservoirs stay apart (as at low bit rates) no frame
            // fits: the previous encoder goes on into the next segment's
            // audio until they meet.
            while (choice.index < 0 && ExtendInto(front, *next))
                choice = ChooseJoinFrame(front.run, next->run, next->keepFrom, front.run.EndIndex());
            // Through all of the next segment's audio without a join: the
            // previous encoder takes it over and goes on to the one after.
            if (choice.index < 0 && !stopping && TakeOver(front))
                continue;
            join = choice.index;
        }
        if (join < 0) {
            if (front.last || stopping) {
                WriteTail(front, m_writeFrom);
                if (m_failed || !EndStream())
                    return;
                m_segments.clear();
                m_allWritten = true;
                return;
            }
            if (next && next->encoded)
                FailLocked("the MP3 encoder could not join its segments at frame " + std::to_string(next->keepFrom));
            return;
        }
        if (!WriteFrames(front, join))
            return;
        m_segments.pop_front();
        ReleasePcm(*next);
    }
}

// Hands `segment`'s frames from m_writeFrom up to `to` to the packer.
bool CParallelMp3Encoder::WriteFrames(const Segment& segment, std::int64_t to)
{
    for (std::int64_t frame = m_writeFrom; frame < to; ++frame) {
        if (!m_packer.Add(segment.run, frame)) {
            FailLocked(m_sinkFailed ? std::string() : "the MP3 encoder could not join its segments", m_sinkFailed);
            return false;
        }
    }
    m_writeFrom = std::max(m_writeFrom, to);
    // Frame n holds the samples from n * samplesPerFrame - delay on.
    const std::int64_t delay = std::max(0, InfoFrameDelay(m_info));
    m_doneFrames = std::clamp<std::int64_t>(m_writeFrom * m_samplesPerFrame - delay - kDecoderDelay, 0, m_inputFrames);
    return true;
}

// `front`'s encoder, having coded all of the next segment's audio, stands in
// for that segment: the next one's frames and PCM go, and `front` joins the
// segment after it, or is flushed as the last where there is none. False
// (nothing changed) when `front` has not coded all of that audio.
bool CParallelMp3Encoder::TakeOver(Segment& front)
{
    Segment& next = *m_segments[1];
    if (!next.last && m_segments.size() < 3)
        return false;
    if (!front.lame || !next.encoded || front.inputStart + front.consumed != next.inputStart + next.fed)
        return false;
    if (next.last) {
        std::vector<unsigned char> buffer(7200);
        const int size = lame_encode_flush(front.lame.get(), buffer.data(), static_cast<int>(buffer.size()));
        if (size > 0)
            front.run.bytes.insert(front.run.bytes.end(), buffer.begin(), buffer.begin() + size);
        if (size < 0 || !ParseEncodedRun(front.run)) {
            FailLocked("the MP3 encoder failed to finish");
            return false;
        }
        // The first encoder's info frame, now with what LAME knows at the end.
        if (front.index == 0 && !front.run.opensWithAudio)
            m_info = FirstInfoFrame(front.lame.get(), front.run);
        front.last = front.flushed = true;
        front.lame.reset();
    } else {
        // No join with the segment after comes before its pre-roll's middle:
        // the frames before that are final and are written now, and the run
        // keeps only the frames whose bytes later frames still need, so that
        // it does not grow with every segment taken over.
        const Segment& after = *m_segments[2];
        const std::int64_t final = after.keepFrom - kEarlyJoinFrames;
        if (!WriteFrames(front, final))
            return false;
        DropFramesBefore(front.run, final);
    }
    ReleasePcm(next);
    m_segments.erase(m_segments.begin() + 1);
    m_changed.notify_all();
    return true;
}

void CParallelMp3Encoder::ReleasePcm(Segment& segment)
{
    if (!segment.pcm)
        return;
    m_freePcm.push_back(std::move(segment.pcm));
    --m_pcmSegments;
    m_changed.notify_all();
}

// Lets `segment`'s encoder code a few more frames of `next`'s audio. False
// when it cannot (no encoder, no audio left, LAME failed).
bool CParallelMp3Encoder::ExtendInto(Segment& segment, const Segment& next)
{
    const std::int64_t from = segment.inputStart + segment.consumed - next.inputStart;
    const std::int64_t available = next.fed - from;
    if (!segment.lame || !next.pcm || from < 0 || available <= 0)
        return false;
    const int n = static_cast<int>(std::min(available, kOverlapFrames * m_samplesPerFrame));
    std::vector<unsigned char> buffer;
    const int size = EncodeBlock(segment.lame.get(), m_channels, next.pcm.get() + from * m_channels, n, buffer);
    if (size < 0)
        return false;
    segment.run.bytes.insert(segment.run.bytes.end(), buffer.begin(), buffer.begin() + size);
    segment.consumed += n;
    return ParseEncodedRun(segment.run);
}

void CParallelMp3Encoder::WriteTail(Segment& segment, std::int64_t from)
{
    for (std::int64_t frame = from; frame < segment.run.EndIndex(); ++frame) {
        if (!m_packer.Add(segment.run, frame)) {
            FailLocked(m_sinkFailed ? std::string() : "the MP3 encoder could not join its segments", m_sinkFailed);
            return;
        }
    }
    if (!m_packer.Finish())
        FailLocked({}, true);
    m_endSample = segment.flushed ? segment.inputStart + segment.consumed : -1;
}

// The info frame, rewritten for all that was written.
bool CParallelMp3Encoder::EndStream()
{
    if (m_info.empty()) {
        m_doneFrames = m_inputFrames;
        return true; // none to finish
    }
    const std::int64_t frames = m_packer.FramesWritten();
    const int delay = std::max(0, InfoFrameDelay(m_info));
    const std::int64_t coded = frames * m_samplesPerFrame - delay;
    const std::int64_t padding =
        m_endSample >= 0 ? std::clamp<std::int64_t>(coded - m_endSample, 0, 4095) : std::clamp<std::int64_t>(coded, 0, kDecoderDelay);
    m_doneFrames = coded - padding;
    if (!RewriteInfoFrame(m_info, frames, m_packer.BytesWritten(), m_packer.Crc(), static_cast<int>(padding)))
        return true;
    if (FAILED(m_write(0, m_info.data(), m_info.size()))) {
        FailLocked({}, true);
        return false;
    }
    return true;
}

void CParallelMp3Encoder::Stop()
{
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
        m_changed.notify_all();
    }
    for (auto& worker : m_workers)
        worker.join();
    m_workers.clear();
    std::lock_guard lock(m_mutex);
    m_current = nullptr; // a stopped encoder takes no more audio
    if (m_failed || m_allWritten)
        return;
    // The first segment not encoded yet ends the file: its encoder is flushed
    // with what it took (it has coded all of it but a frame or two). Those
    // after it go.
    auto first = std::find_if(m_segments.begin(), m_segments.end(), [](auto& s) { return !s->encoded; });
    if (first != m_segments.end()) {
        Segment& segment = **first;
        if (segment.lame) {
            std::vector<unsigned char> buffer(7200);
            const int size = lame_encode_flush(segment.lame.get(), buffer.data(), static_cast<int>(buffer.size()));
            if (size > 0)
                segment.run.bytes.insert(segment.run.bytes.end(), buffer.begin(), buffer.begin() + size);
            segment.encoded = size >= 0 && ParseEncodedRun(segment.run);
            if (segment.index == 0 && segment.encoded)
                m_info = FirstInfoFrame(segment.lame.get(), segment.run);
            segment.flushed = segment.last = segment.encoded;
            ++first;
        }
        m_segments.erase(first, m_segments.end());
    }
    WriteInOrder(true);
}

void CParallelMp3Encoder::FailLocked(const std::string& reason, bool writer)
{
    if (m_failed)
        return;
    m_failed = true;
    m_writerFailed = writer;
    m_error = reason;
    m_changed.notify_all();
}

std::string CParallelMp3Encoder::Error() const
{
    std::lock_guard lock(m_mutex);
    return m_error;
}

bool CParallelMp3Encoder::WriterFailed() const
{
    std::lock_guard lock(m_mutex);
    return m_writerFailed;
}
