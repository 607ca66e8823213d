// The raw file writer and the system file writer: bytes in, written at
// their offsets into the named file.
//
// The bytes go to a hidden temporary beside the output, made when the graph
// starts; the end of the stream moves it to its name (COutputFile), so the
// name never shows a partial file and a file that was there is never
// truncated. Asked to overwrite, the move replaces the old file, which a
// failed job leaves untouched. An existing device (say /dev/null) is
// written in place and never removed.
//
// Bytes set to lead the stream (an MP3's ID3v2 tag) are written when the
// file is made and the stream's offsets count after them; bytes set to
// trail it (an ID3v1 tag) are added when it has ended. A finishing step
// the job gives (a WAV file's tags) then works on the whole temporary
// before it gets its name.

#include "media/filters/FileWriter.h"

#include "media/filters/OutputFile.h"
#include "media/graph/ClassIds.h"
#include "media/graph/UniqueFd.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <utility>
#include <sys/stat.h>
#include <unistd.h>

namespace {

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

    HRESULT SetFileName(const std::string& path, const MediaType* type) override
    {
        if (type)
            return E_INVALIDARG;
        if (path.empty())
            return E_INVALIDARG;
        std::lock_guard lock(m_mutex);
        if (Writing())
            return VFW_E_WRONG_STATE;
        m_path = path;
        m_numbered = false;
        return S_OK;
    }

    HRESULT SetNumberedFileName(const std::string& folder, const std::string& name, long long firstNumber,
                                NumberedName how) override
    {
        if (folder.empty() || name.empty() || firstNumber < 0)
            return E_INVALIDARG;
        std::lock_guard lock(m_mutex);
        if (Writing())
            return VFW_E_WRONG_STATE;
        m_numbered = true;
        m_folder = folder;
        m_name = name;
        m_firstNumber = firstNumber;
        m_how = how;
        m_path = NumberedOutputPath(folder, name, firstNumber, how);
        return S_OK;
    }

    HRESULT GetCurFile(std::string* path) const override
    {
        if (!path)
            return E_POINTER;
        std::lock_guard lock(m_mutex);
        *path = CurrentPath();
        return S_OK;
    }

    HRESULT SetOverwrite(bool overwrite) override
    {
        m_overwrite = overwrite;
        return S_OK;
    }

    void SetCommitCheck(std::function<std::string()> check) override
    {
        std::lock_guard lock(m_mutex);
        m_check = std::move(check);
    }

    HRESULT SetLeadingBytes(std::string bytes) override
    {
        std::lock_guard lock(m_mutex);
        if (Writing())
            return VFW_E_WRONG_STATE;
        m_leading = std::move(bytes);
        return S_OK;
    }

    HRESULT SetTrailingBytes(std::string bytes) override
    {
        std::lock_guard lock(m_mutex);
        if (Writing())
            return VFW_E_WRONG_STATE;
        m_trailing = std::move(bytes);
        return S_OK;
    }

    void SetFinishStep(std::function<std::string(const std::string&, bool)> step) override
    {
        std::lock_guard lock(m_mutex);
        m_finish = std::move(step);
    }

    std::uint64_t BytesWritten() const override { return m_bytes; }

    bool OutputComplete() const override
    {
        std::lock_guard lock(m_mutex);
        return m_ended;
    }

    std::string Describe() const override
    {
        std::lock_guard lock(m_mutex);
        return CurrentPath();
    }

    // The file is made once per run of the graph: on the first of Pause and
    // Run. A stream may already have ended (or failed) by the time Run comes,
    // and must not find its finished (or removed) output made again.
    HRESULT Pause() override { return Start(); }
    HRESULT Run() override { return Start(); }

    // A stop before the end leaves the temporary as it is: the encoding
    // stage (stopped after us) may still finish its data into it. KeepOutput
    // then moves it to its name; otherwise it goes with the next start or
    // with the filter.
    HRESULT Stop() override
    {
        std::unique_lock lock(m_mutex);
        m_running = false;
        if (m_discard && !m_ended)
            DiscardLocked();
        return S_OK;
    }

    void DiscardOutput() override { m_discard = true; }

    void Abort(bool removeOutput) override
    {
        std::lock_guard lock(m_mutex);
        if ((removeOutput || m_discard) && !m_ended)
            DiscardLocked();
    }

    HRESULT KeepOutput() override
    {
        std::lock_guard lock(m_mutex);
        if (m_ended)
            return S_OK;
        if (m_device) {
            m_device.Reset();
            m_ended = true;
            return S_OK;
        }
        if (!m_out.IsOpen()) {
            SetLastError("nothing was written to " + CurrentPath());
            return E_FAIL;
        }
        std::string reason;
        if (!PutInPlaceLocked(true, &reason)) {
            SetLastError(reason);
            return E_FAIL;
        }
        return S_OK;
    }

    HRESULT WriteAt(std::uint64_t offset, const void* data, std::size_t size)
    {
        std::lock_guard lock(m_mutex);
        const int fd = m_device ? m_device.Get() : m_out.Fd();
        if (fd < 0 || m_ended)
            return VFW_E_WRONG_STATE; // stopped or failed: nothing more goes in
        if (!PutLocked(fd, data, size, m_leading.size() + offset))
            return Fail(m_writeError);
        m_bytes = std::max<std::uint64_t>(m_bytes, offset + size);
        return S_OK;
    }

