#pragma once
// Runs one decoder over any bytes, the way the program uses a reader: opened
// by path (a memory file under /proc/self/fd), read to the end, then moved
// about with seeks and read again. Every read is checked against the stream
// the reader announced: never more than asked, never past LengthFrames, the
// end only at LengthFrames, and (where asked) the start reads the same after
// a seek back.

#include "FuzzCheck.h"
#include "media/decode/OpenReader.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace fuzz {

// Keeps one input fast even when a header announces hours of audio.
inline constexpr std::int64_t kMostFramesPerInput = std::int64_t(1) << 21;

using OpenReader = std::unique_ptr<IPcmReader> (*)(const std::string& path, std::string* reason);

// One read of `frames`, with guard samples behind the room asked for: the
// decoding libraries are not instrumented, so the address sanitizer would
// not see them write past it. Returns the frames read.
inline std::int64_t CheckedRead(IPcmReader& reader, std::int64_t frames, std::vector<float>* kept = nullptr)
{
    constexpr std::size_t kGuardSamples = 64;
    constexpr unsigned char kGuardByte = 0xA5;
    const int channels = reader.Format().channels;
    const std::size_t room = static_cast<std::size_t>(frames * channels);
    std::vector<float> buffer(room + kGuardSamples);
    std::memset(buffer.data() + room, kGuardByte, kGuardSamples * sizeof(float));
    const std::int64_t before = reader.Tell();
    const std::int64_t got = reader.Read(buffer.data(), frames);
    for (std::size_t i = room * sizeof(float); i < buffer.size() * sizeof(float); ++i)
        FUZZ_CHECK(reinterpret_cast<const unsigned char*>(buffer.data())[i] == kGuardByte);
    FUZZ_CHECK(got >= -1 && got <= frames);
    if (got < 0) {
        FUZZ_CHECK(!reader.Error().empty());
        return -1;
    }
    FUZZ_CHECK(reader.Tell() == before + got);
    FUZZ_CHECK(reader.Tell() <= reader.LengthFrames());
    if (got == 0)
        FUZZ_CHECK(before == reader.LengthFrames());
    if (kept)
        kept->assign(buffer.begin(), buffer.begin() + got * channels);
    return got;
}

inline bool SameSamples(const std::vector<float>& a, const std::vector<float>& b)
{
    return a.size() == b.size()
           && (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(float)) == 0);
}

inline void FuzzReader(const std::uint8_t* data, std::size_t size, OpenReader open, bool sameStartAfterSeekBack)
{
    const int fd = ::memfd_create("tarnwick-fuzz-input", MFD_CLOEXEC);
    FUZZ_CHECK(fd >= 0);
    FUZZ_CHECK(::write(fd, data, size) == static_cast<ssize_t>(size));
    const std::string path = "/proc/self/fd/" + std::to_string(fd);

    std::string reason;
    std::unique_ptr<IPcmReader> reader = open(path, &reason);
    if (!reader) {
        FUZZ_CHECK(!reason.empty());
        ::close(fd);
        return;
    }
    const AudioFormat format = reader->Format();
    const std::int64_t length = reader->LengthFrames();
    FUZZ_CHECK(format.sampleRate > 0 && format.channels > 0 && length >= 0);
    FUZZ_CHECK(reader->Tell() == 0);

    // Odd sizes, so that a reader that fills more than asked shows.
    std::vector<float> start;
    std::int64_t got = CheckedRead(*reader, 7, &start);
    const bool startRead = got >= 0;
    for (std::int64_t total = got, round = 0; got > 0 && total < kMostFramesPerInput; ++round) {
        got = CheckedRead(*reader, round % 2 ? 1 : 4093);
        total += std::max<std::int64_t>(got, 0);
    }

    for (const std::int64_t target : {std::int64_t(0), length / 3, length - 1, length, length + 1000, std::int64_t(-1)}) {
        if (!reader->Seek(target)) {
            FUZZ_CHECK(!reader->Error().empty());
            continue;
        }
        FUZZ_CHECK(reader->Tell() == std::clamp<std::int64_t>(target, 0, length));
        std::vector<float> again;
        if (CheckedRead(*reader, 7, &again) < 0)
            continue;
        if (target == 0 && startRead && sameStartAfterSeekBack)
            FUZZ_CHECK(SameSamples(start, again));
        CheckedRead(*reader, 1000);
    }
    reader.reset();
    ::close(fd);
}

} // namespace fuzz
