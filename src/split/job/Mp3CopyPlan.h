#pragma once
// A piece of an MP3 file cut without re-encoding: which of the source's
// frames it copies, the frames made up for it, and what its Info frame
// tells a gapless decoder, so that the piece decodes to exactly the
// source's samples [start, stop).
//
// The piece's audio is: a new Info frame, one silent "donor" frame, and the
// source's frames from a little before the frame that holds the first
// sample up to the frame that holds the last (its tags are the writer's,
// around them). A frame's output depends on the frame before it (the
// overlap of the transform), so one whole frame goes before the first
// sample's frame (two for MPEG-2 and 2.5, whose frames hold one granule).
// A frame's main data may start in the frames before it (the bit
// reservoir); the donor frame carries exactly those bytes for the first
// copied frame and decodes to silence itself. The Info frame's delay and
// padding then cut the piece to the sample.

#include "SplitJob.h"
#include "media/decode/Mp3Layout.h"
#include "media/graph/MediaTypes.h"

#include <cstdint>
#include <string>
#include <vector>

struct Mp3CopyPlan {
    std::string sourcePath;
    std::int64_t sourceSize = 0; // the source must still be this size when it is copied
    std::int64_t lengthSamples = 0; // the piece's samples (the stop clamped to the source's end)
    int sampleRate = 0;
    MpegFrameHeader infoHeader;  // of the piece's Info frame
    NewInfoFrame info;           // all but the music CRC, known once the frames are copied
    std::vector<unsigned char> donor;
    std::vector<ByteRange> runs; // the source frames copied, as runs of adjacent bytes

    // Bytes of the piece's audio (its tags not counted).
    std::int64_t TotalBytes() const;
};

// Plans the piece [start, stop) of the source (times on its gapless
// timeline; a stop past the end is taken as the end). False with `reason`
// when its frames cannot be copied.
bool PlanMp3Copy(const std::string& sourcePath, REFERENCE_TIME start, REFERENCE_TIME stop, Mp3CopyPlan* plan,
                 std::string* reason);
// The same from the source open on `fd` (`size` bytes): the plan is of the
// file that descriptor reads, whatever its name comes to mean meanwhile.
bool PlanMp3Copy(int fd, std::int64_t size, const std::string& sourcePath, REFERENCE_TIME start, REFERENCE_TIME stop,
                 Mp3CopyPlan* plan, std::string* reason);

// The same from the layout already read from the file open on `fd`.
bool PlanMp3CopyFromLayout(const Mp3Layout& layout, int fd, std::int64_t size, const std::string& sourcePath,
                           REFERENCE_TIME start, REFERENCE_TIME stop, Mp3CopyPlan* plan, std::string* reason);

// The plan for samples [first, end) of a source already laid out; `file`
// reads the source (for the donor frame's bytes).
bool PlanMp3CopyOfSamples(const Mp3Layout& layout, FileBytes& file, std::int64_t first, std::int64_t end,
                          Mp3CopyPlan* plan, std::string* reason);
