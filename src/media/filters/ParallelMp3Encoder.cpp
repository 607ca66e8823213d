#include "media/filters/ParallelMp3Encoder.h"

#include "media/filters/LameCalls.h"

#include <algorithm>
#include <cstring>
#include <numeric>

namespace {

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
// Samples per LAME call: a stop is seen between two calls.
constexpr int kBlockSamples = 4096;

} // namespace

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

CParallelMp3Encoder::Outcome CParallelMp3Encoder::Start()
{
    LameHandle first = m_make();
    if (!first)
        return Outcome::Failed;
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
    return Outcome::Done;
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

CParallelMp3Encoder::Outcome CParallelMp3Encoder::Encode(const float* samples, std::int64_t frames)
{
    std::unique_lock lock(m_mutex);
    while (frames > 0) {
        if (m_failed)
            return Outcome::Failed;
        if (m_interrupted || !m_current)
            return Outcome::Interrupted;
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
    return Outcome::Done;
}

CParallelMp3Encoder::Outcome CParallelMp3Encoder::Finish()
{
    std::unique_lock lock(m_mutex);
    if (m_failed)
        return Outcome::Failed;
    if (m_interrupted || !m_current)
        return Outcome::Interrupted;
    m_current->inputDone = true;
    m_current->last = true;
    m_changed.notify_all();
    m_changed.wait(lock, [this] { return m_allWritten || m_failed || m_interrupted; });
    if (m_failed)
        return Outcome::Failed;
    return m_allWritten ? Outcome::Done : Outcome::Interrupted;
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
