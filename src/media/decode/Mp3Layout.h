#pragma once
// An MP3 file as a frame copier sees it: the tags around the stream, the
// Info frame that may open it, and every audio frame with where its main
// data begins (the bit reservoir), so that a stretch of frames can be
// copied and still decode as it did in the whole file.

#include "media/decode/InfoFrame.h"
#include "media/decode/MpegFrames.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct Mp3AudioFrame {
    std::int64_t offset = 0;
    int bytes = 0;
    int dataOffset = 0;    // start of its main-data area: after the header, CRC and side information
    int mainDataBegin = 0; // bytes its main data starts before that area
    int bitrateIndex = 0;
};

struct Mp3Layout {
    std::int64_t fileSize = 0;
    ByteRange id3v2;        // the leading ID3v2 tags; empty when none
    ByteRange id3v1;        // the trailing ID3v1 tag; empty when none
    MpegFrameHeader stream; // the first audio frame's header
    std::optional<InfoFrameTag> info;
    std::vector<Mp3AudioFrame> frames; // the audio frames, the Info frame not counted

    // Whether a gapless decoder cuts anything from the raw decode: libmpg123
    // does only where the Info frame gives the number of frames.
    bool Trimmed() const { return info && info->frames.value_or(0) > 0; }
    // Samples of the raw decode (every audio frame's samples, in order)
    // before the first one a gapless decoder gives out, as libmpg123 reads
    // the Info frame: LAME's delay plus its own 529, 529 for an Info frame
    // without LAME's extension, 0 for a stream it does not trim.
    std::int64_t LeadingSamples() const;
    // The samples a gapless decoder gives out.
    std::int64_t LengthSamples() const;
};

// The first frame of the file's MPEG stream when, judged from that frame,
// the stream's frames can be copied as they are; null with `reason` when
// not (no Layer III, free format, no MPEG audio). Cheap enough to ask
// before a run.
std::optional<MpegFrameHeader> FirstCopyableMp3Frame(const std::string& path, std::string* reason);

// Reads the layout of the MP3 file at `path`. False with `reason` when it
// cannot be read or its frames cannot be copied as they are (no Layer III,
// free format, damaged stretches, a change of format inside the stream).
bool ReadMp3Layout(const std::string& path, Mp3Layout* layout, std::string* reason);
// The same from a file open for reading, `size` bytes long.
bool ReadMp3Layout(int fd, long long size, Mp3Layout* layout, std::string* reason);
