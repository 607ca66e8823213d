// The level scan: each half of the source decoded by a reader of its own,
// its 10 ms blocks appended under the lock in batches.

#include "DecodeScanner.h"

#include "media/decode/Mp3FrameSampler.h"
#include "media/decode/OpenReader.h"
#include "media/decode/SourceKind.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>

namespace {

// Blocks decoded between two publications (1 s of sound).
constexpr std::size_t kBatchBlocks = 100;
// A segment lasts at least a minute; a source has at most this many.
constexpr std::size_t kMinSegmentBlocks = 6000;
// Many segments keep both threads busy to the end: the last one a thread
// takes is short.
constexpr std::size_t kMaxSegments = 48;
// A sketch decodes one frame in twenty, or fewer for long sources so that
// it takes kSketchFrames: one or two for each column of a wide view. With the frames
// each needs decoded before it, that is a sixth of the full decode or less.
constexpr std::int64_t kSketchFrames = 1500;
constexpr std::int64_t kMinSketchStride = 20;
// Fewer frames than this in a sketch: the source (under five minutes) decodes
// whole about as soon.
constexpr std::int64_t kMinSketchSamples = 500;

} // namespace

CDecodeScanner::CDecodeScanner(std::string sourcePath, int threads)
    : m_path(std::move(sourcePath)), m_threads(std::clamp(threads, 1, 2))
{
}

CDecodeScanner::~CDecodeScanner()
{
    Stop();
    for (std::thread& worker : m_workers)
        if (worker.joinable())
            worker.join();
}

void CDecodeScanner::SetNotify(std::function<void()> notify)
{
    m_notify = std::move(notify);
}

bool CDecodeScanner::Start(std::string* reason)
{
    std::unique_ptr<IPcmReader> first = OpenPcmReaderMixedToMono(m_path, reason);
    if (!first)
        return false;
    const AudioFormat format = first->Format();
    m_sampleRate = format.sampleRate;
    m_blockSamples = std::max(1, m_sampleRate / 100);
    const std::int64_t frames = first->LengthFrames();
    const bool known = frames >= 0;
    const std::size_t total = known ? std::size_t((frames + m_blockSamples - 1) / m_blockSamples) : 0;
    m_duration = known ? REFERENCE_TIME(frames) * 10000000 / std::max(1, m_sampleRate) : 0;
    // Segments of a minute or more, taken in turn by the threads: a thread
    // that the machine gives less time to does fewer of them.
    const std::size_t segments =
        known && m_threads > 1 ? std::clamp<std::size_t>(total / kMinSegmentBlocks, 1, kMaxSegments) : 1;
    {
        std::lock_guard lock(m_mutex);
        m_total = total;
        m_segments.assign(segments, {});
        m_segmentFirst.assign(segments + 1, total);
        m_segmentDone.assign(segments, false);
        for (std::size_t k = 0; k < segments; ++k) {
            m_segmentFirst[k] = total * k / segments;
            m_segments[k].reserve(total / segments + 1);
        }
        m_nextSegment = 0;
    }
    const bool sketch = segments > 1 && DetectSourceKind(m_path) == SourceKind::MpegAudio;
    {
        std::lock_guard lock(m_mutex);
        m_sketchDone = !sketch;
    }
    auto opened = std::make_shared<std::unique_ptr<IPcmReader>>(std::move(first));
    // The thread with the decoder open starts on the first segment, so the
    // first blocks come at once; the other sketches first.
    m_workers.emplace_back([this, opened] { Scan(std::move(*opened), false); });
    if (segments > 1)
        m_workers.emplace_back([this, sketch] { Scan(nullptr, sketch); });
    return true;
}

void CDecodeScanner::MakeSketch()
{
    std::string reason;
    const std::unique_ptr<CMp3FrameSampler> sampler = CMp3FrameSampler::Open(m_path, &reason);
    std::vector<SLevelBlock> sketch;
    int stride = 0;
    const std::int64_t frames = sampler ? sampler->FrameCount() : 0;
    stride = int(std::max(kMinSketchStride, frames / kSketchFrames));
    if (sampler && sampler->SampleRate() == m_sampleRate && frames / stride >= kMinSketchSamples) {
        const std::size_t total = TotalBlocks();
        sketch.resize(total);
        std::vector<float> samples;
        // The block holding sample s of the decode, clamped to the source.
        auto blockOf = [&](std::int64_t s) {
            return std::size_t(std::clamp<std::int64_t>(s / m_blockSamples, 0, std::int64_t(total)));
        };
        for (std::int64_t first = 0; first < frames; first += stride) {
            {
                std::lock_guard lock(m_mutex);
                if (m_stop || !m_error.empty()) {
                    sketch.clear();
                    break;
                }
            }
            const std::int64_t end = std::min(frames, first + stride);
            if (!sampler->Decode(first + (end - first) / 2, samples)) {
                sketch.clear(); // the full decode tells what is wrong
                break;
            }
            const SLevelBlock level = Level(samples.data(), std::int64_t(samples.size()), 1);
            const std::size_t to = end == frames ? total : blockOf(sampler->FrameStart(end));
            std::fill(sketch.begin() + std::ptrdiff_t(blockOf(sampler->FrameStart(first))),
                      sketch.begin() + std::ptrdiff_t(to), level);
        }
    }
    {
        std::lock_guard lock(m_mutex);
        m_sketch = std::move(sketch);
        m_sketchStride = m_sketch.empty() ? 0 : stride;
        m_sketchDone = true;
    }
    m_changed.notify_all();
    if (m_notify)
        m_notify();
}

