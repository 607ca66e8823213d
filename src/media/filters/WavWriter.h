#pragma once
// The WAV writer: PCM in, a complete 16-bit PCM WAV file's bytes out to a
// file writer (the header's sizes are written again at the end).

#include "media/graph/Filter.h"

#include <memory>

std::shared_ptr<CBaseFilter> CreateWavWriter(); // clsid::WavWriter
