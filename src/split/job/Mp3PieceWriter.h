#pragma once
// Writes a planned MP3 piece (Mp3CopyPlan) on a thread of its own: its
// ID3v2 tag, the source's frames copied as they are, the made-up frames,
// its ID3v1 tag, and the Info frame with the music CRC once every frame has
// passed.
//
// The piece is written under a hidden temporary name in the output folder
// and moved to its numbered name when complete (COutputFile), never over a
// file that is there by then. A cancel or a failure removes the temporary
// file: a piece is complete or absent. The source is read through the
// descriptor the plan was made from.

#include "JobResult.h"
#include "Mp3CopyPlan.h"
#include "media/filters/OutputFile.h"
#include "media/graph/UniqueFd.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

class CMp3PieceWriter {
public:
    // `source`: the descriptor `plan` was made from; the copy reads it.
    CMp3PieceWriter(Mp3CopyPlan plan, UniqueFd source);
    // Cancels a run that has not ended and waits for its thread.
    ~CMp3PieceWriter();
    CMp3PieceWriter(const CMp3PieceWriter&) = delete;
    CMp3PieceWriter& operator=(const CMp3PieceWriter&) = delete;

    // Where the piece goes: folder/N-name, N the first free number from
    // `firstNumber` on when it is complete. `check` is asked before writing
    // and before the piece is moved to its name: a non-empty answer fails
    // the run with it (a source that changed).
    void SetOutput(std::string folder, std::string name, long long firstNumber,
                   std::function<std::string()> check, NumberedName how = NumberedName::Prefix);
    // The tags the piece opens and ends with (rendered ID3v2 and ID3v1; ""
    // for none). Before Start.
    void SetTags(std::string id3v2, std::string id3v1);
    // Starts writing. `notify` runs once, on the writing thread, when the
    // run has ended: it must only hand the news on.
    void Start(std::function<void()> notify);
    // The run's end: Completed, Failed (Error() says why) or Stopped;
    // Running while it is still running after `timeoutMs`.
    JobStatus Wait(long timeoutMs);
    // How the run stands now.
    JobStatus Status() const;
    // Stops the run and removes what it wrote; returns when the thread is done.
    void Cancel();

    std::int64_t BytesWritten() const { return m_written; }
    std::int64_t TotalBytes() const { return m_total + std::int64_t(m_id3v2.size() + m_id3v1.size()); }
    std::string Error() const;
    // The piece's name: the first candidate until it is complete, then the
    // name it was moved to.
    std::string OutputPath() const;

private:
    void Write();
    bool CopyRange(int source, int target, ByteRange range, std::int64_t* at, std::uint16_t* crc);
    bool Put(int target, const unsigned char* data, std::size_t size, std::int64_t at);
    void End(JobStatus status, const std::string& error = {});

    const Mp3CopyPlan m_plan;
    const UniqueFd m_source;
    const std::int64_t m_total;
    std::string m_folder, m_name;
    long long m_firstNumber = 1;
    NumberedName m_how = NumberedName::Prefix;
    std::function<std::string()> m_check;
    std::string m_id3v2, m_id3v1;
    std::atomic<std::int64_t> m_written{0};
    std::atomic<bool> m_cancel{false};
    std::function<void()> m_notify;
    std::thread m_thread;

    mutable std::mutex m_mutex;
    std::condition_variable m_ended;
    JobStatus m_status = JobStatus::Running;
    std::string m_error;
    std::string m_target; // the piece's name, as OutputPath() tells it
    std::string m_failure; // the reason of the step that failed, while writing
};
