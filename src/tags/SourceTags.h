#pragma once
// The tags a source file carries, read with TagLib whatever its container:
// an MP3's ID3v2 tag (any version), ID3v1 and APE tags; a WAV file's "id3 "
// chunk and RIFF INFO list; the tags of any other file TagLib knows. They
// come together as ID3v2 frames: the ID3v2 tag's frames as they are, and
// from the other tags what it lacks.
//
// A tag TagLib cannot read, or that this program will not carry (over
// 16 MiB, an unknown ID3v2 version, damaged), is no reason to refuse the
// audio: the source then carries no tags here, and `problem` says why.

#include "TagSet.h"

#include <cstdint>
#include <string>

namespace tags {

// The largest tag carried from a source to its outputs, and the largest
// picture taken from a file.
inline constexpr std::int64_t kMaxTagBytes = 16 * 1024 * 1024;

struct SourceTags {
    CTagSet tags;
    bool hadId3v1 = false; // an MP3 that ended in an ID3v1 tag
    std::string problem;   // why its tags were not read ("its ID3v2 tag is damaged"); "" when they were
};

SourceTags ReadSourceTags(const std::string& path);

// "cannot read the tags of PATH (PROBLEM)": how the jobs say it.
std::string TagProblemText(const std::string& path, const std::string& problem);

} // namespace tags
