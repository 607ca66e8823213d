#pragma once
// What an output carries: a split piece the source's tags made true for the
// piece, a merged file the first input's album fields and a chapter for
// each input, and on top of either what the person set.

#include "SourceTags.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tags {

// The piece [startMs, endMs) of `source`: its frames as CTagSet::ForStretch
// gives them (none when they could not be read), then `edits`.
CTagSet PieceTags(const SourceTags& source, std::int64_t startMs, std::int64_t endMs, const TagEdits& edits);

// One input of a merged file and where it lies in it.
struct MergeInput {
    std::string path;
    SourceTags tags;
    std::int64_t startMs = 0;
    std::int64_t endMs = 0;
};

// The merged file's tags: album, artist (the album artist where there is
// one), year, genre and cover of the first input; the album as its title, or
// the output's file name without its extension; the chapters; then the
// person's edits and cover choice (a title edited to nothing is the file's
// name again). False with `reason` when the cover asked
// for cannot be had.
bool MergedTags(const std::vector<MergeInput>& inputs, const MergeTagChoices& choices,
                const std::string& outputPath, CTagSet* merged, std::string* reason);

// A chapter's title: the input's title tag, or its file name without the
// extension.
std::string ChapterTitleOf(const MergeInput& input);

// The file name of `path` without its folder and extension.
std::string FileStem(const std::string& path);

} // namespace tags
