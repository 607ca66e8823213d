#pragma once
// The two outputs OpenAudioOutput chooses between.

#include "media/output/AudioOutput.h"

// Plays into nothing at the pace of the steady clock (or at once when not
// paced).
std::unique_ptr<IAudioOutput> MakeNullOutput(const AudioFormat& format, bool paced);

// The default PortAudio output device; null when PortAudio cannot start or
// no device opens.
std::unique_ptr<IAudioOutput> OpenPortAudioOutput(const AudioFormat& format);
void ShutdownPortAudio();
