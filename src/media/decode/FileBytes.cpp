#include "media/decode/FileBytes.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace {

constexpr std::size_t kWindowBytes = 256 * 1024;
// A refill starts this far before the byte asked for, so that a look a frame
// or two ahead and the return to where the scan stood need no second refill.
constexpr std::int64_t kBackMargin = 8 * 1024;

} // namespace

FileBytes::FileBytes(int fd, std::int64_t size)
    : m_fd(fd)
    , m_size(size)
    , m_window(kWindowBytes)
{
}

const unsigned char* FileBytes::At(std::int64_t at, std::size_t count)
{
    if (at < 0 || count > kWindowBytes / 2 || at + std::int64_t(count) > m_size)
        return nullptr;
    if (at < m_windowStart || at + std::int64_t(count) > m_windowStart + std::int64_t(m_windowFill)) {
        m_windowStart = std::max<std::int64_t>(0, at - kBackMargin);
        m_windowFill = 0;
        while (m_windowFill < m_window.size()) {
            const ssize_t got = ::pread(m_fd, m_window.data() + m_windowFill, m_window.size() - m_windowFill,
                                        static_cast<off_t>(m_windowStart + std::int64_t(m_windowFill)));
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0)
                break;
            m_windowFill += static_cast<std::size_t>(got);
        }
        if (at + std::int64_t(count) > m_windowStart + std::int64_t(m_windowFill))
            return nullptr; // shorter than it was: cut while we read
    }
    return m_window.data() + (at - m_windowStart);
}

std::int64_t FileBytes::Find(unsigned char byte, std::int64_t from, std::int64_t to)
{
    to = std::min(to, m_size);
    while (from < to) {
        const unsigned char* here = At(from, 1);
        if (!here)
            return -1;
        const std::size_t available =
            static_cast<std::size_t>(std::min(to, m_windowStart + std::int64_t(m_windowFill)) - from);
        if (const void* hit = std::memchr(here, byte, available))
            return from + (static_cast<const unsigned char*>(hit) - here);
        from += std::int64_t(available);
    }
    return -1;
}
