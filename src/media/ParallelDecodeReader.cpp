// Decoding a long cut on two threads: the cut is read in chunks, the even
// chunks by one decoder, the odd ones by another, each on a thread of its
// own, and handed out in order. Worth it when what consumes the stream is
// cheap (writing WAV): the job then decodes at up to twice one core's speed.
// Chunks are an eighth of the cut, from 65536 up to 262144 frames (about
// 6 s at 44.1 kHz): each one starts with a seek, which decodes a few frames
// ahead of it, so long cuts get long chunks. Each lane keeps at most two
// ready, so memory stays near 12 MiB.

#include "PcmStages.h"

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <thread>

namespace {

constexpr std::int64_t kMinChunkFrames = 65536;
constexpr std::int64_t kMaxChunkFrames = 262144;
constexpr std::size_t kReadyPerLane = 2;

class CParallelDecodeReader final : public IPcmReader {
public:
    CParallelDecodeReader(SourceOpener open, std::shared_ptr<IPcmReader> opened, std::int64_t first,
                          std::int64_t end, std::string name)
        : m_open(std::move(open)), m_name(std::move(name))
    {
        m_format = opened->Format();
        auto firstLane = std::shared_ptr<IPcmReader>(MakeCutReader(std::move(opened), first, end, m_name));
        m_length = firstLane->LengthFrames();
        m_chunkFrames = std::clamp(m_length / 8, kMinChunkFrames, kMaxChunkFrames);
        m_first = first;
        m_end = first + m_length;
        m_lanes[0].reader = std::move(firstLane);
    }

    ~CParallelDecodeReader() override
    {
        {
            std::lock_guard lock(m_mutex);
            m_stop = true;
        }
        m_changed.notify_all();
        for (Lane& lane : m_lanes)
            if (lane.thread.joinable())
                lane.thread.join();
    }

    AudioFormat Format() const override { return m_format; }
    std::int64_t LengthFrames() const override { return m_length; }
    std::int64_t Tell() const override { return m_position; }
    std::string Error() const override
    {
        std::lock_guard lock(m_mutex);
        return m_error;
    }

    bool Seek(std::int64_t frame) override
    {
        if (frame < 0 || frame > m_length)
            return false;
        {
            std::lock_guard lock(m_mutex);
            m_position = frame;
            ++m_generation;
            const std::int64_t chunk = frame / m_chunkFrames;
            for (int l = 0; l < 2; ++l) {
                m_lanes[l].ready.clear();
                m_lanes[l].next = chunk + ((chunk % 2 == l) ? 0 : 1);
            }
        }
        m_changed.notify_all();
        return true;
    }

    std::int64_t Read(float* out, std::int64_t frames) override
    {
        StartLanes();
        const int channels = m_format.channels;
        std::int64_t done = 0;
        std::unique_lock lock(m_mutex);
        while (done < frames && m_position < m_length) {
            const std::int64_t chunk = m_position / m_chunkFrames;
            Lane& lane = m_lanes[chunk % 2];
            m_changed.wait(lock, [&] { return !m_error.empty() || (!lane.ready.empty()); });
            if (!m_error.empty())
                return -1;
            Chunk& ready = lane.ready.front();
            const std::int64_t offset = m_position - ready.index * m_chunkFrames;
            const std::int64_t n = std::min(frames - done, ready.frames - offset);
            std::memcpy(out + done * channels, ready.data.data() + offset * channels,
                        sizeof(float) * static_cast<std::size_t>(n * channels));
            done += n;
            m_position += n;
            if (offset + n >= ready.frames) {
                lane.spare = std::move(ready.data); // its memory serves the lane's next chunk
                lane.ready.pop_front();
                m_changed.notify_all();
            }
        }
        return done;
    }

private:
    struct Chunk {
        std::int64_t index = 0;
        std::int64_t frames = 0;
        std::vector<float> data;
    };
    struct Lane {
        std::shared_ptr<IPcmReader> reader; // the cut, in this lane's own decoder
        std::thread thread;
        std::deque<Chunk> ready;
        std::vector<float> spare;
        std::int64_t next = 0; // the next chunk this lane decodes
    };

    void StartLanes()
    {
        if (m_started)
            return;
        m_started = true;
        {
            std::lock_guard lock(m_mutex);
            const std::int64_t chunk = m_position / m_chunkFrames;
            for (int l = 0; l < 2; ++l)
                m_lanes[l].next = chunk + ((chunk % 2 == l) ? 0 : 1);
        }
        for (int l = 0; l < 2; ++l)
            m_lanes[l].thread = std::thread([this, l] { Decode(l); });
    }

    void Decode(int l)
    {
        Lane& lane = m_lanes[l];
        std::vector<float> buffer;
        for (;;) {
            std::int64_t index = 0;
            std::uint64_t generation = 0;
            {
                std::unique_lock lock(m_mutex);
                m_changed.wait(lock, [&] {
                    return m_stop || (lane.ready.size() < kReadyPerLane && lane.next * m_chunkFrames < m_length);
                });
                if (m_stop)
                    return;
                index = lane.next;
                generation = m_generation;
                if (buffer.empty())
                    buffer = std::move(lane.spare);
            }
            if (!lane.reader) {
                // Opened when it first has work: a cut of one chunk never needs it.
                std::string reason;
                auto source = m_open ? m_open(&reason) : nullptr;
                std::lock_guard lock(m_mutex);
                if (!source) {
                    m_error = reason.empty() ? "cannot open " + m_name + " again" : reason;
                    m_changed.notify_all();
                    return;
                }
                lane.reader = std::shared_ptr<IPcmReader>(MakeCutReader(std::move(source), m_first, m_end, m_name));
            }
            const std::int64_t start = index * m_chunkFrames;
            const std::int64_t frames = std::min(m_chunkFrames, m_length - start);
            buffer.resize(static_cast<std::size_t>(frames * m_format.channels));
            std::string failure;
            if (lane.reader->Tell() != start && !lane.reader->Seek(start))
                failure = lane.reader->Error();
            for (std::int64_t got = 0; failure.empty() && got < frames;) {
                const std::int64_t n = lane.reader->Read(buffer.data() + got * m_format.channels, frames - got);
                if (n <= 0)
                    failure = lane.reader->Error().empty() ? "cannot decode " + m_name : lane.reader->Error();
                got += std::max<std::int64_t>(n, 0);
            }
            std::lock_guard lock(m_mutex);
            if (generation != m_generation)
                continue; // a seek came in meanwhile: decode from the new place
            if (!failure.empty()) {
                m_error = failure;
                m_changed.notify_all();
                return;
            }
            lane.ready.push_back(Chunk{index, frames, std::move(buffer)});
            buffer.clear();
            lane.next += 2;
            m_changed.notify_all();
        }
    }

    SourceOpener m_open;
    std::string m_name;
    AudioFormat m_format;
    std::int64_t m_first = 0;
    std::int64_t m_end = 0;
    std::int64_t m_length = 0;
    std::int64_t m_chunkFrames = kMinChunkFrames;
    std::int64_t m_position = 0;
    bool m_started = false;

    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    Lane m_lanes[2];
    std::uint64_t m_generation = 0;
    bool m_stop = false;
    std::string m_error;
};

} // namespace

std::unique_ptr<IPcmReader> MakeParallelDecodeReader(SourceOpener open, std::shared_ptr<IPcmReader> opened,
                                                     std::int64_t firstFrame, std::int64_t endFrame,
                                                     std::string name)
{
    return std::make_unique<CParallelDecodeReader>(std::move(open), std::move(opened), firstFrame, endFrame,
                                                   std::move(name));
}
