// Any bytes opened and decoded as a WAV file (or any other sound file
// libsndfile recognises).

#include "ReaderFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::FuzzReader(data, size, OpenSoundFileReader, true);
    return 0;
}
