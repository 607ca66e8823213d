#include "media/render/MediaInit.h"

#include "media/filters/FileWriter.h"
#include "media/filters/LameEncoder.h"
#include "media/filters/MpegFilters.h"
#include "media/filters/SourceFilters.h"
#include "media/filters/WavWriter.h"
#include "media/graph/FilterRegistry.h"
#include "media/output/AudioOutput.h"
#include "media/output/AudioRenderer.h"

#include <mutex>

void MediaInitialize()
{
    static std::once_flag once;
    std::call_once(once, [] {
        RegisterFilterClass(clsid::AsyncFileSource, [] { return std::make_shared<CFileSourceFilter>(); });
        RegisterFilterClass(clsid::SoundFileSource, [] { return std::make_shared<CSoundFileSourceFilter>(); });
        RegisterFilterClass(clsid::MPEG1Splitter, [] { return std::make_shared<CMpegSplitterFilter>(); });
        RegisterFilterClass(clsid::Mp3Decoder, [] { return std::make_shared<CMp3DecoderFilter>(); });
        RegisterFilterClass(clsid::DSoundRender, [] { return std::make_shared<CAudioRenderer>(); });
        RegisterFilterClass(clsid::LameEncoder, [] { return CreateLameEncoder(); });
        RegisterFilterClass(clsid::WavWriter, [] { return CreateWavWriter(); });
        RegisterFilterClass(clsid::RawFileWriter, [] { return CreateRawFileWriter(); });
        RegisterFilterClass(clsid::FileWriter, [] { return CreateSystemFileWriter(); });
    });
}

void MediaUninitialize()
{
    ShutdownAudioBackend();
}
