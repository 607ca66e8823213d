#pragma once
// Label files as sound editors export them: one line per label,
// "start<TAB>end<TAB>title", times in seconds with decimals.

#include "TrackList.h"

#include <string>

struct LabelReadResult {
    bool ok = false;
    STrackList list;
    std::string error; // "labels.txt line 3: ..." when !ok
};

// Each label is a track [start, end). A label with end == start (a point)
// marks a cut: the track runs to the next label's start, the last to
// `duration`. Fails with the line number for a line that is not a label,
// labels out of order or past the end.
LabelReadResult ReadLabelFile(const std::string& path, REFERENCE_TIME duration);
LabelReadResult ParseLabels(const std::string& text, const std::string& name, REFERENCE_TIME duration);

std::string LabelText(const STrackList& list);
bool WriteLabelFile(const std::string& path, const STrackList& list, bool replace, std::string* reason);
