#include "media/filters/OutputFile.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <string_view>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::string_view kPrefix = ".tarnwick-";
constexpr std::string_view kSuffix = ".part";

std::string ErrnoText(int error)
{
    return std::strerror(error);
}

std::string FolderOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string InFolder(const std::string& folder, const std::string& name)
{
    if (folder.empty())
        return name;
    return folder.back() == '/' ? folder + name : folder + "/" + name;
}

// Moves `from` to `to` unless a file (or a link, even a dangling one) has
// that name: 0, or the errno.
int MoveNoReplace(const std::string& from, const std::string& to)
{
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    // A file system without RENAME_NOREPLACE: a hard link fails just the
    // same on a name that is taken.
    if (::link(from.c_str(), to.c_str()) != 0)
        return errno;
    ::unlink(from.c_str());
    return 0;
}

void SyncFolder(const std::string& folder)
{
    // Makes the new name last through a power cut; a file system that
    // cannot sync a folder has the name all the same.
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    (void)::fsync(fd);
    ::close(fd);
}

bool AllDigits(std::string_view text)
{
    if (text.empty() || text.size() > 18)
        return false;
    for (char c : text)
        if (c < '0' || c > '9')
            return false;
    return true;
}

} // namespace

COutputFile::~COutputFile()
{
    Discard();
}

void COutputFile::SetTarget(const std::string& path, bool replace)
{
    m_path = path;
    m_folder = FolderOf(path);
    m_name.clear();
    m_firstNumber = -1;
    m_replace = replace;
    m_committed = false;
}

void COutputFile::SetNumberedTarget(const std::string& folder, const std::string& name, long long firstNumber,
                                    NumberedName how)
{
    m_how = how;
    m_folder = folder.empty() ? "." : folder;
    m_name = name;
    m_firstNumber = firstNumber;
    m_path = Candidate(firstNumber);
    m_replace = false;
    m_committed = false;
}

std::string COutputFile::Candidate(long long number) const
{
    return NumberedOutputPath(m_folder, m_name, number, m_how);
}

bool COutputFile::Create(std::string* reason)
{
    Discard();
    m_committed = false;
    static std::atomic<unsigned> counter{0};
    const std::string pid = std::to_string(::getpid());
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string name =
            std::string(kPrefix) + pid + "-" + std::to_string(counter++) + std::string(kSuffix);
        const std::string temporary = InFolder(m_folder, name);
        m_fd = ::open(temporary.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (m_fd >= 0) {
            m_temporary = temporary;
            return true;
        }
        if (errno != EEXIST) {
            *reason = "cannot create " + m_path + ": " + ErrnoText(errno);
            return false;
        }
    }
    *reason = "cannot create " + m_path + ": no temporary name is free in its folder";
    return false;
}

bool COutputFile::Commit(std::string* reason)
{
    if (m_fd < 0) {
        *reason = "cannot finish " + m_path + ": it was not written";
        return false;
    }
    auto fail = [&](const std::string& why) {
        *reason = why;
        Discard();
        return false;
    };
    if (::fsync(m_fd) != 0 && errno != EINVAL)
        return fail("cannot finish " + m_path + ": " + ErrnoText(errno));
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0 && errno != EINTR)
        return fail("cannot finish " + m_path + ": " + ErrnoText(errno));

    if (m_firstNumber >= 0) {
        // The first number free now; another run's piece that took ours in
        // the meantime sends this one on to the next.
        for (long long number = m_firstNumber;; ++number) {
            const std::string candidate = Candidate(number);
            const int error = MoveNoReplace(m_temporary, candidate);
            if (error == EEXIST)
                continue;
            if (error != 0)
                return fail("cannot create " + candidate + ": " + ErrnoText(error));
            m_path = candidate;
            break;
        }
    } else if (m_replace) {
        if (::rename(m_temporary.c_str(), m_path.c_str()) != 0)
            return fail("cannot put the output in place as " + m_path + ": " + ErrnoText(errno));
    } else if (const int error = MoveNoReplace(m_temporary, m_path); error != 0) {
        return fail(error == EEXIST ? "cannot create " + m_path + ": a file of that name appeared while it was written"
                                    : "cannot put the output in place as " + m_path + ": " + ErrnoText(error));
    }
    m_temporary.clear();
    m_committed = true;
    SyncFolder(m_folder);
    return true;
}

void COutputFile::Discard()
{
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    if (!m_temporary.empty()) {
        ::unlink(m_temporary.c_str());
        m_temporary.clear();
    }
}

std::string NumberedOutputPath(const std::string& folder, const std::string& name, long long number,
                               NumberedName how)
{
    if (how == NumberedName::Prefix)
        return InFolder(folder, std::to_string(number) + "-" + name);
    if (number <= 1)
        return InFolder(folder, name);
    // The number goes before the extension: "01 - Song (2).mp3".
    const std::size_t dot = name.rfind('.');
    const std::size_t at = dot == std::string::npos || dot == 0 ? name.size() : dot;
    return InFolder(folder, name.substr(0, at) + " (" + std::to_string(number) + ")" + name.substr(at));
}

bool IsOutputTemporaryName(const std::string& name, long* pid)
{
    const std::string_view text(name);
    if (text.size() <= kPrefix.size() + kSuffix.size() || text.substr(0, kPrefix.size()) != kPrefix
        || text.substr(text.size() - kSuffix.size()) != kSuffix)
        return false;
    const std::string_view middle = text.substr(kPrefix.size(), text.size() - kPrefix.size() - kSuffix.size());
    const auto dash = middle.find('-');
    if (dash == std::string_view::npos || !AllDigits(middle.substr(0, dash)) || !AllDigits(middle.substr(dash + 1)))
        return false;
    const long owner = std::stol(std::string(middle.substr(0, dash)));
    if (owner <= 0)
        return false;
    if (pid)
        *pid = owner;
    return true;
}

std::vector<std::string> ReclaimTemporaries(const std::string& folder)
{
    std::vector<std::string> removed;
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (!dir)
        return removed;
    const long self = static_cast<long>(::getpid());
    while (const dirent* entry = ::readdir(dir)) {
        long pid = 0;
        if (!IsOutputTemporaryName(entry->d_name, &pid) || pid == self)
            continue;
        // A process that still runs (or that another user owns) keeps its file.
        if (::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH)
            continue;
        struct stat info {};
        if (::fstatat(::dirfd(dir), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(info.st_mode)
            || info.st_uid != ::geteuid())
            continue;
        if (::unlinkat(::dirfd(dir), entry->d_name, 0) == 0)
            removed.push_back(InFolder(folder, entry->d_name));
    }
    ::closedir(dir);
    return removed;
}
