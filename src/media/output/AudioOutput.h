#pragma once
// Where the audio renderer's samples go: the default PortAudio device, or a
// null output that consumes audio at the real-time pace of a steady clock
// (TARNWICK_AUDIO=null, or no device opens; TARNWICK_AUDIO=device forbids
// that fallback, for tests that must reach a real device). Position, end of
// stream and seeking behave the same on both.
//
// Write and Drain block (at the audio's pace) on the streaming thread; the
// other calls come from the control thread, Interrupt while a Write or Drain
// may be blocked.

#include "media/graph/MediaTypes.h"

#include <cstdint>
#include <memory>
#include <string>

class IAudioOutput {
public:
    virtual ~IAudioOutput() = default;
    // Plays `frames` interleaved frames; returns when they are queued for
    // playing (at most a short buffer ahead of the clock). False when
    // interrupted or when the device failed.
    virtual bool Write(const float* samples, std::int64_t frames) = 0;
    // Waits until everything written has been played. False when interrupted.
    virtual bool Drain() = 0;
    // Stops playing at what has been heard: the played count stays there
    // and Resume goes on from it.
    virtual void Pause() = 0;
    virtual void Resume() = 0;
    // Drops what is queued and restarts the played count at 0; also clears
    // an Interrupt. A seek: the next frames written are heard at once.
    virtual void Flush() = 0;
    // Pause and Flush. A device goes on playing silence, so that Run is
    // heard as soon as after a pause.
    virtual void Stop() = 0;
    virtual void Interrupt() = 0;
    // Frames heard since the last Flush.
    virtual std::int64_t PlayedFrames() const = 0;
    // True once the device failed (a Write then returns false for good).
    virtual bool Failed() const { return false; }
    // "PortAudio: <device>" or "null output".
    virtual std::string Name() const = 0;
};

// paced = false: consume as fast as fed (a graph without a clock). Null
// only when TARNWICK_AUDIO=device and no device opens.
std::unique_ptr<IAudioOutput> OpenAudioOutput(const AudioFormat& format, bool paced);

// PortAudio is started on first use and stopped by MediaUninitialize.
void ShutdownAudioBackend();
