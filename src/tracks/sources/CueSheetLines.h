#pragma once
// Inside the cue sheet code only: the reader's own pass over a sheet's
// lines before libcue sees the text, and the lower-casing the reader and
// the writer share.

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <string>
#include <vector>

namespace cue_sheet {

// Where things stand in the sheet, line by line.
struct SheetTrack {
    int line = 0;      // of TRACK
    int indexLine = 0; // of INDEX 01; 0 when none
    long index01 = -1; // frames
    std::size_t file = 0;
};
struct SheetLayout {
    std::string normalized; // the text with its commands, track modes and file types upper-case, for libcue
    std::vector<std::string> files;
    std::vector<int> fileLines;
    std::vector<SheetTrack> tracks;
    int badLine = 0;
    std::string badWhy;
};

// Where FILE, TRACK and INDEX 01 stand in `text` (UTF-8), the text for
// libcue, and the first line that is not a cue sheet line.
SheetLayout ScanLines(const std::string& text);

inline std::string Lower(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return s;
}

} // namespace cue_sheet
