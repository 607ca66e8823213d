#pragma once
// What both MP3 encoder paths (one LAME encoder, or several on threads) ask
// of LAME: a block of float PCM encoded, and the info frame a stream opens
// with.

#include "media/filters/Mp3Stitch.h"

#include <lame/lame.h>

#include <vector>

// Encodes `frames` interleaved samples into `buffer` (resized to hold the
// worst case); the bytes LAME gave, or a negative LAME error.
int EncodeBlock(lame_global_flags* lame, int channels, const float* samples, int frames,
                std::vector<unsigned char>& buffer);

// An info frame in LAME's layout for `lame`'s stream where LAME writes none
// (at the lowest bit rates its tag does not fit one frame), so that decoders
// still drop the encoder delay and padding: the header of the stream's first
// audio frame `audio` at the lowest bit rate with room for the tag (decoders
// skip the info frame, whatever its rate), LAME's settings and encoder delay.
// Its counts stay for RewriteInfoFrame to fill in. Empty when `audio` is no
// frame header.
std::vector<unsigned char> MakeInfoFrameForLame(const lame_global_flags* lame, const unsigned char* audio);

// The info frame the stream of `run` (the first segment's) opens with: LAME's,
// or one of ours where LAME keeps no place for one.
std::vector<unsigned char> FirstInfoFrame(const lame_global_flags* lame, const EncodedRun& run);
