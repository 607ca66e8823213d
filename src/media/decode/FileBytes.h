#pragma once
// A file read through a window, for scanning its bytes: looking at a few
// bytes here and there, mostly forward, without a system call for each look.

#include <cstddef>
#include <cstdint>
#include <vector>

class FileBytes {
public:
    // `fd` stays the caller's; nothing here moves its offset (pread).
    FileBytes(int fd, std::int64_t size);

    std::int64_t Size() const { return m_size; }
    // The `count` bytes at `at`, or null when they are not all in the file.
    // Valid until the next call.
    const unsigned char* At(std::int64_t at, std::size_t count);
    // Offset of the first `byte` in [from, to); -1 when there is none.
    std::int64_t Find(unsigned char byte, std::int64_t from, std::int64_t to);

private:
    int m_fd;
    std::int64_t m_size;
    std::vector<unsigned char> m_window;
    std::int64_t m_windowStart = 0;
    std::size_t m_windowFill = 0;
};
