#pragma once
// Writes a planned MP3 piece (Mp3CopyPlan) on a thread of its own: the
// source's bytes copied as they are, the made-up frames, and the Info frame
// with the music CRC once every frame has passed.
//
// The piece is written under a hidden temporary name in the output folder
// and moved to its name when complete, never over a file that is there by
// then. A cancel or a failure removes the temporary file: a piece is
// complete or absent.

#include "JobResult.h"
#include "Mp3CopyPlan.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

class CMp3PieceWriter {
public:
    explicit CMp3PieceWriter(Mp3CopyPlan plan);
    // Cancels a run that has not ended and waits for its thread.
    ~CMp3PieceWriter();
    CMp3PieceWriter(const CMp3PieceWriter&) = delete;
    CMp3PieceWriter& operator=(const CMp3PieceWriter&) = delete;

    // Starts writing to `outputPath`. `notify` runs once, on the writing
    // thread, when the run has ended: it must only hand the news on.
    void Start(const std::string& outputPath, std::function<void()> notify);
    // The run's end: Completed, Failed (Error() says why) or Stopped;
    // Running while it is still running after `timeoutMs`.
    JobStatus Wait(long timeoutMs);
    // Stops the run and removes what it wrote; returns when the thread is done.
    void Cancel();

    std::int64_t BytesWritten() const { return m_written; }
    std::int64_t TotalBytes() const { return m_total; }
    std::string Error() const;

private:
    void Write(const std::string& outputPath);
    bool CopyRange(int source, int target, ByteRange range, std::int64_t* at, std::uint16_t* crc);
    bool Put(int target, const unsigned char* data, std::size_t size, std::int64_t at);
    void End(JobStatus status, const std::string& error = {});

    const Mp3CopyPlan m_plan;
    const std::int64_t m_total;
    std::atomic<std::int64_t> m_written{0};
    std::atomic<bool> m_cancel{false};
    std::function<void()> m_notify;
    std::thread m_thread;

    mutable std::mutex m_mutex;
    std::condition_variable m_ended;
    JobStatus m_status = JobStatus::Running;
    std::string m_error;
    std::string m_target;
    std::string m_failure; // the reason of the step that failed, while writing
};
