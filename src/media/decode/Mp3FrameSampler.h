#pragma once
// Decodes single frames out of an MP3 file, for a quick look at a long file
// before it is decoded through: frame k is fed to libmpg123 after the frames
// that hold its bit reservoir and the one whose filter-bank overlap it adds
// to, so that its samples are what decoding the whole file gives (up to
// float rounding). The channels come out mixed to their mean.
//
// Only for files whose frames a frame copier can read (Layer III, a steady
// format, no damage): Open refuses the others.

#include "media/decode/Mp3Layout.h"
#include "media/graph/UniqueFd.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct mpg123_handle_struct;

class CMp3FrameSampler {
public:
    static std::unique_ptr<CMp3FrameSampler> Open(const std::string& path, std::string* reason);
    ~CMp3FrameSampler();
    CMp3FrameSampler(const CMp3FrameSampler&) = delete;
    CMp3FrameSampler& operator=(const CMp3FrameSampler&) = delete;

    std::int64_t FrameCount() const { return std::int64_t(m_layout.frames.size()); }
    int SamplesPerFrame() const { return m_layout.stream.SamplesPerFrame(); }
    int SampleRate() const { return m_layout.stream.SampleRate(); }
    // Where frame k's samples start in the gapless decode (negative for the
    // frames the decoder's delay swallows).
    std::int64_t FrameStart(std::int64_t k) const
    {
        return k * SamplesPerFrame() - m_layout.LeadingSamples();
    }

    // Frame k's samples, mono. False with Error() when the file could not
    // be read or decoded.
    bool Decode(std::int64_t k, std::vector<float>& samples);
    std::string Error() const { return m_error; }

private:
    CMp3FrameSampler() = default;
    // The first frame to feed so that frame `from` finds its reservoir.
    std::int64_t ReservoirStart(std::int64_t from) const;

    struct HandleDeleter {
        void operator()(mpg123_handle_struct* handle) const;
    };
    std::string m_path;
    UniqueFd m_fd;
    Mp3Layout m_layout;
    std::unique_ptr<mpg123_handle_struct, HandleDeleter> m_handle;
    std::vector<unsigned char> m_bytes;
    std::string m_error;
};
