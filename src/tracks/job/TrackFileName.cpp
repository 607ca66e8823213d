// The file names of the tracks job's pieces, made from a name template and
// each track's title and performer.

#include "TracksJob.h"

#include <algorithm>
#include <cstring>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

// The longest name a piece gets, in bytes (file systems allow 255).
constexpr std::size_t kMaxNameBytes = 200;

bool IsUtf8Continuation(unsigned char c)
{
    return (c & 0xC0) == 0x80;
}

std::string SafeNamePart(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        const bool bad = c < 0x20 || c == 0x7F || std::strchr("/\\:*?\"<>|", ch) != nullptr;
        out += bad ? '_' : ch;
    }
    return out;
}

std::string Trimmed(std::string text)
{
    const auto notSpace = [](unsigned char c) { return c != ' ' && c != '.'; };
    while (!text.empty() && text.front() == ' ')
        text.erase(text.begin());
    while (!text.empty() && !notSpace(static_cast<unsigned char>(text.back())))
        text.pop_back();
    return text;
}

} // namespace

std::string TrackFileName(const std::string& nameTemplate, const STrack& track, int n, int count,
                          const std::string& sourcePath, bool mp3Output)
{
    const std::string source = fs::path(sourcePath).stem().string();
    const std::size_t width = std::to_string(std::max(count, 1)).size();
    std::string number = std::to_string(n);
    if (number.size() < width)
        number.insert(0, width - number.size(), '0');
    const std::string& pattern = nameTemplate.empty() ? std::string(kDefaultTrackNameTemplate) : nameTemplate;
    std::string name;
    for (std::size_t i = 0; i < pattern.size();) {
        auto field = [&](const char* key) { return pattern.compare(i, std::strlen(key), key) == 0; };
        if (field("{n}")) {
            name += number;
            i += 3;
        } else if (field("{title}")) {
            name += SafeNamePart(track.title.empty() ? source : track.title);
            i += 7;
        } else if (field("{performer}")) {
            name += SafeNamePart(track.performer);
            i += 11;
        } else if (field("{source}")) {
            name += SafeNamePart(source);
            i += 8;
        } else {
            name += SafeNamePart(std::string(1, pattern[i]));
            ++i;
        }
    }
    name = Trimmed(name);
    if (name.size() > kMaxNameBytes) {
        std::size_t cut = kMaxNameBytes;
        while (cut > 0 && IsUtf8Continuation(static_cast<unsigned char>(name[cut])))
            --cut;
        name = Trimmed(name.substr(0, cut));
    }
    if (name.empty() || name == "." || name == "..")
        name = number;
    return name + (mp3Output ? ".mp3" : ".wav");
}
