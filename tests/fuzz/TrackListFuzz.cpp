// Any bytes as a cue sheet and as a label file. Whatever is accepted is a
// list of tracks in order inside the source, the last one running to its
// end; whatever is refused says why, with the line where it has one; and a
// sheet written from an accepted list reads back as the same tracks.

#include "CueSheet.h"
#include "FuzzCheck.h"
#include "LabelFile.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

constexpr REFERENCE_TIME kDuration = 6000LL * 10000000; // 100 minutes

void CheckList(const STrackList& list)
{
    FUZZ_CHECK(!list.tracks.empty());
    for (std::size_t k = 0; k < list.tracks.size(); ++k) {
        const STrack& t = list.tracks[k];
        FUZZ_CHECK(t.start >= 0 && t.start < t.end && t.end <= kDuration);
        if (k > 0)
            FUZZ_CHECK(list.tracks[k - 1].end <= t.start);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const CueReadResult cue = ParseCueSheet(bytes, "f.cue", "album.mp3", kDuration);
    if (cue.ok) {
        CheckList(cue.list);
        FUZZ_CHECK(cue.list.tracks.back().end == kDuration);
        FUZZ_CHECK(cue.list.tracks.size() <= 99);
        const CueReadResult again = ParseCueSheet(CueSheetText(cue.list, "album.mp3"), "g.cue", "album.mp3", kDuration);
        FUZZ_CHECK(again.ok && again.list.tracks.size() == cue.list.tracks.size());
        for (std::size_t k = 0; k < cue.list.tracks.size(); ++k)
            FUZZ_CHECK(std::llabs(again.list.tracks[k].start - cue.list.tracks[k].start) <= 10000000 / 150);
    } else {
        FUZZ_CHECK(!cue.error.empty());
        if (cue.errorLine > 0)
            FUZZ_CHECK(cue.error.find("f.cue line " + std::to_string(cue.errorLine) + ": ") == 0);
    }
    const LabelReadResult labels = ParseLabels(bytes, "f.txt", kDuration);
    if (labels.ok)
        CheckList(labels.list);
    else
        FUZZ_CHECK(!labels.error.empty());
    return 0;
}
