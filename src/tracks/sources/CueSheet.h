#pragma once
// Cue sheets: read with libcue, written by hand. The text may be UTF-8
// (with or without a byte-order mark) or Windows-1252 (what most rippers
// write); it is detected and read as such.

#include "TrackList.h"

#include <string>

struct CueReadResult {
    bool ok = false;
    STrackList list;   // tracks in [INDEX 01 of k, INDEX 01 of k+1); the last to `duration`
    std::string error; // "album.cue line 12: ..." when !ok
    int errorLine = 0; // 1-based line of the fault; 0 when it has none
};

// Reads the cue sheet at `cuePath` for the source `sourcePath`, whose
// length is `duration`. A sheet whose single FILE names another file is
// used for the source all the same (a note says so); a sheet with several
// FILEs uses the one whose name matches the source's, or fails naming them.
// Fails with the line number for: text libcue cannot parse, a track without
// INDEX 01, tracks out of order, an index past the source's end.
CueReadResult ReadCueSheet(const std::string& cuePath, const std::string& sourcePath, REFERENCE_TIME duration);
// The same from the sheet's bytes (`name` in messages).
CueReadResult ParseCueSheet(const std::string& bytes, const std::string& name, const std::string& sourcePath,
                            REFERENCE_TIME duration);

// The sheet's text (UTF-8) for `list` over the file `sourcePath` (its name
// only goes into FILE). Track starts are rounded to the nearest 1/75 s.
std::string CueSheetText(const STrackList& list, const std::string& sourcePath);
// Writes it to `path` (complete or absent; an existing file is replaced
// only when `replace`). False with `reason`, also for more than 99 tracks
// (a cue sheet's limit).
bool WriteCueSheet(const std::string& path, const STrackList& list, const std::string& sourcePath, bool replace,
                   std::string* reason);

// Bytes in Windows-1252 turned into UTF-8; UTF-8 (a BOM dropped) as it is.
std::string CueTextToUtf8(const std::string& bytes);

// `text` as the file `path`, complete or absent (a hidden temporary moved
// into place); an existing file is replaced only when `replace`.
bool WriteTextFile(const std::string& path, const std::string& text, bool replace, std::string* reason);
