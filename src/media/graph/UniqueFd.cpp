#include "media/graph/UniqueFd.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>

UniqueFd OpenForReading(const std::string& path, std::string* reason, long long* size)
{
    auto fail = [&](const std::string& why) {
        if (reason)
            *reason = "cannot open " + path + ": " + why;
        return UniqueFd();
    };
    if (path.empty())
        return fail("no file name");
    // Non-blocking, so that a FIFO does not wait for a writer; only regular
    // files pass the check below.
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (!fd)
        return fail(std::strerror(errno));
    struct stat info {};
    if (::fstat(fd.Get(), &info) != 0)
        return fail(std::strerror(errno));
    if (S_ISDIR(info.st_mode))
        return fail("it is a folder, not a file");
    if (!S_ISREG(info.st_mode))
        return fail("not a regular file");
    const int flags = ::fcntl(fd.Get(), F_GETFL);
    if (flags < 0 || ::fcntl(fd.Get(), F_SETFL, flags & ~O_NONBLOCK) < 0)
        return fail(std::strerror(errno));
    if (size)
        *size = static_cast<long long>(info.st_size);
    return fd;
}
