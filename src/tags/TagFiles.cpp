#include "TagFiles.h"

#include "SourceTags.h"
#include "TagLibText.h"

#include <taglib/id3v1tag.h>
#include <taglib/id3v2header.h>
#include <taglib/infotag.h>
#include <taglib/mpegfile.h>
#include <taglib/wavfile.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sys/stat.h>

namespace tags {
namespace {

namespace ID3v2 = TagLib::ID3v2;

// A RIFF file counts its size in 32 bits.
constexpr std::int64_t kMaxRiffBytes = 0xFFFFFFFFll;

std::int64_t FileSize(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? static_cast<std::int64_t>(info.st_size) : -1;
}

std::string ReadHead(const std::string& path, std::size_t bytes)
{
    std::ifstream in(path, std::ios::binary);
    std::string head(bytes, '\0');
    in.read(head.data(), static_cast<std::streamsize>(bytes));
    head.resize(static_cast<std::size_t>(in.gcount()));
    return head;
}

// Bytes of the ID3v2 tag that opens the file (0 when none).
std::int64_t LeadingTagBytes(const std::string& path)
{
    const std::string head = ReadHead(path, 10);
    if (head.size() < 10 || head.compare(0, 3, "ID3") != 0)
        return 0;
    return ID3v2::Header(TagLib::ByteVector(head.data(), 10)).completeTagSize();
}

// What a Latin-1 field (ID3v1) can hold of `text`.
TagLib::String Latin1(const std::string& text)
{
    TagLib::String value = Text(text);
    for (auto it = value.begin(); it != value.end(); ++it)
        if (static_cast<unsigned int>(*it) > 0xFF)
            *it = L'?';
    return value;
}

unsigned int LeadingNumber(const std::string& text)
{
    unsigned int number = 0;
    for (char c : text) {
        if (c < '0' || c > '9' || number > 99999)
            break;
        number = number * 10 + static_cast<unsigned int>(c - '0');
    }
    return number;
}

// The fields every tag kind has, from `tags` into `target`; `text` makes
// what the target can hold of a value.
void CopyBasicFields(const CTagSet& tags, TagLib::Tag& target, TagLib::String (*text)(const std::string&))
{
    target.setTitle(text(tags.Get(TagField::Title)));
    target.setArtist(text(tags.Get(TagField::Artist)));
    target.setAlbum(text(tags.Get(TagField::Album)));
    target.setComment(text(tags.Get(TagField::Comment)));
    target.setGenre(text(tags.Get(TagField::Genre)));
    target.setYear(LeadingNumber(tags.Get(TagField::Year)));
    target.setTrack(LeadingNumber(tags.Get(TagField::Track)));
}

// Moves copies of every frame of `tags` into `target`, which is emptied first.
void PutFrames(const CTagSet& tags, ID3v2::Tag& target)
{
    for (ID3v2::Frame* frame : FramesOf(target.frameList()))
        target.removeFrame(frame);
    const std::unique_ptr<ID3v2::Tag> copy = CopyOfFrames(tags.Frames());
    for (ID3v2::Frame* frame : FramesOf(copy->frameList())) {
        copy->removeFrame(frame, false);
        target.addFrame(frame);
    }
}

std::string CannotWrite(const std::string& path, const std::string& why)
{
    return "cannot write the tags of " + path + ": " + why;
}

} // namespace

std::string RenderId3v2(const CTagSet& tags)
{
    if (tags.Empty())
        return {};
    return Bytes(tags.Frames().render(ID3v2::v3));
}

std::string RenderId3v1(const CTagSet& tags)
{
    if (tags.Empty())
        return {};
    TagLib::ID3v1::Tag tag;
    CopyBasicFields(tags, tag, Latin1);
    return Bytes(tag.render());
}

std::string WriteWavTags(const std::string& path, const CTagSet& tags, std::string* skipped)
{
    skipped->clear();
    if (tags.Empty())
        return {};
    if (ReadHead(path, 4) == "RF64") {
        *skipped = "a WAV file over 4 GiB (RF64) is written without tags";
        return {};
    }
    const std::int64_t before = FileSize(path);
    // The chunks are about the size of the ID3v2 tag and the INFO fields.
    const std::int64_t chunks = static_cast<std::int64_t>(RenderId3v2(tags).size()) + 4096;
    if (before < 0 || before + chunks > kMaxRiffBytes) {
        *skipped = "a WAV file this close to 4 GiB has no room for tags";
        return {};
    }
    std::size_t frames = 0;
    UseUtf8InfoText();
    {
        TagLib::RIFF::WAV::File file(path.c_str(), false);
        if (!file.isValid())
            return CannotWrite(path, "TagLib does not read the WAV file");
        PutFrames(tags, *file.ID3v2Tag());
        frames = file.ID3v2Tag()->frameList().size();
        CopyBasicFields(tags, *file.InfoTag(), Text);
        if (!file.save(TagLib::RIFF::WAV::File::AllTags, TagLib::File::StripOthers, ID3v2::v3))
            return CannotWrite(path, "TagLib could not save them");
    }
    // TagLib does not tell a write that failed half way (a full disk): the
    // file must read back whole, with its audio and every frame.
    TagLib::RIFF::WAV::File check(path.c_str(), false);
    if (!check.isValid() || !check.hasID3v2Tag() || check.ID3v2Tag()->frameList().size() != frames
        || FileSize(path) < before)
        return CannotWrite(path, "the file did not read back whole (is the disk full?)");
    return {};
}

std::string RewriteMp3Tag(const std::string& path, const CTagSet& tags)
{
    const std::int64_t audio = FileSize(path) - LeadingTagBytes(path);
    std::size_t frames = 0;
    {
        TagLib::MPEG::File file(path.c_str(), false);
        if (!file.isValid())
            return CannotWrite(path, "TagLib does not read the MP3 file");
        PutFrames(tags, *file.ID3v2Tag(true));
        frames = file.ID3v2Tag()->frameList().size();
        if (!file.save(TagLib::MPEG::File::ID3v2, TagLib::File::StripNone, ID3v2::v3, TagLib::File::DoNotDuplicate))
            return CannotWrite(path, "TagLib could not save them");
    }
    TagLib::MPEG::File check(path.c_str(), false);
    const std::size_t readBack = check.hasID3v2Tag() ? check.ID3v2Tag()->frameList().size() : 0;
    if (!check.isValid() || readBack != frames || FileSize(path) - LeadingTagBytes(path) != audio)
        return CannotWrite(path, "the file did not read back whole (is the disk full?)");
    return {};
}

bool ReadPictureFile(const std::string& path, TagPicture* picture, std::string* reason)
{
    const std::int64_t size = FileSize(path);
    std::ifstream in(path, std::ios::binary);
    if (size < 0 || !in) {
        *reason = "cannot read the picture " + path + ": " + std::strerror(errno ? errno : ENOENT);
        return false;
    }
    if (size > kMaxTagBytes) {
        *reason = "the picture " + path + " is larger than 16 MiB";
        return false;
    }
    std::string data(static_cast<std::size_t>(size), '\0');
    in.read(data.data(), static_cast<std::streamsize>(data.size()));
    if (in.gcount() != static_cast<std::streamsize>(data.size())) {
        *reason = "cannot read the picture " + path;
        return false;
    }
    static const std::string jpeg("\xFF\xD8\xFF", 3), png("\x89PNG\r\n\x1A\n", 8);
    std::string mime;
    if (data.compare(0, jpeg.size(), jpeg) == 0)
        mime = "image/jpeg";
    else if (data.compare(0, png.size(), png) == 0)
        mime = "image/png";
    if (mime.empty()) {
        *reason = path + " is not a JPEG or PNG picture";
        return false;
    }
    *picture = TagPicture{mime, std::move(data), {}, true};
    return true;
}

} // namespace tags
