// The raw file writer and the system file writer: bytes in, written at
// their offsets into the named file.
//
// The file is created when the graph starts, with O_EXCL so that a file
// that is already there is never truncated. Asked to overwrite, the writer
// writes a hidden sibling and renames it over the target when the job ends,
// so a failed job leaves the old file untouched. An existing device (say
// /dev/null) is written in place and never removed.

#include "media/filters/FileWriter.h"

#include "media/graph/ClassIds.h"
#include "media/graph/UniqueFd.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <mutex>
#include <utility>
#include <sys/stat.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

std::string ErrnoText(int error)
{
    return std::strerror(error);
}

class CFileWriter;

class CFileWriterInputPin final : public CPin, public IByteSink {
public:
    explicit CFileWriterInputPin(CFileWriter& owner);
    HRESULT QueryAccept(const MediaType& type) const override
    {
        return (type.kind == MediaKind::Mp3 || type.kind == MediaKind::Wave) ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
    }
    IByteSink* ByteSink() override { return this; }
    HRESULT WriteAt(std::uint64_t offset, const void* data, std::size_t size) override;
    HRESULT EndOfStream() override;

private:
    CFileWriter& m_writer;
};

class CFileWriter final : public CBaseFilter, public IFileSinkFilter {
public:
    explicit CFileWriter(const char* clsidText) : CBaseFilter(clsidText)
    {
        AddPin(std::make_shared<CFileWriterInputPin>(*this));
    }

    ~CFileWriter() override
    {
        std::lock_guard lock(m_mutex);
        m_fd.Reset();
        if (!m_tempPath.empty()) // never renamed into place: not a finished file
            ::unlink(m_tempPath.c_str());
    }

    HRESULT SetFileName(const std::string& path, const MediaType* type) override
    {
        if (type)
            return E_INVALIDARG;
        if (path.empty())
            return E_INVALIDARG;
        std::lock_guard lock(m_mutex);
        if (m_fd)
            return VFW_E_WRONG_STATE;
        m_path = path;
        return S_OK;
    }

    HRESULT GetCurFile(std::string* path) const override
    {
        if (!path)
            return E_POINTER;
        std::lock_guard lock(m_mutex);
        *path = m_path;
        return S_OK;
    }

    HRESULT SetOverwrite(bool overwrite) override
    {
        m_overwrite = overwrite;
        return S_OK;
    }

    std::string Describe() const override
    {
        std::lock_guard lock(m_mutex);
        return m_path;
    }

    // The file is made once per run of the graph: on the first of Pause and
    // Run. A stream may already have ended (or failed) by the time Run comes,
    // and must not find its finished (or removed) output made again.
    HRESULT Pause() override { return Start(); }
    HRESULT Run() override { return Start(); }

    // A stop before the end keeps what was written. The descriptor stays
    // open so that the encoding stage can still finish its data (it is
    // stopped after us); it is closed on the next start or with the filter.
    HRESULT Stop() override
    {
        std::unique_lock lock(m_mutex);
        m_running = false;
        if (m_discard && !m_ended) {
            lock.unlock();
            Abort(true);
            return S_OK;
        }
        if (m_fd && !m_ended)
            PutInPlace();
        return S_OK;
    }

    void DiscardOutput() override { m_discard = true; }

    void Abort(bool removeOutput) override
    {
        std::lock_guard lock(m_mutex);
        if (m_discard && !m_ended)
            removeOutput = true;
        if (!removeOutput) {
            if (m_fd && !m_ended)
                PutInPlace();
            return;
        }
        m_fd.Reset();
        if (!m_tempPath.empty()) {
            ::unlink(m_tempPath.c_str());
            m_tempPath.clear();
        } else if (!m_createdPath.empty()) {
            ::unlink(m_createdPath.c_str());
        }
        m_createdPath.clear();
    }

    HRESULT WriteAt(std::uint64_t offset, const void* data, std::size_t size)
    {
        std::lock_guard lock(m_mutex);
        if (!m_fd)
            return VFW_E_WRONG_STATE; // stopped or failed: nothing more goes in
        const char* bytes = static_cast<const char*>(data);
        while (size > 0) {
            const ssize_t written = ::pwrite(m_fd.Get(), bytes, size, static_cast<off_t>(offset));
            if (written < 0) {
                if (errno == EINTR)
                    continue;
                return Fail("cannot write " + m_path + ": " + ErrnoText(errno));
            }
            if (written == 0)
                return Fail("cannot write " + m_path + ": nothing was written");
            bytes += written;
            size -= static_cast<std::size_t>(written);
            offset += static_cast<std::uint64_t>(written);
        }
        return S_OK;
    }

    HRESULT EndOfStream()
    {
        std::lock_guard lock(m_mutex);
        if (!m_fd)
            return VFW_E_WRONG_STATE;
        const int fd = m_fd.Release();
        if (::close(fd) != 0)
            return Fail("cannot finish " + m_path + ": " + ErrnoText(errno));
        m_ended = true;
        return PutInPlace();
    }

private:
    HRESULT Start()
    {
        {
            std::lock_guard lock(m_mutex);
            if (m_running)
                return S_OK;
            m_running = true;
        }
        return Open();
    }

