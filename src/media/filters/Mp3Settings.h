#pragma once
// What an MP3 piece can be set to: the bit rates and sample rates MPEG audio
// has, the defaults, how people write a rate, and how many threads encode.
// Needs nothing but the standard library, so the pages see it through the
// jobs without seeing the engine.

#include <cstdint>
#include <string>

// Constant bit rates the encoder takes, in kbps (MPEG-2.5 starts at 8,
// MPEG-1 ends at 320).
inline constexpr std::int32_t kMinMp3Bitrate = 8;
inline constexpr std::int32_t kMaxMp3Bitrate = 320;
constexpr bool IsMp3Bitrate(std::int32_t kbps) { return kbps >= kMinMp3Bitrate && kbps <= kMaxMp3Bitrate; }
// The bytes a second of constant-bit-rate MP3 takes.
constexpr std::int32_t Mp3BytesPerSecond(std::int32_t kbps) { return kbps * 1000 / 8; }

// The sample-rate setting that keeps the rate of the audio the encoder is
// given (when that is an MPEG rate; 44.1 kHz otherwise).
inline constexpr std::int32_t kSourceSampleRate = -1;

// Defaults of a new encoder: 192 kbps, 44.1 kHz, joint stereo, quality 3
// (LAME's own default, the one other LAME front ends use).
inline constexpr std::int32_t kDefaultMp3Bitrate = 192;
inline constexpr std::int32_t kDefaultMp3SampleRate = 44100;
inline constexpr std::int32_t kDefaultMp3Quality = 3;

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