void CDecodeScanner::Scan(std::unique_ptr<IPcmReader> reader, bool sketchFirst)
{
    if (sketchFirst)
        MakeSketch();
    std::string reason;
    std::vector<float> samples;
    std::vector<SLevelBlock> batch;
    batch.reserve(kBatchBlocks);
    for (;;) {
        std::size_t segment = 0, firstBlock = 0, endBlock = 0, total = 0;
        {
            std::lock_guard lock(m_mutex);
            if (m_stop || !m_error.empty() || m_nextSegment >= m_segments.size())
                break;
            segment = m_nextSegment++;
            total = m_total;
            firstBlock = m_segmentFirst[segment];
            endBlock = m_segmentFirst[segment + 1];
        }
        if (!reader)
            reader = OpenPcmReaderMixedToMono(m_path, &reason);
        // A seek decodes a few frames ahead of its target, so the segment's
        // first block is what decoding from the start gives.
        if (reader && reader->Tell() != std::int64_t(firstBlock) * m_blockSamples
            && !reader->Seek(std::int64_t(firstBlock) * m_blockSamples))
            reason = reader->Error();
        if (!reader || !reason.empty()) {
            Finish(segment, reason);
            break;
        }
        const int channels = std::max(1, reader->Format().channels);
        samples.resize(std::size_t(m_blockSamples) * kBatchBlocks * std::size_t(channels));
        std::size_t block = firstBlock;
        for (bool more = true; more;) {
            {
                std::lock_guard lock(m_mutex);
                if (m_stop)
                    break;
            }
            // Without a known length the one segment reads to the decoder's end.
            std::int64_t want = std::int64_t(kBatchBlocks) * m_blockSamples;
            if (total > 0)
                want = std::min<std::int64_t>(want, std::int64_t(endBlock - block) * m_blockSamples);
            std::int64_t got = 0;
            while (got < want) {
                const std::int64_t n = reader->Read(samples.data() + got * channels, want - got);
                if (n < 0)
                    reason = reader->Error();
                if (n <= 0)
                    break;
                got += n;
            }
            if (!reason.empty())
                break;
            batch.clear();
            for (std::int64_t at = 0; at < got; at += m_blockSamples)
                batch.push_back(Level(samples.data() + at * channels, std::min<std::int64_t>(m_blockSamples, got - at),
                                      channels));
            block += batch.size();
            more = got == want && (total == 0 || block < endBlock);
            {
                std::lock_guard lock(m_mutex);
                auto& blocks = m_segments[segment];
                blocks.insert(blocks.end(), batch.begin(), batch.end());
            }
            if (m_notify)
                m_notify();
        }
        Finish(segment, reason);
        if (!reason.empty())
            break;
    }
    m_changed.notify_all();
    if (m_notify)
        m_notify();
}

