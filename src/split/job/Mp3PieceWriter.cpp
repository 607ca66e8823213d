#include "Mp3PieceWriter.h"

#include "media/graph/MediaTypes.h"
#include "media/graph/UniqueFd.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kCopyBlockBytes = 1 << 20;

std::string ErrnoText(int error)
{
    return std::strerror(error);
}

// Moves `temp` to `target` unless something is there by now.
int RenameNoReplace(const std::string& temp, const std::string& target)
{
    if (::renameat2(AT_FDCWD, temp.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    // A file system without RENAME_NOREPLACE: a hard link fails just the same on an existing name.
    if (::link(temp.c_str(), target.c_str()) != 0)
        return errno;
    ::unlink(temp.c_str());
    return 0;
}

} // namespace

CMp3PieceWriter::CMp3PieceWriter(Mp3CopyPlan plan) : m_plan(std::move(plan)), m_total(m_plan.TotalBytes()) {}

CMp3PieceWriter::~CMp3PieceWriter()
{
    Cancel();
}

void CMp3PieceWriter::Start(const std::string& outputPath, std::function<void()> notify)
{
    if (m_thread.joinable())
        return;
    m_notify = std::move(notify);
    m_thread = std::thread([this, outputPath] { Write(outputPath); });
}

JobStatus CMp3PieceWriter::Wait(long timeoutMs)
{
    std::unique_lock lock(m_mutex);
    m_ended.wait_for(lock, std::chrono::milliseconds(std::max(0L, timeoutMs)), [this] { return m_status != JobStatus::Running; });
    return m_status;
}

void CMp3PieceWriter::Cancel()
{
    m_cancel = true;
    if (m_thread.joinable())
        m_thread.join();
}

std::string CMp3PieceWriter::Error() const
{
    std::lock_guard lock(m_mutex);
    return m_error;
}

void CMp3PieceWriter::End(JobStatus status, const std::string& error)
{
    std::function<void()> notify;
    {
        std::lock_guard lock(m_mutex);
        m_status = status;
        m_error = error;
        notify = m_notify;
    }
    m_ended.notify_all();
    if (notify)
        notify();
}

bool CMp3PieceWriter::Put(int target, const unsigned char* data, std::size_t size, std::int64_t at)
{
    while (size > 0) {
        const ssize_t done = ::pwrite(target, data, size, static_cast<off_t>(at));
        if (done < 0 && errno == EINTR)
            continue;
        if (done <= 0) {
            m_failure = "cannot write " + m_target + ": " + (done < 0 ? ErrnoText(errno) : "nothing was written");
            return false;
        }
        data += done;
        size -= std::size_t(done);
        at += done;
        m_written += done;
    }
    return true;
}

bool CMp3PieceWriter::CopyRange(int source, int target, ByteRange range, std::int64_t* at, std::uint16_t* crc)
{
    std::vector<unsigned char> block(std::min<std::size_t>(kCopyBlockBytes, std::size_t(range.end - range.begin)));
    for (std::int64_t from = range.begin; from < range.end;) {
        if (m_cancel)
            return false;
        const std::size_t want = std::min<std::size_t>(block.size(), std::size_t(range.end - from));
        const ssize_t got = ::pread(source, block.data(), want, static_cast<off_t>(from));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            m_failure = "cannot read " + m_plan.sourcePath + ": " +
                        (got < 0 ? ErrnoText(errno) : std::string("the file was truncated while it was read"));
            return false;
        }
        if (crc)
            *crc = LameCrc16(block.data(), std::size_t(got), *crc);
        if (!Put(target, block.data(), std::size_t(got), *at))
            return false;
        *at += got;
        from += got;
    }
    return true;
}

void CMp3PieceWriter::Write(const std::string& outputPath)
{
    m_target = outputPath;
    std::string reason;
    long long size = 0;
    const UniqueFd source = OpenForReading(m_plan.sourcePath, &reason, &size);
    if (!source)
        return End(JobStatus::Failed, reason);
    if (size != m_plan.sourceSize)
        return End(JobStatus::Failed, m_plan.sourcePath + " changed since the piece was planned");

    // A hidden sibling of the piece, unique to this process and run.
    const fs::path final(outputPath);
    static std::atomic<unsigned> counter{0};
    std::string temp;
    UniqueFd target;
    for (int attempt = 0; attempt < 100 && !target; ++attempt) {
        temp = (final.parent_path() / ("." + final.filename().string() + ".part" + std::to_string(::getpid()) + "-"
                                        + std::to_string(counter++)))
                   .string();
        target = UniqueFd(::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
        if (!target && errno != EEXIST)
            return End(JobStatus::Failed, "cannot create a file beside " + outputPath + ": " + ErrnoText(errno));
    }
    if (!target)
        return End(JobStatus::Failed, "cannot create a file beside " + outputPath);

    std::int64_t at = 0;
    std::uint16_t musicCrc = 0;
    bool ok = CopyRange(source.Get(), target.Get(), m_plan.id3v2, &at, nullptr);
    const std::int64_t infoAt = at;
    if (ok) {
        // The Info frame's place; it is written once the music CRC is known.
        const std::vector<unsigned char> placeholder(std::size_t(m_plan.infoHeader.frameBytes), 0);
        ok = Put(target.Get(), placeholder.data(), placeholder.size(), at);
        at += std::int64_t(placeholder.size());
    }
    if (ok) {
        musicCrc = LameCrc16(m_plan.donor.data(), m_plan.donor.size());
        ok = Put(target.Get(), m_plan.donor.data(), m_plan.donor.size(), at);
        at += std::int64_t(m_plan.donor.size());
    }
    for (std::size_t i = 0; ok && i < m_plan.runs.size(); ++i)
        ok = CopyRange(source.Get(), target.Get(), m_plan.runs[i], &at, &musicCrc);
    if (ok)
        ok = CopyRange(source.Get(), target.Get(), m_plan.id3v1, &at, nullptr);
    if (ok) {
        NewInfoFrame info = m_plan.info;
        info.musicCrc = musicCrc;
        const std::vector<unsigned char> frame = MakeInfoFrame(m_plan.infoHeader, info);
        ok = Put(target.Get(), frame.data(), frame.size(), infoAt);
        m_written -= std::int64_t(frame.size()); // its place was counted already
    }
    if (ok && ::close(target.Release()) != 0) {
        m_failure = "cannot finish " + outputPath + ": " + ErrnoText(errno);
        ok = false;
    }
    if (ok && !m_cancel) {
        if (const int error = RenameNoReplace(temp, outputPath); error != 0) {
            ::unlink(temp.c_str());
            return End(JobStatus::Failed, error == EEXIST ? "cannot create " + outputPath + ": the file exists"
                                                      : "cannot create " + outputPath + ": " + ErrnoText(error));
        }
        return End(JobStatus::Completed);
    }
    target.Reset();
    ::unlink(temp.c_str());
    if (m_cancel)
        return End(JobStatus::Stopped, "the job was stopped");
    End(JobStatus::Failed, m_failure);
}
