#pragma once
// How long a source lasts and what audio it holds, read from the decoding
// graph that would play it (the MPEG chain for MPEG audio, the sound-file
// chain otherwise). The one measure of a file: the command line's probe, the
// join job and the join page all use it.

#include "SourceIdentity.h"
#include "media/graph/MediaTime.h"

#include <string>

struct SourceMeasure {
    REFERENCE_TIME duration = 0; // 0 when it cannot be read
    int sampleRate = 0;          // of the decoded audio
    int channels = 0;
    std::string error;           // why no audio can be decoded; "" when it can
    SourceIdentity identity;     // the file measured, as it was before it was read

    bool Readable() const { return error.empty(); }
};

// Never blocks on a FIFO or a device: what is not a regular file (nor a
// folder, which says why itself) is refused unopened.
SourceMeasure MeasureSource(const std::string& path);
