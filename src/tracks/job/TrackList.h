#pragma once
// A list of tracks to cut from one source: plain data, no GUI types. Cue
// sheets, label files, silences, equal parts and typed times all come to
// this, and the tracks job and page work from it.

#include "TagFields.h"
#include "media/graph/MediaTime.h"

#include <string>
#include <vector>

// One track: the stretch [start, end) of the source in 100 ns units.
// Consecutive tracks share their boundary: one's end is the next one's start.
struct STrack {
    REFERENCE_TIME start = 0;
    REFERENCE_TIME end = 0;
    std::string title;     // UTF-8; "" when the source of the list has none
    std::string performer; // becomes the piece's artist
    // Further tags of this piece (say, its own year or genre), applied
    // over the list's and the source's.
    tags::TagEdits tags;
    bool operator==(const STrack&) const = default;
};

struct STrackList {
    std::vector<STrack> tracks;
    std::string albumTitle;     // a cue sheet's TITLE: the pieces' album
    std::string albumPerformer; // a cue sheet's PERFORMER: the artist of tracks without their own
    std::string date;           // REM DATE
    std::string genre;          // REM GENRE
    // What the user should know about how the list was read, one line
    // each ("the sheet names album.wav; it is used for album.mp3").
    std::vector<std::string> notes;
};

// Tracks cut at `cuts` (times inside (0, duration), any order; repeats and
// times outside are dropped): one track from 0 to the first cut, ..., the
// last from the last cut to `duration`. No titles.
STrackList TracksFromCuts(std::vector<REFERENCE_TIME> cuts, REFERENCE_TIME duration);
