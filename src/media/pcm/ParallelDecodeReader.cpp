// Decoding a long cut on two threads: the cut is read in chunks, the even
// ones by the reading thread itself, straight into the buffer it reads into,
// the odd ones ahead of time by a second decoder on a thread of its own. Worth
// it when what consumes the stream is cheap (writing WAV): the job then
// decodes at up to twice one core's speed.
// The even chunks are an eighth of the cut, from 65536 up to 524288 frames
// (about 12 s at 44.1 kHz): each chunk starts with a seek, which decodes a
// few frames ahead of it, so long cuts get long chunks. The odd chunks are a
// quarter longer: the reading thread also copies them out and shares its core
// with the writer, and with equal chunks the helper sat idle waiting for room
// for about a sixth of the job. It keeps at most two chunks ready, so memory
// stays near 15 MiB.

#include "media/pcm/PcmStages.h"

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <thread>

namespace {

constexpr std::int64_t kMinChunkFrames = 65536;
constexpr std::int64_t kMaxChunkFrames = 524288;
constexpr std::size_t kReadyChunks = 2;

class CParallelDecodeReader final : public IPcmReader {
public:
    CParallelDecodeReader(SourceOpener open, std::shared_ptr<IPcmReader> opened, std::int64_t first,
                          std::int64_t end, std::string name)
        : m_open(std::move(open)), m_name(std::move(name))
    {
        m_format = opened->Format();
        m_own = std::shared_ptr<IPcmReader>(MakeCutReader(std::move(opened), first, end, m_name));
        m_length = m_own->LengthFrames();
        m_evenFrames = std::clamp(m_length / 8, kMinChunkFrames, kMaxChunkFrames);
        m_oddFrames = m_evenFrames * 5 / 4;
        m_first = first;
        m_end = first + m_length;
    }

    ~CParallelDecodeReader() override
    {
        {
            std::lock_guard lock(m_mutex);
            m_stop = true;
        }
        m_changed.notify_all();
        if (m_helper.joinable())
            m_helper.join();
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
            m_ready.clear();
            m_next = FirstOddChunkFrom(frame);
        }
        m_changed.notify_all();
        return true;
    }

    std::int64_t Read(float* out, std::int64_t frames) override
    {
        StartHelper();
        const int channels = m_format.channels;
        std::int64_t done = 0;
        while (done < frames && m_position < m_length) {
            const std::int64_t chunk = ChunkOf(m_position);
            const std::int64_t chunkEnd = std::min(ChunkStart(chunk + 1), m_length);
            const std::int64_t n = std::min(frames - done, chunkEnd - m_position);
            if (chunk % 2 == 0) {
                if (!ReadOwn(out + done * channels, n))
                    return -1;
            } else {
                std::unique_lock lock(m_mutex);
                m_changed.wait(lock, [&] { return !m_error.empty() || !m_ready.empty(); });
                if (!m_error.empty())
                    return -1;
                Chunk& ready = m_ready.front();
                const std::int64_t offset = m_position - ChunkStart(ready.index);
                std::memcpy(out + done * channels, ready.data.data() + offset * channels,
                            sizeof(float) * static_cast<std::size_t>(n * channels));
                if (offset + n >= ready.frames) {
                    m_spare = std::move(ready.data); // its memory serves the next chunk
                    m_ready.pop_front();
                    lock.unlock();
                    m_changed.notify_all();
                }
            }
            done += n;
            m_position += n;
        }
        return done;
    }

private:
    struct Chunk {
        std::int64_t index = 0;
        std::int64_t frames = 0;
        std::vector<float> data;
    };

    std::int64_t ChunkOf(std::int64_t frame) const
    {
        const std::int64_t pairFrames = m_evenFrames + m_oddFrames;
        const std::int64_t pair = frame / pairFrames;
        return 2 * pair + (frame - pair * pairFrames >= m_evenFrames ? 1 : 0);
    }

    std::int64_t ChunkStart(std::int64_t chunk) const
    {
        return chunk / 2 * (m_evenFrames + m_oddFrames) + (chunk % 2 == 1 ? m_evenFrames : 0);
    }

