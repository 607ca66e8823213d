#pragma once
// Pull interface over decoded audio: what the decoders offer and what the
// cut, conversion and concatenation stages are built from.

#include "MediaTypes.h"

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
};

// Opens a decoder for `path`: libmpg123 when the lower-cased path contains
// ".mp3", libsndfile otherwise. Returns null and sets `reason` on failure
// (e.g. "cannot open /x/y.mp3: No such file or directory").
// The test that picks the decoder: the lower-cased path contains ".mp3"
// anywhere (a substring test, so "a.mp3.wav" counts as MP3).
bool PathNamesMp3(const std::string& path);
std::unique_ptr<IPcmReader> OpenPcmReader(const std::string& path, std::string* reason);
std::unique_ptr<IPcmReader> OpenMp3Reader(const std::string& path, std::string* reason);
std::unique_ptr<IPcmReader> OpenSoundFileReader(const std::string& path, std::string* reason);
