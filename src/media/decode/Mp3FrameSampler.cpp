#include "media/decode/Mp3FrameSampler.h"

#include <mpg123.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <mutex>
#include <unistd.h>

void CMp3FrameSampler::HandleDeleter::operator()(mpg123_handle_struct* handle) const
{
    mpg123_delete(handle);
}

std::unique_ptr<CMp3FrameSampler> CMp3FrameSampler::Open(const std::string& path, std::string* reason)
{
    static std::once_flag libraryReady;
    std::call_once(libraryReady, [] { mpg123_init(); });

    std::unique_ptr<CMp3FrameSampler> sampler(new CMp3FrameSampler);
    sampler->m_path = path;
    long long size = 0;
    sampler->m_fd = OpenForReading(path, reason, &size);
    if (!sampler->m_fd)
        return nullptr;
    if (!ReadMp3Layout(sampler->m_fd.Get(), size, &sampler->m_layout, reason))
        return nullptr;
    if (sampler->m_layout.frames.empty()) {
        *reason = "no MPEG audio frames in " + path;
        return nullptr;
    }
    int err = MPG123_OK;
    sampler->m_handle.reset(mpg123_new(nullptr, &err));
    mpg123_handle* mh = sampler->m_handle.get();
    if (!mh) {
        *reason = "cannot decode " + path + ": " + mpg123_plain_strerror(err);
        return nullptr;
    }
    // Frames fed one stretch at a time: no gapless trimming (there is no
    // Info frame in the stretch) and no look past its last frame.
    mpg123_param(mh, MPG123_REMOVE_FLAGS, MPG123_GAPLESS, 0);
    mpg123_param(mh, MPG123_ADD_FLAGS, MPG123_QUIET | MPG123_MONO_MIX | MPG123_NO_READAHEAD, 0);
    mpg123_format_none(mh);
    if (mpg123_format(mh, sampler->SampleRate(), MPG123_MONO, MPG123_ENC_FLOAT_32) != MPG123_OK) {
        *reason = "cannot decode " + path + ": " + mpg123_strerror(mh);
        return nullptr;
    }
    return sampler;
}

CMp3FrameSampler::~CMp3FrameSampler() = default;

std::int64_t CMp3FrameSampler::ReservoirStart(std::int64_t from) const
{
    // The reservoir is the tail of the main-data areas before the frame's own.
    std::int64_t need = m_layout.frames[std::size_t(from)].mainDataBegin;
    std::int64_t first = from;
    while (need > 0 && first > 0) {
        --first;
        const Mp3AudioFrame& frame = m_layout.frames[std::size_t(first)];
        need -= frame.bytes - frame.dataOffset;
    }
    return first;
}

bool CMp3FrameSampler::Decode(std::int64_t k, std::vector<float>& samples)
{
    if (k < 0 || k >= FrameCount()) {
        m_error = "frame " + std::to_string(k) + " is outside " + m_path;
        return false;
    }
    // Frame k's first granule adds to the overlap of the granule before, and
    // the filter bank runs on from the half granule before that: one frame
    // of two granules (MPEG-1), two of one (MPEG-2 and 2.5) must decode from
    // their own main data first. The frames before hold their reservoirs.
    const std::int64_t warmUp = SamplesPerFrame() >= 1152 ? 1 : 2;
    std::int64_t first = k;
    for (std::int64_t j = std::max<std::int64_t>(0, k - warmUp); j <= k; ++j)
        first = std::min(first, ReservoirStart(j));
    const Mp3AudioFrame& from = m_layout.frames[std::size_t(first)];
    const Mp3AudioFrame& last = m_layout.frames[std::size_t(k)];
    const std::size_t count = std::size_t(last.offset + last.bytes - from.offset);
    m_bytes.resize(count);
    std::size_t got = 0;
    while (got < count) {
        const ssize_t n = ::pread(m_fd.Get(), m_bytes.data() + got, count - got, off_t(from.offset + std::int64_t(got)));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            m_error = "cannot read " + m_path + ": " + (n < 0 ? std::strerror(errno) : "the file is shorter");
            return false;
        }
        got += std::size_t(n);
    }

    mpg123_handle* mh = m_handle.get();
    // A new stream each time: nothing of the last stretch decoded carries over.
    if (mpg123_open_feed(mh) != MPG123_OK || mpg123_feed(mh, m_bytes.data(), m_bytes.size()) != MPG123_OK) {
        m_error = "cannot decode " + m_path + ": " + mpg123_strerror(mh);
        return false;
    }
    for (std::int64_t j = first; j <= k; ++j) {
        const int next = mpg123_framebyframe_next(mh);
        off_t number = 0;
        unsigned char* audio = nullptr;
        size_t bytes = 0;
        if ((next != MPG123_OK && next != MPG123_NEW_FORMAT)
            || mpg123_framebyframe_decode(mh, &number, &audio, &bytes) != MPG123_OK) {
            m_error = "cannot decode frame " + std::to_string(j) + " of " + m_path + ": " + mpg123_strerror(mh);
            return false;
        }
        if (j == k) {
            const float* out = reinterpret_cast<const float*>(audio);
            samples.assign(out, out + bytes / sizeof(float));
        }
    }
    return true;
}