    std::int64_t FirstOddChunkFrom(std::int64_t frame) const
    {
        const std::int64_t chunk = ChunkOf(frame);
        return chunk % 2 == 1 ? chunk : chunk + 1;
    }

    // The even chunks: this thread's own decoder, straight into `out`.
    bool ReadOwn(float* out, std::int64_t frames)
    {
        std::string failure;
        if (m_own->Tell() != m_position && !m_own->Seek(m_position))
            failure = m_own->Error();
        for (std::int64_t got = 0; failure.empty() && got < frames;) {
            const std::int64_t n = m_own->Read(out + got * m_format.channels, frames - got);
            if (n <= 0)
                failure = m_own->Error().empty() ? "cannot decode " + m_name : m_own->Error();
            got += std::max<std::int64_t>(n, 0);
        }
        if (failure.empty())
            return true;
        std::lock_guard lock(m_mutex);
        m_error = failure;
        return false;
    }

    void StartHelper()
    {
        if (m_started)
            return;
        m_started = true;
        {
            std::lock_guard lock(m_mutex);
            m_next = FirstOddChunkFrom(m_position);
        }
        m_helper = std::thread([this] { DecodeOddChunks(); });
    }

    void DecodeOddChunks()
    {
        std::shared_ptr<IPcmReader> reader; // the cut, in a decoder of its own
        std::vector<float> buffer;
        for (;;) {
            std::int64_t index = 0;
            std::uint64_t generation = 0;
            {
                std::unique_lock lock(m_mutex);
                m_changed.wait(lock, [&] {
                    return m_stop || (m_ready.size() < kReadyChunks && ChunkStart(m_next) < m_length);
                });
                if (m_stop)
                    return;
                index = m_next;
                generation = m_generation;
                if (buffer.empty())
                    buffer = std::move(m_spare);
            }
            if (!reader) {
                // Opened when it first has work: a cut of one chunk never needs it.
                std::string reason;
                auto source = m_open ? m_open(&reason) : nullptr;
                if (!source) {
                    std::lock_guard lock(m_mutex);
                    m_error = reason.empty() ? "cannot open " + m_name + " again" : reason;
                    m_changed.notify_all();
                    return;
                }
                reader = std::shared_ptr<IPcmReader>(MakeCutReader(std::move(source), m_first, m_end, m_name));
            }
            const std::int64_t start = ChunkStart(index);
            const std::int64_t frames = std::min(m_oddFrames, m_length - start);
            buffer.resize(static_cast<std::size_t>(frames * m_format.channels));
            std::string failure;
            if (reader->Tell() != start && !reader->Seek(start))
                failure = reader->Error();
            for (std::int64_t got = 0; failure.empty() && got < frames;) {
                const std::int64_t n = reader->Read(buffer.data() + got * m_format.channels, frames - got);
                if (n <= 0)
                    failure = reader->Error().empty() ? "cannot decode " + m_name : reader->Error();
                got += std::max<std::int64_t>(n, 0);
            }
            {
                std::lock_guard lock(m_mutex);
                if (generation != m_generation)
                    continue; // a seek came in meanwhile: decode from the new place
                if (!failure.empty()) {
                    m_error = failure;
                    m_changed.notify_all();
                    return;
                }
                m_ready.push_back(Chunk{index, frames, std::move(buffer)});
                buffer.clear();
                m_next += 2;
            }
            m_changed.notify_all();
        }
    }

    SourceOpener m_open;
    std::string m_name;
    AudioFormat m_format;
    std::shared_ptr<IPcmReader> m_own; // the cut, in the reading thread's decoder
    std::int64_t m_first = 0;
    std::int64_t m_end = 0;
    std::int64_t m_length = 0;
    std::int64_t m_evenFrames = kMinChunkFrames; // decoded by the reading thread
    std::int64_t m_oddFrames = kMinChunkFrames;  // by the helper
    std::int64_t m_position = 0;
    bool m_started = false;

    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::thread m_helper;
    std::deque<Chunk> m_ready;  // decoded odd chunks, in order
    std::vector<float> m_spare; // a handed-out chunk's memory
    std::int64_t m_next = 1;    // the next odd chunk to decode
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
