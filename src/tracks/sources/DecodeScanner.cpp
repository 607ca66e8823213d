// The level scan: each half of the source decoded by a reader of its own,
// its 10 ms blocks appended under the lock in batches.

#include "DecodeScanner.h"

#include "media/decode/OpenReader.h"

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

// Blocks decoded between two publications (1 s of sound).
constexpr std::size_t kBatchBlocks = 100;

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
    std::unique_ptr<IPcmReader> first = OpenPcmReader(m_path, reason);
    if (!first)
        return false;
    const AudioFormat format = first->Format();
    m_sampleRate = format.sampleRate;
    m_blockSamples = std::max(1, m_sampleRate / 100);
    const std::int64_t frames = first->LengthFrames();
    const bool known = frames >= 0;
    const std::size_t total = known ? std::size_t((frames + m_blockSamples - 1) / m_blockSamples) : 0;
    m_duration = known ? REFERENCE_TIME(frames) * 10000000 / std::max(1, m_sampleRate) : 0;
    // Two halves only where the length is known and worth it (over a minute).
    const std::size_t halves = known && m_threads > 1 && total > 6000 ? 2 : 1;
    {
        std::lock_guard lock(m_mutex);
        m_total = total;
        m_halves.assign(halves, {});
        m_halfFirst.assign(halves, 0);
        m_halfDone.assign(halves, false);
        if (halves == 2)
            m_halfFirst[1] = total / 2;
        for (std::size_t h = 0; h < halves; ++h)
            m_halves[h].reserve((h + 1 < halves ? m_halfFirst[h + 1] : total) - m_halfFirst[h]);
    }
    auto firstHalf = std::make_shared<std::unique_ptr<IPcmReader>>(std::move(first));
    m_workers.emplace_back([this, firstHalf] { Scan(0, std::move(*firstHalf)); });
    if (halves == 2)
        m_workers.emplace_back([this] { Scan(1, nullptr); });
    return true;
}

void CDecodeScanner::Scan(std::size_t half, std::unique_ptr<IPcmReader> reader)
{
    std::string reason;
    std::size_t firstBlock = 0, endBlock = 0, total = 0;
    bool lastHalf = false;
    {
        std::lock_guard lock(m_mutex);
        total = m_total;
        firstBlock = m_halfFirst[half];
        lastHalf = half + 1 == m_halves.size();
        endBlock = lastHalf ? total : m_halfFirst[half + 1];
    }
    if (!reader)
        reader = OpenPcmReader(m_path, &reason);
    if (reader && firstBlock > 0 && !reader->Seek(std::int64_t(firstBlock) * m_blockSamples))
        reason = reader->Error();
    const int channels = reader ? std::max(1, reader->Format().channels) : 1;
    std::vector<float> samples(std::size_t(m_blockSamples) * kBatchBlocks * std::size_t(channels));
    std::vector<SLevelBlock> batch;
    batch.reserve(kBatchBlocks);
    std::size_t block = firstBlock;
    bool more = reader && reason.empty();
    while (more) {
        {
            std::lock_guard lock(m_mutex);
            if (m_stop)
                break;
        }
        // The last half reads to the decoder's end (its length may be unknown).
        std::int64_t want = std::int64_t(kBatchBlocks) * m_blockSamples;
        if (total > 0)
            want = std::min<std::int64_t>(want, std::int64_t(endBlock - block) * m_blockSamples);
        std::int64_t got = 0;
        while (got < want) {
            const std::int64_t n = reader->Read(samples.data() + got * channels, want - got);
            if (n < 0) {
                reason = reader->Error();
                break;
            }
            if (n == 0)
                break;
            got += n;
        }
        if (!reason.empty())
            break;
        batch.clear();
        for (std::int64_t at = 0; at < got; at += m_blockSamples) {
            const std::int64_t n = std::min<std::int64_t>(m_blockSamples, got - at);
            SLevelBlock level{1.0f, -1.0f, 0.0f};
            double sum = 0;
            for (std::int64_t i = 0; i < n; ++i) {
                float mono = 0;
                const float* frame = samples.data() + (at + i) * channels;
                for (int c = 0; c < channels; ++c)
                    mono += frame[c];
                mono /= float(channels);
                level.min = std::min(level.min, mono);
                level.max = std::max(level.max, mono);
                sum += double(mono) * mono;
            }
            level.rms = float(std::sqrt(sum / double(n)));
            batch.push_back(level);
        }
        block += batch.size();
        more = got == want && (total == 0 || block < endBlock);
        {
            std::lock_guard lock(m_mutex);
            auto& blocks = m_halves[half];
            blocks.insert(blocks.end(), batch.begin(), batch.end());
        }
        m_changed.notify_all();
        if (m_notify)
            m_notify();
    }
    {
        std::lock_guard lock(m_mutex);
        m_halfDone[half] = true;
        if (!reason.empty() && m_error.empty())
            m_error = reason;
        if (lastHalf && total == 0)
            m_total = m_halves[half].size(); // the length was not known before
    }
    m_changed.notify_all();
    if (m_notify)
        m_notify();
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
    auto done = [&] { return std::all_of(m_halfDone.begin(), m_halfDone.end(), [](bool d) { return d; }); };
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
    for (std::size_t h = 0; h < m_halves.size(); ++h) {
        if (m_halfFirst[h] != ready)
            break; // the half before this one is not complete
        ready += m_halves[h].size();
    }
    return ready;
}

std::vector<SLevelBlock> CDecodeScanner::CopyBlocks(std::size_t first, std::size_t count) const
{
    std::lock_guard lock(m_mutex);
    std::vector<SLevelBlock> out;
    for (std::size_t h = 0; h < m_halves.size() && out.size() < count; ++h) {
        const std::size_t begin = m_halfFirst[h];
        const std::size_t end = begin + m_halves[h].size();
        const std::size_t from = std::max(first + out.size(), begin);
        if (from != first + out.size() || from >= end)
            continue; // a gap before it: only contiguous blocks are given
        const std::size_t take = std::min(end - from, count - out.size());
        out.insert(out.end(), m_halves[h].begin() + std::ptrdiff_t(from - begin),
                   m_halves[h].begin() + std::ptrdiff_t(from - begin + take));
    }
    return out;
}

bool CDecodeScanner::Done() const
{
    std::lock_guard lock(m_mutex);
    return !m_halfDone.empty() && std::all_of(m_halfDone.begin(), m_halfDone.end(), [](bool d) { return d; });
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
