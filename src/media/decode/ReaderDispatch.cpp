#include "media/decode/OpenReader.h"

#include "media/decode/Mp3Reader.h"
#include "media/decode/SoundFileReader.h"

#include <algorithm>
#include <cctype>

std::unique_ptr<IPcmReader> OpenMp3Reader(const std::string& path, std::string* reason)
{
    return Mp3Reader::Open(path, reason);
}

std::unique_ptr<IPcmReader> OpenSoundFileReader(const std::string& path, std::string* reason)
{
    return SoundFileReader::Open(path, reason);
}

bool PathNamesMp3(const std::string& path)
{
    std::string lower(path);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower.find(".mp3") != std::string::npos;
}

std::unique_ptr<IPcmReader> OpenPcmReader(const std::string& path, std::string* reason)
{
    if (PathNamesMp3(path))
        return OpenMp3Reader(path, reason);
    return OpenSoundFileReader(path, reason);
}
