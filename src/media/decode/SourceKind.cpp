#include "media/decode/SourceKind.h"

#include "media/decode/FileBytes.h"
#include "media/decode/MpegFrames.h"
#include "media/graph/UniqueFd.h"

#include <sndfile.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <memory>
#include <optional>

namespace {

bool NameEndsInMp3(const std::string& path)
{
    const std::string suffix = ".mp3";
    if (path.size() < suffix.size())
        return false;
    return std::equal(suffix.begin(), suffix.end(), path.end() - std::ptrdiff_t(suffix.size()),
                      [](char a, char b) { return a == std::tolower(static_cast<unsigned char>(b)); });
}

// The signatures of the containers libsndfile reads that begin with one.
bool SoundFileSignatureAt(FileBytes& file, std::int64_t at)
{
    const unsigned char* head = file.At(at, 12);
    if (!head)
        return false;
    auto is = [head](std::size_t offset, const char* text) {
        return std::memcmp(head + offset, text, std::strlen(text)) == 0;
    };
    if (is(0, "RIFF") || is(0, "RIFX") || is(0, "RF64") || is(0, "BW64"))
        return is(8, "WAVE");
    return is(0, "FORM")    // AIFF, AIFC, 8SVX
           || is(0, "fLaC") || is(0, "OggS") || is(0, "caff")
           || is(0, ".snd") || is(0, "dns.") // AU, either byte order
           || is(0, "riff");                 // Sony Wave64
}

struct SndfileCloser {
    void operator()(SNDFILE* file) const { sf_close(file); }
};

// The formats without a signature above (VOC, NIST, IRCAM, ...) are left to
// libsndfile. It reads MPEG audio too, which then goes to libmpg123.
std::optional<SourceKind> AskLibsndfile(int fd)
{
    SF_INFO info{};
    std::unique_ptr<SNDFILE, SndfileCloser> file(sf_open_fd(fd, SFM_READ, &info, SF_FALSE));
    if (!file)
        return std::nullopt;
    return (info.format & SF_FORMAT_TYPEMASK) == SF_FORMAT_MPEG ? SourceKind::MpegAudio : SourceKind::SoundFile;
}

} // namespace

SourceKind DetectSourceKind(const std::string& path)
{
    const SourceKind byName = NameEndsInMp3(path) ? SourceKind::MpegAudio : SourceKind::SoundFile;
    long long size = 0;
    UniqueFd fd = OpenForReading(path, nullptr, &size);
    if (!fd)
        return byName;
    FileBytes file(fd.Get(), size);
    if (SoundFileSignatureAt(file, 0))
        return SourceKind::SoundFile;
    const std::int64_t audioStart = SkipLeadingId3v2(file);
    if (audioStart > 0 && SoundFileSignatureAt(file, audioStart))
        return SourceKind::SoundFile;
    if (FindFirstMpegFrame(file, audioStart, kMpegJunkSearchBytes) >= 0)
        return SourceKind::MpegAudio;
    if (const auto kind = AskLibsndfile(fd.Get()))
        return *kind;
    return byName;
}
