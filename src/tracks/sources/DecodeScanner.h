#pragma once
// Decodes a whole source on background threads into level blocks of 10 ms
// (the channels mixed to mono: the lowest and highest sample and the RMS,
// as floats in -1..1). The silence finder works on the blocks, and the
// tracks page's waveform draws from them while the scan is still going.
//
// The source is decoded in segments of a minute or more, taken in turn by
// two threads with a decoder each (a seek decodes a little ahead of its
// target, so that each segment's first block is exact). Reading is safe
// from any thread at any time: the blocks are kept under a lock and
// copied out.
//
// A long MP3 is first sketched: before it takes a segment, the second thread
// decodes one frame in every few dozen on its own (exactly, see
// CMp3FrameSampler) and gives each frame's level to the blocks of the
// frames around it. That picture of the whole file is there in a fraction
// of the full decode's time; the full decode then replaces it.

#include "media/graph/MediaTime.h"

#include <condition_variable>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class IPcmReader;

struct SLevelBlock {
    float min = 0;
    float max = 0;
    float rms = 0;
};

class CDecodeScanner {
public:
    // `threads`: decoders at once (1 or 2).
    explicit CDecodeScanner(std::string sourcePath, int threads = 2);
    // Stops the scan and waits for its threads.
    ~CDecodeScanner();
    CDecodeScanner(const CDecodeScanner&) = delete;
    CDecodeScanner& operator=(const CDecodeScanner&) = delete;

    // `notify` runs on the scanning threads whenever blocks were added and
    // when the scan ends; it must only hand the news on. Before Start.
    void SetNotify(std::function<void()> notify);
    // Opens the source and starts the scan. False with `reason` when the
    // source cannot be decoded.
    bool Start(std::string* reason);
    // Asks the threads to stop; Done() turns true soon after.
    void Stop();
    // Waits up to timeoutMs (-1: for ever) for the scan to end; true when it has.
    bool Wait(long timeoutMs);

    // True once the sketch is there or will not come (a source under five
    // minutes, not an MP3, stopped); then Sketch() gives it. Done() waits
    // for it too.
    bool SketchDone() const;
    // One block for each of TotalBlocks(), or empty when there is no sketch.
    std::vector<SLevelBlock> Sketch() const;
    // One frame in how many was decoded for the sketch (0: no sketch).
    int SketchStride() const;

    // Blocks decoded, contiguous from block 0.
    std::size_t BlocksReady() const;
    // Blocks [first, first + count) that are ready (fewer when not all are).
    std::vector<SLevelBlock> CopyBlocks(std::size_t first, std::size_t count) const;
    // Every block, once Done().
    std::vector<SLevelBlock> AllBlocks() const { return CopyBlocks(0, TotalBlocks()); }
    bool Done() const;
    // Why the scan failed; "" when it did not (also when it was stopped).
    std::string Error() const;
    bool Stopped() const;

    // The number of blocks the whole source gives (exact for the sources
    // the decoders know the length of), known after Start.
    std::size_t TotalBlocks() const;
    int SampleRate() const { return m_sampleRate; }
    int BlockSamples() const { return m_blockSamples; }
    REFERENCE_TIME BlockTime() const { return 100000; } // 10 ms
    REFERENCE_TIME Duration() const { return m_duration; }

private:
    void Scan(std::unique_ptr<IPcmReader> reader, bool sketchFirst);
    void MakeSketch();
    void Finish(std::size_t segment, const std::string& reason);
    static SLevelBlock Level(const float* samples, std::int64_t frames, int channels);

    const std::string m_path;
    const int m_threads;
    std::function<void()> m_notify;
    int m_sampleRate = 0;
    int m_blockSamples = 0;
    REFERENCE_TIME m_duration = 0;

    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<std::vector<SLevelBlock>> m_segments; // blocks of each segment, in order
    std::vector<std::size_t> m_segmentFirst;          // first block of each segment, and the total
    std::vector<bool> m_segmentDone;
    std::size_t m_nextSegment = 0;
    std::size_t m_total = 0;
    std::vector<SLevelBlock> m_sketch;
    bool m_sketchDone = true;
    int m_sketchStride = 0;
    bool m_stop = false;
    std::string m_error;
    std::vector<std::thread> m_workers;
};

// Scans `path` to its end on this thread's caller (waits): the blocks, or
// empty with `reason`.
std::vector<SLevelBlock> ScanLevels(const std::string& path, std::string* reason, int threads = 2);
