// Cue sheets: libcue reads the values; a pass of our own over the lines
// knows where each TRACK, INDEX 01 and FILE stands, so that every fault is
// told with its line.

#include "CueSheet.h"

#include "media/filters/OutputFile.h"
#include "media/graph/TimeText.h"

#include <libcue.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// Windows-1252 0x80..0x9F; 0 where the code page has no character.
constexpr char16_t kCp1252High[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                      0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

bool IsValidUtf8(const std::string& s)
{
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        const int more = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : -1;
        if (more < 0 || i + std::size_t(more) >= s.size() + (more == 0 ? 1 : 0))
            return false;
        for (int k = 1; k <= more; ++k)
            if ((static_cast<unsigned char>(s[i + std::size_t(k)]) & 0xC0) != 0x80)
                return false;
        i += std::size_t(more) + 1;
    }
    return true;
}

void AppendUtf8(std::string* out, char32_t c)
{
    if (c < 0x80) {
        *out += char(c);
    } else if (c < 0x800) {
        *out += char(0xC0 | (c >> 6));
        *out += char(0x80 | (c & 0x3F));
    } else {
        *out += char(0xE0 | (c >> 12));
        *out += char(0x80 | ((c >> 6) & 0x3F));
        *out += char(0x80 | (c & 0x3F));
    }
}

std::string Upper(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return char(std::toupper(c)); });
    return s;
}

std::string Lower(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return s;
}

// "mm:ss:ff" (minutes any width) in 1/75 s frames; -1 when it is not one.
long ParseMsf(const std::string& text)
{
    long parts[3] = {0, 0, 0};
    int part = 0;
    bool digit = false;
    for (const char c : text) {
        if (c == ':' && digit && part < 2) {
            ++part;
            digit = false;
        } else if (std::isdigit(static_cast<unsigned char>(c)) && parts[part] < 100000) {
            parts[part] = parts[part] * 10 + (c - '0');
            digit = true;
        } else {
            return -1;
        }
    }
    if (part != 2 || !digit || parts[1] > 59 || parts[2] > 74)
        return -1;
    return (parts[0] * 60 + parts[1]) * 75 + parts[2];
}

// The words of a line; a quoted word keeps its spaces.
std::vector<std::string> Words(const std::string& line)
{
    std::vector<std::string> words;
    for (std::size_t i = 0; i < line.size();) {
        if (std::isspace(static_cast<unsigned char>(line[i]))) {
            ++i;
        } else if (line[i] == '"') {
            const std::size_t close = line.find('"', i + 1);
            const std::size_t end = close == std::string::npos ? line.size() : close;
            words.push_back(line.substr(i + 1, end - i - 1));
            i = end + 1;
        } else {
            std::size_t end = i;
            while (end < line.size() && !std::isspace(static_cast<unsigned char>(line[end])))
                ++end;
            words.push_back(line.substr(i, end - i));
            i = end;
        }
    }
    return words;
}

// The line with its command upper-case, and for TRACK and FILE the type
// after it too: libcue knows the words only upper-case.
std::string Normalized(std::string line)
{
    std::size_t at = line.find_first_not_of(" \t");
    if (at == std::string::npos)
        return line;
    std::size_t end = line.find_first_of(" \t", at);
    end = end == std::string::npos ? line.size() : end;
    const std::string key = Upper(line.substr(at, end - at));
    line.replace(at, end - at, key);
    if (key == "TRACK" || key == "FILE") {
        // The type is the last word, after any quoted name.
        const std::size_t quote = line.rfind('"');
        const std::size_t from = quote == std::string::npos ? end : quote + 1;
        for (std::size_t i = from; i < line.size(); ++i)
            line[i] = char(std::toupper(static_cast<unsigned char>(line[i])));
    }
    return line;
}

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

