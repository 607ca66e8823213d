#pragma once
// Which decoder a file needs, told by what it holds rather than by its name:
// a WAV named .mp3 is still a WAV.

#include <string>

enum class SourceKind {
    MpegAudio, // MPEG audio frames (MP3, also MP2): libmpg123
    SoundFile, // the containers libsndfile reads: WAV, RF64, AIFF, FLAC, Ogg, AU, CAF, W64 ...
};

// Looks at the start of the file: a sound-file container's signature (also
// behind ID3v2 tags) makes it a sound file; MPEG audio frames after any ID3v2
// tags, junk or padding make it MPEG audio; otherwise libsndfile is asked
// whether it knows the file. Only content that is none of these, or too short
// to tell, or a file that cannot be opened goes by its name: MPEG audio when
// the name ends in ".mp3" (any case), a sound file otherwise. The decoder
// chosen then reports what is wrong with the file.
SourceKind DetectSourceKind(const std::string& path);
