#include "media/output/AudioOutput.h"

#include "media/output/OutputBackends.h"

#include <cstdlib>
#include <cstring>

namespace {

bool AudioRequested(const char* what)
{
    const char* value = std::getenv("TARNWICK_AUDIO");
    return value && std::strcmp(value, what) == 0;
}

} // namespace

std::unique_ptr<IAudioOutput> OpenAudioOutput(const AudioFormat& format, bool paced)
{
    if (paced && !AudioRequested("null")) {
        if (auto device = OpenPortAudioOutput(format))
            return device;
        if (AudioRequested("device"))
            return nullptr;
    }
    return MakeNullOutput(format, paced);
}

void ShutdownAudioBackend() { ShutdownPortAudio(); }
