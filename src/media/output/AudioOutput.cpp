#include "media/output/AudioOutput.h"

#include "media/output/OutputBackends.h"

#include <cstdlib>
#include <cstring>

namespace {

bool NullOutputRequested()
{
    const char* value = std::getenv("TARNWICK_AUDIO");
    return value && std::strcmp(value, "null") == 0;
}

} // namespace

std::unique_ptr<IAudioOutput> OpenAudioOutput(const AudioFormat& format, bool paced)
{
    if (paced && !NullOutputRequested()) {
        if (auto device = OpenPortAudioOutput(format))
            return device;
    }
    return MakeNullOutput(format, paced);
}

void ShutdownAudioBackend() { ShutdownPortAudio(); }
