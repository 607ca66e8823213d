#pragma once
// The WAV writer: PCM in, a complete 16-bit PCM WAV file's bytes out to a
// file writer (the header's sizes are written again at the end).

#include "media/graph/Filter.h"
#include "media/graph/MediaTime.h"

#include <memory>

std::shared_ptr<CBaseFilter> CreateWavWriter(); // clsid::WavWriter

// A RIFF header counts 4 GiB at most. Told the piece's length before it
// starts, the writer writes a piece whose data passes that as RF64 (the
// 64-bit form of WAV that sound editors and libsndfile read) from its first
// byte; untold, a stream that passes it fails when it gets there.
class IWavWriterSettings {
public:
    virtual ~IWavWriterSettings() = default;
    virtual void SetExpectedDuration(REFERENCE_TIME duration) = 0;
    // Whether the file being written is RF64.
    virtual bool WritesRf64() const = 0;
};
// The settings facet of a WAV writer; null for any other filter.
IWavWriterSettings* GetWavWriterSettings(const std::shared_ptr<CBaseFilter>& filter);
