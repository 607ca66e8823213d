#pragma once
// The MP3 encoder filter "Lame" (libmp3lame, constant bit rate): PCM in at
// its output sample rate, MP3 bytes out. When the stream ends it writes the
// LAME info frame over the file's first frame, so players know the exact
// length and play the piece without gaps.

#include "media/graph/Filter.h"
#include "media/graph/MediaTypes.h"

#include <cstdint>
#include <memory>
#include <string>

enum class Mp3ChannelMode { Stereo = 0, JointStereo = 1, Mono = 3 };

// The encoder's settings, kept in the filter instance (what its property
// page shows and changes). Setters take effect at the next run and refuse
// values MPEG audio has no place for (E_INVALIDARG, setting unchanged).
class IAudioEncoderProperties {
public:
    virtual ~IAudioEncoderProperties() = default;
    virtual HRESULT set_Bitrate(std::int32_t kbps) = 0;        // 8..320
    virtual HRESULT get_Bitrate(std::int32_t* kbps) const = 0;
    // An MPEG rate, 8000..48000, or kSourceSampleRate.
    virtual HRESULT set_SampleRate(std::int32_t hz) = 0;
    virtual HRESULT get_SampleRate(std::int32_t* hz) const = 0;
    virtual HRESULT set_ChannelMode(Mp3ChannelMode mode) = 0;
    virtual HRESULT get_ChannelMode(Mp3ChannelMode* mode) const = 0;
    virtual HRESULT set_Quality(std::int32_t quality) = 0;     // 0 best/slowest .. 9 fastest
    virtual HRESULT get_Quality(std::int32_t* quality) const = 0;
    // The sample rate really written: the set one, or with kSourceSampleRate
    // the rate of the connected input (0 while unconnected).
    virtual std::int32_t EffectiveSampleRate() const = 0;
    // The bit rate really written: MPEG-2 rates (16..24 kHz) carry at most
    // 160 kbps, MPEG-2.5 rates (8..12 kHz) 64; LAME takes the nearest legal one.
    virtual std::int32_t EffectiveBitrate() const = 0;
};

// The sample-rate setting that keeps the rate of the audio the encoder is
// given (when that is an MPEG rate; 44.1 kHz otherwise).
constexpr std::int32_t kSourceSampleRate = -1;

// Defaults of a new encoder: 192 kbps, 44.1 kHz, joint stereo, quality 3
// (LAME's own default, the one other LAME front ends use).
constexpr std::int32_t kDefaultMp3Bitrate = 192;
constexpr std::int32_t kDefaultMp3SampleRate = 44100;
constexpr std::int32_t kDefaultMp3Quality = 3;

bool IsMp3SampleRate(std::int32_t hz);
// A rate in kHz as people write it: 22050 -> "22.05", 44100 -> "44.1",
// 8000 -> "8".
std::string HzToKiloHertzText(std::int32_t hz);
// The bit rate LAME uses for `kbps` at `sampleRate` (nearest legal one).
std::int32_t LegalMp3Bitrate(std::int32_t kbps, std::int32_t sampleRate);

// Threads an MP3 encode uses: the cores this process may run on, or what
// TARNWICK_MP3_THREADS or SetMp3EncoderThreads (0: back to the machine) pins.
// One thread encodes as a single LAME encoder does; more split the piece
// into segments encoded side by side (ParallelMp3Encoder.h). Read when a
// stream starts.
int Mp3EncoderThreads();
void SetMp3EncoderThreads(int threads);

// The settings facet of an encoder filter; null for any other filter.
IAudioEncoderProperties* GetEncoderProperties(const std::shared_ptr<CBaseFilter>& filter);

std::shared_ptr<CBaseFilter> CreateLameEncoder();