SLevelBlock CDecodeScanner::Level(const float* samples, std::int64_t frames, int channels)
{
    if (frames <= 0)
        return {};
    // Four lanes at a time in one vector register: this runs over every
    // sample of the source. Squares are summed per block in float (a block
    // is 10 ms), which is exact enough for a level in dB.
    using Lanes = float __attribute__((vector_size(16)));
    constexpr float kInf = std::numeric_limits<float>::infinity();
    Lanes lo = {kInf, kInf, kInf, kInf}, hi = -lo, squares = {0, 0, 0, 0};
    auto take = [&](Lanes v) {
        lo = v < lo ? v : lo;
        hi = v > hi ? v : hi;
        squares += v * v;
    };
    const float scale = 1.0f / float(channels);
    auto mono = [&](std::int64_t i) {
        float sum = 0;
        for (int c = 0; c < channels; ++c)
            sum += samples[i * channels + c];
        return sum * scale;
    };
    std::int64_t i = 0;
    if (channels == 1) {
        for (; i + 4 <= frames; i += 4) {
            Lanes v;
            std::memcpy(&v, samples + i, sizeof v);
            take(v);
        }
    } else {
        for (; i + 4 <= frames; i += 4)
            take(Lanes{mono(i), mono(i + 1), mono(i + 2), mono(i + 3)});
    }
    SLevelBlock level;
    level.min = std::min(std::min(lo[0], lo[1]), std::min(lo[2], lo[3]));
    level.max = std::max(std::max(hi[0], hi[1]), std::max(hi[2], hi[3]));
    double sum = double(squares[0]) + squares[1] + squares[2] + squares[3];
    for (; i < frames; ++i) {
        const float v = mono(i);
        level.min = std::min(level.min, v);
        level.max = std::max(level.max, v);
        sum += double(v) * v;
    }
    level.rms = float(std::sqrt(sum / double(frames)));
    return level;
}

void CDecodeScanner::Finish(std::size_t segment, const std::string& reason)
{
    {
        std::lock_guard lock(m_mutex);
        m_segmentDone[segment] = true;
        if (!reason.empty() && m_error.empty())
            m_error = reason;
        if (m_segments.size() == 1 && m_total == 0)
            m_total = m_segments[0].size(); // the length was not known before
        // The scan is over for the segments no thread will take now.
        if (m_stop || !m_error.empty())
            for (std::size_t k = m_nextSegment; k < m_segments.size(); ++k)
                m_segmentDone[k] = true;
    }
    m_changed.notify_all();
}

void CDecodeScanner::Stop()
{
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_changed.notify_all();
}

bool CDecodeScanner::Wait(long timeoutMs)
{
    std::unique_lock lock(m_mutex);
    auto done = [&] {
        return m_sketchDone && std::all_of(m_segmentDone.begin(), m_segmentDone.end(), [](bool d) { return d; });
    };
    if (timeoutMs < 0)
        m_changed.wait(lock, done);
    else
        m_changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), done);
    return done();
}

std::size_t CDecodeScanner::BlocksReady() const
{
    std::lock_guard lock(m_mutex);
    std::size_t ready = 0;
    for (std::size_t k = 0; k < m_segments.size(); ++k) {
        if (m_segmentFirst[k] != ready)
            break; // the segment before this one is not complete
        ready += m_segments[k].size();
    }
    return ready;
}

std::vector<SLevelBlock> CDecodeScanner::CopyBlocks(std::size_t first, std::size_t count) const
{
    std::lock_guard lock(m_mutex);
    std::vector<SLevelBlock> out;
    for (std::size_t h = 0; h < m_segments.size() && out.size() < count; ++h) {
        const std::size_t begin = m_segmentFirst[h];
        const std::size_t end = begin + m_segments[h].size();
        const std::size_t from = std::max(first + out.size(), begin);
        if (from != first + out.size() || from >= end)
            continue; // a gap before it: only contiguous blocks are given
        const std::size_t take = std::min(end - from, count - out.size());
        out.insert(out.end(), m_segments[h].begin() + std::ptrdiff_t(from - begin),
                   m_segments[h].begin() + std::ptrdiff_t(from - begin + take));
    }
    return out;
}

bool CDecodeScanner::SketchDone() const
{
    std::lock_guard lock(m_mutex);
    return m_sketchDone;
}

std::vector<SLevelBlock> CDecodeScanner::Sketch() const
{
    std::lock_guard lock(m_mutex);
    return m_sketch;
}

int CDecodeScanner::SketchStride() const
{
    std::lock_guard lock(m_mutex);
    return m_sketchStride;
}

bool CDecodeScanner::Done() const
{
    std::lock_guard lock(m_mutex);
    return !m_segmentDone.empty() && m_sketchDone
           && std::all_of(m_segmentDone.begin(), m_segmentDone.end(), [](bool d) { return d; });
}

std::string CDecodeScanner::Error() const
{
    std::lock_guard lock(m_mutex);
    return m_error;
}

bool CDecodeScanner::Stopped() const
{
    std::lock_guard lock(m_mutex);
    return m_stop;
}

std::size_t CDecodeScanner::TotalBlocks() const
{
    std::lock_guard lock(m_mutex);
    return m_total;
}

std::vector<SLevelBlock> ScanLevels(const std::string& path, std::string* reason, int threads)
{
    CDecodeScanner scanner(path, threads);
    if (!scanner.Start(reason))
        return {};
    scanner.Wait(-1);
    if (!scanner.Error().empty()) {
        *reason = scanner.Error();
        return {};
    }
    return scanner.AllBlocks();
}