SheetLayout ScanLines(const std::string& text)
{
    static const char* const kKnown[] = {"FILE",     "TRACK",   "INDEX",   "TITLE",      "PERFORMER", "SONGWRITER",
                                         "COMPOSER", "ARRANGER", "MESSAGE", "REM",        "FLAGS",     "ISRC",
                                         "CATALOG",  "CDTEXTFILE", "PREGAP", "POSTGAP",   "DISC_ID",   "UPC_EAN",
                                         "GENRE"};
    SheetLayout layout;
    std::istringstream in(text);
    std::string line;
    int number = 0;
    auto bad = [&](const std::string& why) {
        if (layout.badLine == 0) {
            layout.badLine = number;
            layout.badWhy = why;
        }
    };
    static const char* const kText[] = {"TITLE",   "PERFORMER",  "SONGWRITER", "COMPOSER", "ARRANGER", "MESSAGE",
                                        "CATALOG", "CDTEXTFILE", "ISRC",       "DISC_ID",  "UPC_EAN",  "GENRE"};
    static const char* const kFlags[] = {"DCP", "4CH", "PRE", "SCMS"};
    auto isNumber = [](const std::string& word) {
        return !word.empty() && std::all_of(word.begin(), word.end(), [](unsigned char c) { return std::isdigit(c); });
    };
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const std::vector<std::string> w = Words(line);
        layout.normalized += Normalized(line) + "\n";
        if (w.empty())
            continue;
        const std::string key = Upper(w[0]);
        if (std::any_of(line.begin(), line.end(), [](char c) { return c != '\t' && static_cast<unsigned char>(c) < 0x20; })) {
            bad("the line holds control characters: this is no text file");
        } else if (std::count(line.begin(), line.end(), '"') % 2 != 0) {
            bad("a quote is not closed");
        } else if (std::find(std::begin(kKnown), std::end(kKnown), key) == std::end(kKnown)) {
            bad("\"" + w[0] + "\" is not a cue sheet command");
        } else if (std::find(std::begin(kText), std::end(kText), key) != std::end(kText)) {
            if (w.size() != 2)
                bad(key + " wants one value (in quotes when it holds spaces)");
        } else if (key == "FLAGS") {
            if (w.size() < 2 || !std::all_of(w.begin() + 1, w.end(), [](const std::string& f) {
                    return std::find(std::begin(kFlags), std::end(kFlags), Upper(f)) != std::end(kFlags);
                }))
                bad("FLAGS wants flags of DCP, 4CH, PRE and SCMS");
        } else if (key == "PREGAP" || key == "POSTGAP") {
            if (w.size() != 2 || ParseMsf(w[1]) < 0)
                bad(key + " wants a time mm:ss:ff");
        } else if (key == "FILE") {
            static const char* const kTypes[] = {"BINARY", "MOTOROLA", "AIFF", "WAVE", "MP3", "FLAC"};
            if (w.size() < 2)
                bad("FILE names no file");
            else if (w.size() != 3 || std::find(std::begin(kTypes), std::end(kTypes), Upper(w[2])) == std::end(kTypes))
                bad("FILE wants a type after the name (WAVE, MP3, AIFF, BINARY, MOTOROLA)");
            layout.files.push_back(w.size() > 1 ? w[1] : std::string());
            layout.fileLines.push_back(number);
        } else if (key == "TRACK") {
            static const char* const kModes[] = {"AUDIO",      "CDG",        "MODE1/2048", "MODE1/2352",
                                                 "MODE2/2336", "MODE2/2352", "CDI/2336",   "CDI/2352"};
            if (w.size() != 3 || !isNumber(w[1])
                || std::find(std::begin(kModes), std::end(kModes), Upper(w[2])) == std::end(kModes))
                bad("TRACK wants a number and a type (TRACK 01 AUDIO)");
            else if (layout.files.empty())
                bad("TRACK comes before any FILE");
            else if (layout.tracks.size() == 99)
                bad("a cue sheet holds at most 99 tracks");
            layout.tracks.push_back({number, 0, -1, layout.files.empty() ? 0 : layout.files.size() - 1});
        } else if (key == "INDEX") {
            const long frames = w.size() >= 3 ? ParseMsf(w[2]) : -1;
            if (w.size() != 3 || frames < 0 || !isNumber(w[1]))
                bad("INDEX wants a number and a time mm:ss:ff");
            else if (layout.tracks.empty())
                bad("INDEX comes before any TRACK");
            else if (std::atoi(w[1].c_str()) == 1 && layout.tracks.back().indexLine > 0)
                bad("a second INDEX 01 for this track (the first is on line "
                    + std::to_string(layout.tracks.back().indexLine) + ")");
            else if (std::atoi(w[1].c_str()) == 1) {
                layout.tracks.back().indexLine = number;
                layout.tracks.back().index01 = frames;
            }
        }
    }
    return layout;
}

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

