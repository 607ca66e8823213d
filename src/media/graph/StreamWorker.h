#pragma once
// Streams one stream head: a producer thread reads blocks from the head's
// reader into a small bounded queue, a consumer thread pushes them into the
// sink. Decoding and what the sink does (playing, encoding, writing) thus run
// on two cores, and memory stays at a few blocks whatever the length.

#include "media/graph/Filter.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class CStreamWorker {
public:
    class Listener {
    public:
        virtual ~Listener() = default;
        // The sink took the end of the stream.
        virtual void OnStreamEnded(CStreamWorker& worker) = 0;
        // Reading or pushing failed; `reason` is empty when the sink's filter
        // (or a filter's EC_ERRORABORT) holds it.
        virtual void OnStreamFailed(CStreamWorker& worker, const std::string& reason) = 0;
        // A filter asked to abort the job (checked after every block).
        virtual bool AbortRequested() const = 0;
    };

    CStreamWorker(std::shared_ptr<IPcmReader> reader, IPcmSink* sink, CBaseFilter& sinkFilter,
                  std::int64_t startFrame, bool paused, Listener& listener);
    ~CStreamWorker();
    CStreamWorker(const CStreamWorker&) = delete;
    CStreamWorker& operator=(const CStreamWorker&) = delete;

    void Start();
    void SetPaused(bool paused);
    // Makes both threads return as soon as they can (a sink blocked inside
    // Receive must be woken by its filter's Interrupt).
    void RequestStop();
    void Join();

    std::int64_t StartFrame() const { return m_startFrame; }
    // Frames the sink has taken since the start.
    std::int64_t PushedFrames() const { return m_pushed; }
    bool Ended() const { return m_ended; }
    CBaseFilter& SinkFilter() const { return m_sinkFilter; }
    const AudioFormat& Format() const { return m_format; }

    // A renderer takes blocks at real-time pace: small ones keep what is
    // decoded ahead short. Writers and encoders take them as fast as they
    // come, and larger blocks cut the hand-overs between the two threads.
    static constexpr std::int64_t kRendererBlockFrames = 4096;
    static constexpr int kRendererBlocks = 4;
    static constexpr std::int64_t kBlockFrames = 16384;
    static constexpr int kBlocks = 8;

private:
    enum class ItemKind { Data, End, Error };
    struct Item {
        ItemKind kind = ItemKind::Data;
        int block = -1;
        std::int64_t frames = 0;
        std::string reason;
    };

    void Produce();
    void Consume();
    void Fail(const std::string& reason);
    bool StopRequested();

    std::shared_ptr<IPcmReader> m_reader;
    IPcmSink* m_sink;
    CBaseFilter& m_sinkFilter;
    const std::int64_t m_startFrame;
    const AudioFormat m_format;
    Listener& m_listener;
    const std::int64_t m_blockFrames;

    std::vector<std::vector<float>> m_blocks;
    std::mutex m_mutex;
    std::condition_variable m_dataReady;  // the consumer waits here
    std::condition_variable m_blockFree;  // the producer waits here
    std::vector<int> m_free;
    std::deque<Item> m_queue;
    bool m_paused;
    bool m_stop = false;

    std::atomic<std::int64_t> m_pushed{0};
    std::atomic<bool> m_ended{false};
    std::thread m_producer;
    std::thread m_consumer;
};
