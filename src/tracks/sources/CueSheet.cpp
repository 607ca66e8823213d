// Cue sheets: libcue reads the values; a pass of our own over the lines
// (CueSheetLines.cpp) knows where each TRACK, INDEX 01 and FILE stands, so
// that every fault is told with its line.

#include "CueSheet.h"
#include "CueSheetLines.h"

#include "media/graph/TimeText.h"

#include <libcue.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

namespace fs = std::filesystem;

using cue_sheet::Lower;
using cue_sheet::ScanLines;
using cue_sheet::SheetLayout;
using cue_sheet::SheetTrack;

namespace {

std::string Text(const char* s)
{
    return s ? std::string(s) : std::string();
}

REFERENCE_TIME FramesToTime(long frames)
{
    return REFERENCE_TIME(frames) * 10000000 / 75;
}

std::string BaseName(const std::string& path)
{
    return fs::path(path).filename().string();
}

CueReadResult Fail(const std::string& name, int line, const std::string& why)
{
    CueReadResult result;
    result.errorLine = line;
    result.error = line > 0 ? name + " line " + std::to_string(line) + ": " + why : name + ": " + why;
    return result;
}

// The line at which libcue first refuses the sheet, or drops a track of
// it: the end of the shortest beginning of it (whole lines) that it cannot
// parse or reads fewer tracks of than `tracks` holds; 0 when none.
int FirstRefusedLine(const std::string& text, const std::vector<SheetTrack>& tracks)
{
    std::size_t end = 0;
    for (int line = 1; end < text.size(); ++line) {
        const std::size_t newline = text.find('\n', end);
        end = newline == std::string::npos ? text.size() : newline + 1;
        const auto expected = std::count_if(tracks.begin(), tracks.end(), [&](const SheetTrack& t) { return t.line <= line; });
        Cd* cd = cue_parse_string(text.substr(0, end).c_str());
        const bool refused = !cd || cd_get_ntrack(cd) != int(expected);
        if (cd)
            cd_delete(cd);
        if (refused)
            return line;
    }
    return 0;
}

} // namespace

CueReadResult ParseCueSheet(const std::string& bytes, const std::string& name, const std::string& sourcePath,
                            REFERENCE_TIME duration)
{
    const std::string text = CueTextToUtf8(bytes);
    const SheetLayout layout = ScanLines(text);
    if (layout.badLine > 0)
        return Fail(name, layout.badLine, layout.badWhy);
    if (layout.tracks.empty())
        return Fail(name, 0, "the sheet has no TRACK");
    for (std::size_t k = 0; k < layout.tracks.size(); ++k)
        if (layout.tracks[k].index01 < 0)
            return Fail(name, layout.tracks[k].line, "track " + std::to_string(k + 1) + " has no INDEX 01");

    CueReadResult result;
    // Which FILE's tracks are the source's.
    std::size_t file = 0;
    const std::string source = BaseName(sourcePath);
    if (layout.files.size() > 1) {
        auto stem = [](const std::string& n) { return Lower(fs::path(n).stem().string()); };
        std::size_t match = layout.files.size();
        for (std::size_t f = 0; f < layout.files.size(); ++f)
            if (Lower(BaseName(layout.files[f])) == Lower(source))
                match = f;
        if (match == layout.files.size())
            for (std::size_t f = 0; f < layout.files.size(); ++f)
                if (stem(BaseName(layout.files[f])) == stem(source))
                    match = f;
        if (match == layout.files.size()) {
            std::string names;
            for (const std::string& f : layout.files)
                names += (names.empty() ? "" : ", ") + f;
            return Fail(name, layout.fileLines.front(),
                        "the sheet is for several files (" + names + "), none of them " + source);
        }
        file = match;
        result.list.notes.push_back("the sheet is for several files; the tracks of " + layout.files[file]
                                    + " are used");
    } else if (BaseName(layout.files.front()) != source) {
        result.list.notes.push_back("the sheet names " + layout.files.front() + "; it is used for " + source);
    }

    // The times, checked before libcue reads the text (its parser leaks
    // what it built when it meets what it cannot take).
    REFERENCE_TIME previous = -1;
    int previousLine = 0;
    std::vector<int> sheetNumbers; // of the tracks taken, 1-based in the sheet
    for (std::size_t k = 0; k < layout.tracks.size(); ++k) {
        const SheetTrack& at = layout.tracks[k];
        if (at.file != file)
            continue;
        const REFERENCE_TIME start = FramesToTime(at.index01);
        if (start <= previous)
            return Fail(name, at.indexLine, "track " + std::to_string(k + 1) + " starts at "
                                                + FormatClockMs(start) + ", not after the track before it (line "
                                                + std::to_string(previousLine) + ")");
        if (start >= duration)
            return Fail(name, at.indexLine, "track " + std::to_string(k + 1) + " starts at " + FormatClockMs(start)
                                                + ", past the end of " + source + " ("
                                                + FormatClockMs(duration) + ")");
        STrack t;
        t.start = start;
        if (!result.list.tracks.empty())
            result.list.tracks.back().end = start;
        result.list.tracks.push_back(std::move(t));
        sheetNumbers.push_back(int(k) + 1);
        previous = start;
        previousLine = at.indexLine;
    }
    if (result.list.tracks.empty())
        return Fail(name, layout.fileLines[file], "no TRACK follows this FILE");
    result.list.tracks.back().end = duration;

    // The words: titles, performers, date and genre.
    std::unique_ptr<Cd, void (*)(Cd*)> cd(cue_parse_string(layout.normalized.c_str()), cd_delete);
    if (!cd || cd_get_ntrack(cd.get()) != int(layout.tracks.size())) {
        // libcue refused a sheet whose lines look right to us: the first
        // line it cannot read is where its first refused beginning ends.
        return Fail(name, FirstRefusedLine(layout.normalized, layout.tracks), "libcue cannot read this line");
    }
    Cdtext* album = cd_get_cdtext(cd.get());
    result.list.albumTitle = Text(cdtext_get(PTI_TITLE, album));
    result.list.albumPerformer = Text(cdtext_get(PTI_PERFORMER, album));
    result.list.genre = Text(cdtext_get(PTI_GENRE, album));
    result.list.date = Text(rem_get(REM_DATE, cd_get_rem(cd.get())));
    for (std::size_t k = 0; k < result.list.tracks.size(); ++k) {
        Track* track = cd_get_track(cd.get(), sheetNumbers[k]);
        Cdtext* cdtext = track ? track_get_cdtext(track) : nullptr;
        result.list.tracks[k].title = Text(cdtext ? cdtext_get(PTI_TITLE, cdtext) : nullptr);
        result.list.tracks[k].performer = Text(cdtext ? cdtext_get(PTI_PERFORMER, cdtext) : nullptr);
    }
    if (const REFERENCE_TIME first = result.list.tracks.front().start; first > 0)
        result.list.notes.push_back("the " + FormatClockMs(first) + " before the first track's INDEX 01 are in no piece");
    result.ok = true;
    return result;
}

CueReadResult ReadCueSheet(const std::string& cuePath, const std::string& sourcePath, REFERENCE_TIME duration)
{
    std::ifstream in(cuePath, std::ios::binary);
    if (!in)
        return Fail(cuePath, 0, "cannot be opened");
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return ParseCueSheet(bytes.str(), cuePath, sourcePath, duration);
}