std::string CueTextToUtf8(const std::string& bytes)
{
    std::string text = bytes;
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0)
        text.erase(0, 3);
    if (IsValidUtf8(text))
        return text;
    std::string out;
    out.reserve(text.size() * 2);
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x80)
            out += ch;
        else if (c < 0xA0)
            AppendUtf8(&out, kCp1252High[c - 0x80] ? kCp1252High[c - 0x80] : 0xFFFD);
        else
            AppendUtf8(&out, c);
    }
    return out;
}

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

namespace {

std::string Quoted(const std::string& text)
{
    std::string out;
    for (const char c : text)
        out += c == '"' ? '\'' : c;
    return "\"" + out + "\"";
}

std::string Msf(REFERENCE_TIME t)
{
    const long long frames = (t * 75 + 5000000) / 10000000;
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%02lld:%02lld:%02lld", frames / 75 / 60, frames / 75 % 60, frames % 75);
    return buffer;
}

} // namespace

std::string CueSheetText(const STrackList& list, const std::string& sourcePath)
{
    std::string text;
    if (!list.genre.empty())
        text += "REM GENRE " + Quoted(list.genre) + "\n";
    if (!list.date.empty())
        text += "REM DATE " + list.date + "\n";
    if (!list.albumPerformer.empty())
        text += "PERFORMER " + Quoted(list.albumPerformer) + "\n";
    if (!list.albumTitle.empty())
        text += "TITLE " + Quoted(list.albumTitle) + "\n";
    const std::string file = BaseName(sourcePath);
    const bool wave = Lower(fs::path(file).extension().string()) == ".wav";
    text += "FILE " + Quoted(file) + (wave ? " WAVE\n" : " MP3\n");
    for (std::size_t k = 0; k < list.tracks.size(); ++k) {
        const STrack& t = list.tracks[k];
        char number[24];
        std::snprintf(number, sizeof number, "%02zu", k + 1);
        text += std::string("  TRACK ") + number + " AUDIO\n";
        if (!t.title.empty())
            text += "    TITLE " + Quoted(t.title) + "\n";
        if (!t.performer.empty())
            text += "    PERFORMER " + Quoted(t.performer) + "\n";
        text += "    INDEX 01 " + Msf(t.start) + "\n";
    }
    return text;
}

bool WriteTextFile(const std::string& path, const std::string& text, bool replace, std::string* reason)
{
    std::error_code ec;
    if (!replace && fs::exists(fs::symlink_status(path, ec))) {
        *reason = "cannot write " + path + ": the file exists";
        return false;
    }
    COutputFile out;
    out.SetTarget(path, replace);
    if (!out.Create(reason))
        return false;
    for (std::size_t done = 0; done < text.size();) {
        const ssize_t n = ::write(out.Fd(), text.data() + done, text.size() - done);
        if (n < 0) {
            *reason = "cannot write " + path + ": " + std::strerror(errno);
            out.Discard();
            return false;
        }
        done += std::size_t(n);
    }
    return out.Commit(reason);
}

bool WriteCueSheet(const std::string& path, const STrackList& list, const std::string& sourcePath, bool replace,
                   std::string* reason)
{
    if (list.tracks.size() > 99) {
        *reason = "cannot write " + path + ": a cue sheet holds at most 99 tracks, not "
                  + std::to_string(list.tracks.size());
        return false;
    }
    return WriteTextFile(path, CueSheetText(list, sourcePath), replace, reason);
}
