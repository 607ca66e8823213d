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
std::unique_ptr<IPcmReader> OpenMp3Reader(const std::string& path, std::string* reason);
std::unique_ptr<IPcmReader> OpenSoundFileReader(const std::string& path, std::string* reason);
