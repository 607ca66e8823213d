// Cue sheets before libcue: the text's encoding, and a pass of our own over
// the lines that knows where each TRACK, INDEX 01 and FILE stands, so that
// every fault is told with its line.

#include "CueSheet.h"
#include "CueSheetLines.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <sstream>

namespace {

std::string Upper(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return char(std::toupper(c)); });
    return s;
}

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

} // namespace

namespace cue_sheet {

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

} // namespace cue_sheet

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
