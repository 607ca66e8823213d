#pragma once
// Opening a decoder for a file: the reader dispatch every caller goes
// through (playback, measuring, cutting, joining).

#include "media/graph/PcmReader.h"

#include <memory>
#include <string>

// Opens a decoder for `path`: libmpg123 or libsndfile, as DetectSourceKind
// (media/decode/SourceKind.h) tells from the content. Returns null and sets
// `reason` on failure (e.g. "cannot open /x/y.mp3: No such file or
// directory").
std::unique_ptr<IPcmReader> OpenPcmReader(const std::string& path, std::string* reason);
// The same, for readers that only measure levels: an MP3's channels come out
// mixed to their mean by the decoder itself, before its filter bank, which
// spares a stereo decode about an eighth of its work. Other sources keep
// their channels; Format() tells what the reader gives.
std::unique_ptr<IPcmReader> OpenPcmReaderMixedToMono(const std::string& path, std::string* reason);
std::unique_ptr<IPcmReader> OpenMp3Reader(const std::string& path, std::string* reason);
std::unique_ptr<IPcmReader> OpenSoundFileReader(const std::string& path, std::string* reason);
