#pragma once
// MP3 encoding on several threads. The piece is cut on the MP3 frame grid
// into segments of about ten seconds; each segment gets an encoder of its
// own (same settings), fed from a whole number of frames before the
// segment (so that its frames fall on the single encoder's grid and its
// psychoacoustic state has settled) to a few frames past it. Only the
// first segment's encoder starts at sample 0, as a single encoder would,
// and only the last one is flushed. The frames are joined in order near
// each segment boundary (Mp3Stitch.h) and written as soon as they are
// final; the info frame written last describes the whole stream.
//
// Memory stays bounded whatever the length and the thread count: the
// producer waits while threads + 1 segments of PCM are held, 12 MiB in all
// with two threads and less with more (segments get shorter with more
// threads; past seven at 44.1 kHz stereo no more are started).
//
// Where an encoder has gone on through all of the next segment's audio and
// still no frame joins, it takes that segment over: that segment's frames
// and PCM go, and the encoder joins the one after it instead (its frames
// that are final by then are written and dropped, so that it holds no more
// than before), or, where the dropped one was the last, is flushed as the
// last itself. An encoder only goes on into a segment that is encoded, whose
// PCM is all there, so the producer's limit stays as it is.

#include "media/filters/Mp3Stitch.h"
#include "media/graph/MediaTypes.h"

#include <lame/lame.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct LameDeleter {
    void operator()(lame_global_flags* flags) const { lame_close(flags); }
};
using LameHandle = std::unique_ptr<lame_global_flags, LameDeleter>;

class CParallelMp3Encoder {
public:
    // A new encoder with the job's settings (lame_init_params done); null
    // when LAME refuses.
    using MakeLame = std::function<LameHandle()>;
    // Puts bytes at their file offset (the file writer's WriteAt).
    using Write = std::function<HRESULT(std::uint64_t offset, const unsigned char* data, std::size_t size)>;

    CParallelMp3Encoder(MakeLame make, int channels, int sampleRate, int threads, Write write);
    ~CParallelMp3Encoder();
    CParallelMp3Encoder(const CParallelMp3Encoder&) = delete;
    CParallelMp3Encoder& operator=(const CParallelMp3Encoder&) = delete;

    // How a step went: Interrupted after Interrupt (nothing more is taken),
    // Failed after any failure (Error() or the writer says why).
    enum class Outcome { Done, Interrupted, Failed };

    // Makes the first segment's encoder; fails when LAME refuses.
    [[nodiscard]] Outcome Start();
    // Takes interleaved samples; waits while the segments in flight are at
    // their limit.
    [[nodiscard]] Outcome Encode(const float* samples, std::int64_t frames);
    // The end of the stream: waits for every segment, then writes the info
    // frame over the first frame.
    [[nodiscard]] Outcome Finish();
    // Wakes a waiting Encode or Finish (which are then Interrupted), e.g. for a stop.
    void Interrupt();
    // Takes audio again after an Interrupt that was no stop (a seek).
    void Resume();
    // Ends a run that did not finish: every thread ends at its next block;
    // what was encoded in order is written as a finished, playable file.
    // Nothing is written after a failure.
    void Stop();

    // Why the encoding failed ("" when it did not, or when the writer failed:
    // then WriterFailed() is true and the writer holds the reason).
    std::string Error() const;
    bool WriterFailed() const;
    int Threads() const { return m_threads; }
    // PCM frames whose MP3 frames are written (they rise as the file grows).
    std::int64_t DoneFrames() const { return m_doneFrames; }

private:
    struct Segment;

    // Frames each later segment's encoder codes before the segment, for its
    // psychoacoustic state and reservoir to settle. Measured on busy music-like
    // signals (bench/): after 10 frames single blocks at the joins were up to
    // 4 dB weaker than the single encoder's; after 20, no weaker than anywhere.
    static constexpr std::int64_t kPrerollFrames = 20;
    // Frames an encoder codes past its segment; the next one takes over at the
    // first of them where its windows and reservoir fit.
    static constexpr std::int64_t kOverlapFrames = 8;
    // How much earlier a join may fall when no good place is found past the
    // pre-roll (the next encoder then has had at least half of it).
    static constexpr std::int64_t kEarlyJoinFrames = kPrerollFrames / 2;

    void Work();
    bool EncodeSegment(Segment& segment, std::unique_lock<std::mutex>& lock);
    Segment& NewSegment(std::int64_t index);
    void WriteInOrder(bool stopping);
    void ReleasePcm(Segment& segment);
    bool ExtendInto(Segment& segment, const Segment& next);
    bool TakeOver(Segment& front);
    bool WriteFrames(const Segment& segment, std::int64_t to);
    void WriteTail(Segment& segment, std::int64_t from);
    bool EndStream();
    void FailLocked(const std::string& reason, bool writer = false);

    const MakeLame m_make;
    const int m_channels;
    const int m_samplesPerFrame;
    int m_threads; // at most the threads asked for
    const Write m_write;
    std::int64_t m_segmentFrames = 0; // L: segment length in MP3 frames
    std::int64_t m_inputLimit = 0;    // PCM frames one segment's encoder takes at most
    std::size_t m_maxSegments = 0;    // segments holding PCM at once
    std::size_t m_runBytes = 0;       // room for one segment's MP3 bytes

    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<std::unique_ptr<Segment>> m_segments; // in order, from the one being written on
    std::vector<std::unique_ptr<float[]>> m_freePcm;  // buffers of finished segments
    std::vector<std::thread> m_workers;
    Segment* m_current = nullptr;   // the segment the producer fills
    std::size_t m_pcmSegments = 0;  // segments holding PCM (until the one before has handed over)
    std::int64_t m_inputFrames = 0; // PCM frames taken so far
    std::int64_t m_writeFrom = -1;  // first frame of the front segment still to write; -1: none begun
    bool m_allWritten = false;
    bool m_stop = false;
    bool m_interrupted = false;
    bool m_failed = false;
    bool m_writerFailed = false;
    bool m_sinkFailed = false;
    std::string m_error;

    CMainDataPacker m_packer;
    std::uint64_t m_offset = 0;        // where the next finished frame goes
    std::vector<unsigned char> m_info; // the first encoder's info frame
    std::int64_t m_endSample = -1;     // samples the written frames hold (-1: up to the last frame)
    std::atomic<std::int64_t> m_doneFrames{0};
};

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
