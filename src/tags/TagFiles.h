#pragma once
// Tags into output files, by TagLib. An MP3 output opens with an ID3v2.3
// tag (the version every player and desktop reads), rendered before its
// audio is written so that the file is never rewritten to make room; it
// ends with an ID3v1 tag when its source had one. A WAV output gets a RIFF
// INFO list and an "id3 " chunk after its audio, written into the finished
// temporary before it gets its name.

#include "TagSet.h"

#include <string>

namespace tags {

// The ID3v2.3 tag that opens an MP3 file; "" when `tags` is empty.
std::string RenderId3v2(const CTagSet& tags);
// The 128-byte ID3v1 tag of the same fields (ID3v1 holds Latin-1 only: a
// character it cannot hold becomes "?"); "" when `tags` is empty.
std::string RenderId3v1(const CTagSet& tags);

// Writes `tags` into the finished WAV file at `path`. "" when done (or when
// there is nothing to write), else why it failed; the file is then not to
// be used. A file whose tags cannot be added (an RF64 file, or one that
// would pass the 4 GiB a RIFF file holds) is left as it is and `skipped`
// says why.
std::string WriteWavTags(const std::string& path, const CTagSet& tags, std::string* skipped);

// Writes `tags` in place of the ID3v2 tag that opens the finished MP3 file
// at `path` (in its room where it fits, else moving the audio). "" when
// done, else why it failed.
std::string RewriteMp3Tag(const std::string& path, const CTagSet& tags);

// A JPEG or PNG file, up to 16 MiB, as a front cover. False with `reason`.
bool ReadPictureFile(const std::string& path, TagPicture* picture, std::string* reason);

} // namespace tags
