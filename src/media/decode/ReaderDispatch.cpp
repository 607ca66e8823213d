#include "media/decode/OpenReader.h"

#include "media/decode/Mp3Reader.h"
#include "media/decode/SoundFileReader.h"
#include "media/decode/SourceKind.h"

std::unique_ptr<IPcmReader> OpenMp3Reader(const std::string& path, std::string* reason)
{
    return Mp3Reader::Open(path, reason);
}

std::unique_ptr<IPcmReader> OpenSoundFileReader(const std::string& path, std::string* reason)
{
    return SoundFileReader::Open(path, reason);
}

std::unique_ptr<IPcmReader> OpenPcmReader(const std::string& path, std::string* reason)
{
    if (DetectSourceKind(path) == SourceKind::MpegAudio)
        return OpenMp3Reader(path, reason);
    return OpenSoundFileReader(path, reason);
}

std::unique_ptr<IPcmReader> OpenPcmReaderMixedToMono(const std::string& path, std::string* reason)
{
    if (DetectSourceKind(path) == SourceKind::MpegAudio)
        return Mp3Reader::Open(path, reason, Mp3Reader::Channels::MixedToMono);
    return OpenSoundFileReader(path, reason);
}
