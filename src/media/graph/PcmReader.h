#pragma once
// Pull interface over decoded audio: what the decoders offer and what the
// cut, conversion and concatenation stages are built from.

#include "media/graph/MediaTypes.h"

#include <cstdint>
#include <memory>
#include <string>

class IPcmReader {
public:
    virtual ~IPcmReader() = default;
    virtual AudioFormat Format() const = 0;
    // Exact number of frames (samples per channel); -1 when unknown.
    virtual std::int64_t LengthFrames() const = 0;
    // Moves to frame index `frame` (0 = first sample). False on failure.
    virtual bool Seek(std::int64_t frame) = 0;
    // Frame index of the next Read.
    virtual std::int64_t Tell() const = 0;
    // Reads up to `frames` frames of interleaved float samples into `out`
    // (room for frames * channels floats). Returns the number read, 0 at the
    // end, -1 on an error (see Error()).
    virtual std::int64_t Read(float* out, std::int64_t frames) = 0;
    // Reason of the last failure, readable by a person.
    virtual std::string Error() const = 0;
    // The coded format ("MPEG-1 Layer III, 128 kbps", "WAV, 16-bit PCM"),
    // for the graph description; "" when there is nothing to say.
    virtual std::string Describe() const { return {}; }
};
