// Cue sheets written by hand, and text files written complete or not at all.

#include "CueSheet.h"
#include "CueSheetLines.h"

#include "media/filters/OutputFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include <unistd.h>

namespace fs = std::filesystem;

using cue_sheet::Lower;

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
    const std::string file = fs::path(sourcePath).filename().string();
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
