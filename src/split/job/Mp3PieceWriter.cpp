#include "Mp3PieceWriter.h"

#include "media/filters/OutputFile.h"
#include "media/graph/MediaTypes.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <vector>

namespace {

constexpr std::size_t kCopyBlockBytes = 1 << 20;

std::string ErrnoText(int error)
{
    return std::strerror(error);
}

} // namespace

CMp3PieceWriter::CMp3PieceWriter(Mp3CopyPlan plan, UniqueFd source)
    : m_plan(std::move(plan)), m_source(std::move(source)), m_total(m_plan.TotalBytes())
{
}

CMp3PieceWriter::~CMp3PieceWriter()
{
    Cancel();
}

void CMp3PieceWriter::SetOutput(std::string folder, std::string name, long long firstNumber,
                                std::function<std::string()> check, NumberedName how)
{
    std::lock_guard lock(m_mutex);
    m_how = how;
    m_folder = std::move(folder);
    m_name = std::move(name);
    m_firstNumber = firstNumber;
    m_check = std::move(check);
    m_target = NumberedOutputPath(m_folder, m_name, m_firstNumber, m_how);
}

void CMp3PieceWriter::SetTags(std::string id3v2, std::string id3v1)
{
    m_id3v2 = std::move(id3v2);
    m_id3v1 = std::move(id3v1);
}

void CMp3PieceWriter::Start(std::function<void()> notify)
{
    if (m_thread.joinable())
        return;
    m_notify = std::move(notify);
    m_thread = std::thread([this] { Write(); });
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

JobStatus CMp3PieceWriter::Status() const
{
    std::lock_guard lock(m_mutex);
    return m_status;
}

std::string CMp3PieceWriter::OutputPath() const
{
    std::lock_guard lock(m_mutex);
    return m_target;
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
            m_failure = "cannot write " + OutputPath() + ": " + (done < 0 ? ErrnoText(errno) : "nothing was written");
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

void CMp3PieceWriter::Write()
{
    if (!m_source)
        return End(JobStatus::Failed, "cannot read " + m_plan.sourcePath + ": it is not open");
    // A source that changed since the plan was made is not copied at all.
    if (m_check)
        if (std::string changed = m_check(); !changed.empty())
            return End(JobStatus::Failed, changed);

    COutputFile out;
    out.SetNumberedTarget(m_folder, m_name, m_firstNumber, m_how);
    std::string reason;
    if (!out.Create(&reason))
        return End(JobStatus::Failed, reason);
    const int source = m_source.Get();
    const int target = out.Fd();

    std::int64_t at = 0;
    std::uint16_t musicCrc = 0;
    bool ok = Put(target, reinterpret_cast<const unsigned char*>(m_id3v2.data()), m_id3v2.size(), at);
    at += std::int64_t(m_id3v2.size());
    const std::int64_t infoAt = at;
    if (ok) {
        // The Info frame's place; it is written once the music CRC is known.
        const std::vector<unsigned char> placeholder(std::size_t(m_plan.infoHeader.frameBytes), 0);
        ok = Put(target, placeholder.data(), placeholder.size(), at);
        at += std::int64_t(placeholder.size());
    }
    if (ok) {
        musicCrc = LameCrc16(m_plan.donor.data(), m_plan.donor.size());
        ok = Put(target, m_plan.donor.data(), m_plan.donor.size(), at);
        at += std::int64_t(m_plan.donor.size());
    }
    for (std::size_t i = 0; ok && i < m_plan.runs.size(); ++i)
        ok = CopyRange(source, target, m_plan.runs[i], &at, &musicCrc);
    if (ok) {
        ok = Put(target, reinterpret_cast<const unsigned char*>(m_id3v1.data()), m_id3v1.size(), at);
        at += std::int64_t(m_id3v1.size());
    }
    if (ok) {
        NewInfoFrame info = m_plan.info;
        info.musicCrc = musicCrc;
        const std::vector<unsigned char> frame = MakeInfoFrame(m_plan.infoHeader, info);
        ok = Put(target, frame.data(), frame.size(), infoAt);
        m_written -= std::int64_t(frame.size()); // its place was counted already
    }
    if (ok && !m_cancel && m_check) {
        if (std::string changed = m_check(); !changed.empty()) {
            m_failure = std::move(changed);
            ok = false;
        }
    }
    if (ok && !m_cancel) {
        if (!out.Commit(&reason))
            return End(JobStatus::Failed, reason);
        {
            std::lock_guard lock(m_mutex);
            m_target = out.Path();
        }
        return End(JobStatus::Completed);
    }
    out.Discard();
    if (m_cancel)
        return End(JobStatus::Stopped, "the job was stopped");
    End(JobStatus::Failed, m_failure);
}
