// Label files: "start<TAB>end<TAB>title" per line, seconds with decimals.

#include "LabelFile.h"

#include "CueSheet.h"
#include "media/graph/TimeText.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

// Seconds with decimals ("12.5", "0", "3605.123456"); -1 when not that.
REFERENCE_TIME ParseSeconds(const std::string& text)
{
    if (text.empty() || text.find_first_not_of("0123456789.,") != std::string::npos)
        return -1;
    std::string dotted = text;
    for (char& c : dotted)
        if (c == ',')
            c = '.'; // editors in some locales write a decimal comma
    char* end = nullptr;
    const double seconds = std::strtod(dotted.c_str(), &end);
    if (end != dotted.c_str() + dotted.size() || !std::isfinite(seconds) || seconds > 1e7)
        return -1;
    return static_cast<REFERENCE_TIME>(std::llround(seconds * 1e7));
}

LabelReadResult Fail(const std::string& name, int line, const std::string& why)
{
    LabelReadResult result;
    result.error = name + " line " + std::to_string(line) + ": " + why;
    return result;
}

} // namespace

LabelReadResult ParseLabels(const std::string& bytes, const std::string& name, REFERENCE_TIME duration)
{
    const std::string text = CueTextToUtf8(bytes);
    LabelReadResult result;
    std::istringstream in(text);
    std::string line;
    int number = 0;
    std::vector<int> lines;
    std::vector<bool> points;
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.find_first_not_of(" \t") == std::string::npos)
            continue;
        // Frequency-range lines (a backslash, a tab, low, a tab, high) that editors add under a label are skipped.
        if (line[0] == '\\')
            continue;
        const std::size_t tab1 = line.find('\t');
        const std::size_t tab2 = tab1 == std::string::npos ? tab1 : line.find('\t', tab1 + 1);
        const REFERENCE_TIME start = ParseSeconds(line.substr(0, tab1));
        const REFERENCE_TIME end =
            tab1 == std::string::npos ? -1 : ParseSeconds(line.substr(tab1 + 1, tab2 == std::string::npos ? std::string::npos : tab2 - tab1 - 1));
        if (start < 0 || end < 0)
            return Fail(name, number, "not a label (start<TAB>end<TAB>title, in seconds)");
        if (end < start)
            return Fail(name, number, "the label ends before it starts");
        if (start >= duration)
            return Fail(name, number, "the label starts at " + FormatClockMs(start) + ", past the end ("
                                          + FormatClockMs(duration) + ")");
        if (!result.list.tracks.empty() && start < result.list.tracks.back().start + (points.back() ? 1 : 0))
            return Fail(name, number, "the label starts before the one on line " + std::to_string(lines.back()));
        if (!result.list.tracks.empty() && !points.back() && start < result.list.tracks.back().end)
            return Fail(name, number, "the label starts before the one on line " + std::to_string(lines.back())
                                          + " ends");
        STrack track;
        track.start = start;
        track.end = std::min(end, duration);
        track.title = tab2 == std::string::npos ? std::string() : line.substr(tab2 + 1);
        result.list.tracks.push_back(track);
        lines.push_back(number);
        points.push_back(end == start);
    }
    if (result.list.tracks.empty()) {
        result.error = name + ": holds no label";
        return result;
    }
    // A point label runs to the next label, the last to the end.
    auto& tracks = result.list.tracks;
    for (std::size_t k = 0; k < tracks.size(); ++k)
        if (points[k])
            tracks[k].end = k + 1 < tracks.size() ? tracks[k + 1].start : duration;
    result.ok = true;
    return result;
}

LabelReadResult ReadLabelFile(const std::string& path, REFERENCE_TIME duration)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        LabelReadResult result;
        result.error = path + ": cannot be opened";
        return result;
    }
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return ParseLabels(bytes.str(), path, duration);
}

std::string LabelText(const STrackList& list)
{
    std::string text;
    char buffer[64];
    for (const STrack& t : list.tracks) {
        std::snprintf(buffer, sizeof buffer, "%.6f\t%.6f\t", double(t.start) / 1e7, double(t.end) / 1e7);
        text += buffer + t.title + "\n";
    }
    return text;
}

bool WriteLabelFile(const std::string& path, const STrackList& list, bool replace, std::string* reason)
{
    return WriteTextFile(path, LabelText(list), replace, reason);
}
