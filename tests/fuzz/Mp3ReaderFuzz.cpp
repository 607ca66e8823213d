// Any bytes opened and decoded as an MP3 file. The start is not compared
// after a seek back: on a damaged stream libmpg123 decodes differently after
// seeking to the start (the first pass can give hundreds of samples more),
// which would end every run within seconds.

#include "ReaderFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::FuzzReader(data, size, OpenMp3Reader, false);
    return 0;
}
