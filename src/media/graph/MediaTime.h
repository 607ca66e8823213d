#pragma once
// Times and their units, in one place. Media time is REFERENCE_TIME (100 ns);
// the split page's slider, breakpoints and typed times count whole
// milliseconds (media time / 10 000, truncated toward zero); inside the
// engine a time becomes a sample index by rounding t * rate / 10^7 to the
// nearest sample. Needs nothing but the standard library, so the pages see
// it through the jobs and the player without seeing the engine.

#include <cstdint>

// Media time in 100 ns units.
using REFERENCE_TIME = std::int64_t;
inline constexpr REFERENCE_TIME kUnitsPerSecond = 10'000'000;
inline constexpr REFERENCE_TIME kUnitsPerMs = 10'000;

constexpr REFERENCE_TIME MsToTime(std::int64_t ms) { return ms * kUnitsPerMs; }
// Truncated toward zero, as the pages count.
constexpr std::int64_t TimeToMs(REFERENCE_TIME t) { return t / kUnitsPerMs; }
constexpr REFERENCE_TIME SecondsToTime(std::int64_t seconds) { return seconds * kUnitsPerSecond; }

// Sample index of a time, rounded to the nearest sample, and back; exact for
// every time and rate (128-bit products).
std::int64_t TimeToFrame(REFERENCE_TIME t, int sampleRate);
REFERENCE_TIME FrameToTime(std::int64_t frame, int sampleRate);
