#pragma once
// Opening a decoder for a file: the reader dispatch every caller goes
// through (playback, measuring, cutting, joining).

#include "media/graph/PcmReader.h"

#include <memory>
#include <string>

// Opens a decoder for `path`: libmpg123 when the lower-cased path contains
// ".mp3", libsndfile otherwise. Returns null and sets `reason` on failure
// (e.g. "cannot open /x/y.mp3: No such file or directory").
// The test that picks the decoder: the lower-cased path contains ".mp3"
// anywhere (a substring test, so "a.mp3.wav" counts as MP3).
bool PathNamesMp3(const std::string& path);
std::unique_ptr<IPcmReader> OpenPcmReader(const std::string& path, std::string* reason);
std::unique_ptr<IPcmReader> OpenMp3Reader(const std::string& path, std::string* reason);
std::unique_ptr<IPcmReader> OpenSoundFileReader(const std::string& path, std::string* reason);
