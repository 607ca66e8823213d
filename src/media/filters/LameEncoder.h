#pragma once
// The MP3 encoder filter "Lame" (libmp3lame, constant bit rate): PCM in at
// its output sample rate, MP3 bytes out. When the stream ends it writes the
// LAME info frame over the file's first frame, so players know the exact
// length and play the piece without gaps.

#include "media/graph/Filter.h"
#include "media/graph/MediaTypes.h"
#include "media/filters/Mp3Settings.h"

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
    [[nodiscard]] virtual HRESULT set_Bitrate(std::int32_t kbps) = 0;        // kMinMp3Bitrate..kMaxMp3Bitrate
    virtual HRESULT get_Bitrate(std::int32_t* kbps) const = 0;
    // An MPEG rate, 8000..48000, or kSourceSampleRate.
    [[nodiscard]] virtual HRESULT set_SampleRate(std::int32_t hz) = 0;
    virtual HRESULT get_SampleRate(std::int32_t* hz) const = 0;
    [[nodiscard]] virtual HRESULT set_ChannelMode(Mp3ChannelMode mode) = 0;
    virtual HRESULT get_ChannelMode(Mp3ChannelMode* mode) const = 0;
    [[nodiscard]] virtual HRESULT set_Quality(std::int32_t quality) = 0;     // 0 best/slowest .. 9 fastest
    virtual HRESULT get_Quality(std::int32_t* quality) const = 0;
    // The sample rate really written: the set one, or with kSourceSampleRate
    // the rate of the connected input (0 while unconnected).
    virtual std::int32_t EffectiveSampleRate() const = 0;
    // The bit rate really written: MPEG-2 rates (16..24 kHz) carry at most
    // 160 kbps, MPEG-2.5 rates (8..12 kHz) 64; LAME takes the nearest legal one.
    virtual std::int32_t EffectiveBitrate() const = 0;
};

// The settings facet of an encoder filter; null for any other filter.
IAudioEncoderProperties* GetEncoderProperties(const std::shared_ptr<CBaseFilter>& filter);

std::shared_ptr<CBaseFilter> CreateLameEncoder();