    HRESULT EndOfStream()
    {
        std::lock_guard lock(m_mutex);
        if (m_ended || (!m_device && !m_out.IsOpen()))
            return VFW_E_WRONG_STATE;
        if (m_device) {
            const int fd = m_device.Release();
            if (::close(fd) != 0)
                return Fail("cannot finish " + m_path + ": " + ErrnoText(errno));
            m_ended = true;
            return S_OK;
        }
        std::string reason;
        if (!PutInPlaceLocked(false, &reason))
            return Fail(reason);
        return S_OK;
    }

private:
    // Writes all of `data` at `offset`; false with m_writeError.
    bool PutLocked(int fd, const void* data, std::size_t size, std::uint64_t offset)
    {
        const char* bytes = static_cast<const char*>(data);
        while (size > 0) {
            const ssize_t written = ::pwrite(fd, bytes, size, static_cast<off_t>(offset));
            if (written < 0) {
                if (errno == EINTR)
                    continue;
                m_writeError = "cannot write " + CurrentPath() + ": " + ErrnoText(errno);
                return false;
            }
            if (written == 0) {
                m_writeError = "cannot write " + CurrentPath() + ": nothing was written";
                return false;
            }
            bytes += written;
            size -= static_cast<std::size_t>(written);
            offset += static_cast<std::uint64_t>(written);
        }
        return true;
    }

    bool Writing() const { return m_out.IsOpen() || static_cast<bool>(m_device); }

    std::string CurrentPath() const { return m_out.Committed() ? m_out.Path() : m_path; }

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

    // Each run writes its output afresh.
    HRESULT Open()
    {
        std::lock_guard lock(m_mutex);
        if (m_path.empty())
            return Fail("no output file name was given");
        const bool ownEarlier = m_out.Committed() && !m_numbered; // replaced by this run's
        DiscardLocked();
        m_device.Reset();
        m_ended = false;
        m_discard = false;
        m_bytes = 0;

        if (m_numbered) {
            m_out.SetNumberedTarget(m_folder, m_name, m_firstNumber, m_how);
        } else {
            struct stat info {};
            const bool exists = ::lstat(m_path.c_str(), &info) == 0;
            if (exists && S_ISDIR(info.st_mode))
                return Fail("cannot create " + m_path + ": it is a folder");
            if (exists && !S_ISREG(info.st_mode) && !S_ISLNK(info.st_mode)) {
                // A device or pipe: written as it is, never removed.
                m_device = UniqueFd(::open(m_path.c_str(), O_WRONLY | O_CLOEXEC));
                if (!m_device)
                    return Fail("cannot open " + m_path + ": " + ErrnoText(errno));
                if (!m_leading.empty() && !PutLocked(m_device.Get(), m_leading.data(), m_leading.size(), 0))
                    return Fail(m_writeError);
                return S_OK;
            }
            if (exists && !m_overwrite && !ownEarlier)
                return Fail("cannot create " + m_path + ": the file exists and is not overwritten");
            m_replaceOwn = ownEarlier;
            m_out.SetTarget(m_path, m_overwrite || ownEarlier);
        }
        std::string reason;
        if (!m_out.Create(&reason))
            return Fail(reason);
        if (!m_leading.empty() && !PutLocked(m_out.Fd(), m_leading.data(), m_leading.size(), 0))
            return Fail(m_writeError);
        return S_OK;
    }

    // The written file, its trailing bytes added and finished by the
    // caller's step, to its name once the caller's check has passed.
    bool PutInPlaceLocked(bool cutShort, std::string* reason)
    {
        if (m_check) {
            if (std::string refused = m_check(); !refused.empty()) {
                DiscardLocked();
                *reason = std::move(refused);
                return false;
            }
        }
        if (!m_trailing.empty()
            && !PutLocked(m_out.Fd(), m_trailing.data(), m_trailing.size(), m_leading.size() + m_bytes)) {
            DiscardLocked();
            *reason = m_writeError;
            return false;
        }
        if (m_finish) {
            if (std::string failed = m_finish(m_out.TemporaryPath(), cutShort); !failed.empty()) {
                DiscardLocked();
                *reason = std::move(failed);
                return false;
            }
        }
        if (!m_numbered) // the overwrite choice as it stands now
            m_out.SetReplace(m_overwrite || m_replaceOwn);
        if (!m_out.Commit(reason))
            return false;
        m_ended = true;
        return true;
    }

    void DiscardLocked()
    {
        m_out.Discard();
    }

    HRESULT Fail(const std::string& reason)
    {
        SetLastError(reason);
        NotifyEvent(EC_ERRORABORT, E_FAIL, reason);
        return E_FAIL;
    }

    mutable std::mutex m_mutex;
    std::string m_path; // the name asked for (numbered: the first candidate)
    bool m_numbered = false;
    std::string m_folder, m_name;
    long long m_firstNumber = 0;
    NumberedName m_how = NumberedName::Prefix;
    std::atomic<bool> m_overwrite{false};
    std::atomic<bool> m_discard{false};
    std::atomic<std::uint64_t> m_bytes{0};
    std::function<std::string()> m_check;
    std::function<std::string(const std::string&, bool)> m_finish;
    std::string m_leading, m_trailing; // around the stream's bytes
    std::string m_writeError;          // why the last PutLocked failed
    COutputFile m_out;
    UniqueFd m_device; // an existing device written in place
    bool m_replaceOwn = false; // this run replaces the output of an earlier run of ours
    bool m_ended = false;   // the output is finished (in place, or the device closed)
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