    HRESULT Open()
    {
        std::lock_guard lock(m_mutex);
        if (m_fd && !m_stoppedInPlace && !m_ended)
            return S_OK; // already writing (Pause, then Run)
        if (m_path.empty())
            return Fail("no output file name was given");
        m_fd.Reset();
        m_ended = false;
        m_stoppedInPlace = false;
        m_discard = false;

        if (m_device || !m_createdPath.empty()) {
            // Started again after a stop: this job's own output starts afresh.
            const int flags = m_device ? O_WRONLY : O_WRONLY | O_TRUNC;
            m_fd = UniqueFd(::open(m_path.c_str(), flags | O_CLOEXEC));
            if (!m_fd)
                return Fail("cannot open " + m_path + ": " + ErrnoText(errno));
            return S_OK;
        }

        struct stat info {};
        const bool exists = ::lstat(m_path.c_str(), &info) == 0;
        if (exists && S_ISDIR(info.st_mode))
            return Fail("cannot create " + m_path + ": it is a folder");
        if (exists && !S_ISREG(info.st_mode) && !S_ISLNK(info.st_mode)) {
            // A device or pipe: written as it is, never removed.
            m_fd = UniqueFd(::open(m_path.c_str(), O_WRONLY | O_CLOEXEC));
            if (!m_fd)
                return Fail("cannot open " + m_path + ": " + ErrnoText(errno));
            m_device = true;
            return S_OK;
        }
        if (exists && !m_overwrite)
            return Fail("cannot create " + m_path + ": the file exists and is not overwritten");
        if (!exists) {
            m_fd = UniqueFd(::open(m_path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
            if (!m_fd)
                return Fail("cannot create " + m_path + ": " + ErrnoText(errno));
            m_createdPath = m_path;
            return S_OK;
        }
        // Overwriting: write beside the old file, which stays until the end.
        const fs::path target(m_path);
        static std::atomic<unsigned> counter{0};
        for (int attempt = 0; attempt < 100 && !m_fd; ++attempt) {
            const std::string name = "." + target.filename().string() + ".part" + std::to_string(::getpid())
                                     + "-" + std::to_string(counter++);
            const std::string temp = (target.parent_path() / name).string();
            m_fd = UniqueFd(::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
            if (m_fd)
                m_tempPath = temp;
            else if (errno != EEXIST)
                return Fail("cannot create a file beside " + m_path + ": " + ErrnoText(errno));
        }
        if (!m_fd)
            return Fail("cannot create a file beside " + m_path);
        return S_OK;
    }

    // Moves a file written beside its target into place.
    HRESULT PutInPlace()
    {
        m_stoppedInPlace = true;
        if (m_tempPath.empty())
            return S_OK;
        const std::string temp = std::exchange(m_tempPath, {});
        if (::rename(temp.c_str(), m_path.c_str()) != 0) {
            const int error = errno;
            ::unlink(temp.c_str());
            return Fail("cannot replace " + m_path + ": " + ErrnoText(error));
        }
        m_createdPath = m_path; // from now on the output is ours
        return S_OK;
    }

    HRESULT Fail(const std::string& reason)
    {
        SetLastError(reason);
        NotifyEvent(EC_ERRORABORT, E_FAIL, reason);
        return E_FAIL;
    }

    mutable std::mutex m_mutex;
    std::string m_path;
    std::atomic<bool> m_overwrite{false};
    std::atomic<bool> m_discard{false};
    UniqueFd m_fd;
    std::string m_createdPath; // the output this writer made (removed on failure)
    std::string m_tempPath;    // the hidden sibling while overwriting
    bool m_ended = false;
    bool m_stoppedInPlace = false;
    bool m_device = false;
    bool m_running = false; // between the start of a run and the next Stop
};

CFileWriterInputPin::CFileWriterInputPin(CFileWriter& owner) : CPin(owner, "in", PINDIR_INPUT), m_writer(owner) {}

HRESULT CFileWriterInputPin::WriteAt(std::uint64_t offset, const void* data, std::size_t size)
{
    return m_writer.WriteAt(offset, data, size);
}

HRESULT CFileWriterInputPin::EndOfStream()
{
    return m_writer.EndOfStream();
}

} // namespace

IFileSinkFilter* GetFileSink(const std::shared_ptr<CBaseFilter>& filter)
{
    return dynamic_cast<IFileSinkFilter*>(filter.get());
}

std::shared_ptr<CBaseFilter> CreateRawFileWriter()
{
    return std::make_shared<CFileWriter>(clsid::RawFileWriter);
}

std::shared_ptr<CBaseFilter> CreateSystemFileWriter()
{
    return std::make_shared<CFileWriter>(clsid::FileWriter);
}
