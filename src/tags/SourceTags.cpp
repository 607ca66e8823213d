#include "SourceTags.h"

#include "TagLibText.h"

#include <taglib/apetag.h>
#include <taglib/fileref.h>
#include <taglib/id3v1tag.h>
#include <taglib/id3v2header.h>
#include <taglib/mpegfile.h>
#include <taglib/tpropertymap.h>
#include <taglib/wavfile.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <fstream>

namespace tags {
namespace {

namespace ID3v2 = TagLib::ID3v2;

std::string Head(const std::string& path, std::size_t bytes)
{
    std::ifstream in(path, std::ios::binary);
    std::string head(bytes, '\0');
    in.read(head.data(), static_cast<std::streamsize>(bytes));
    head.resize(static_cast<std::size_t>(std::max<std::streamsize>(0, in.gcount())));
    return head;
}

bool StartsWith(const std::string& text, const char* prefix)
{
    return text.compare(0, std::strlen(prefix), prefix) == 0;
}

std::string LowerExtension(const std::string& path)
{
    const auto slash = path.rfind('/');
    const auto dot = path.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return {};
    std::string ext = path.substr(dot + 1);
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return ext;
}

// Whether the tag header found at the start of a tag, as TagLib reads it,
// stands for a tag this program carries; why not otherwise.
std::string HeaderProblem(const ID3v2::Header& header)
{
    if (header.majorVersion() < 2 || header.majorVersion() > 4)
        return "its ID3v2 tag is of version 2." + std::to_string(header.majorVersion())
               + ", which TagLib does not read";
    if (header.tagSize() == 0)
        return "its ID3v2 tag is damaged";
    if (header.completeTagSize() > kMaxTagBytes)
        return "its ID3v2 tag is larger than 16 MiB";
    return {};
}

// A tag with a sound header of which TagLib read no frame: damaged, unless
// its body is padding only.
bool BodyIsPadding(const std::string& path, std::int64_t offset, std::int64_t bytes)
{
    std::ifstream in(path, std::ios::binary);
    in.seekg(offset);
    std::string body(static_cast<std::size_t>(std::clamp<std::int64_t>(bytes, 0, kMaxTagBytes)), '\0');
    in.read(body.data(), static_cast<std::streamsize>(body.size()));
    return std::all_of(body.begin(), body.begin() + in.gcount(), [](char c) { return c == 0; });
}

// Adds the fields of another tag (ID3v1, APE, RIFF INFO, ...) that the
// frames lack.
void AddMissing(CTagSet& tags, const TagLib::PropertyMap& other)
{
    const TagLib::PropertyMap have = tags.Frames().properties();
    for (const auto& [key, values] : other) {
        if (have.contains(key) || values.isEmpty())
            continue;
        if (ID3v2::Frame* frame = ID3v2::Frame::createTextualFrame(key, values))
            tags.Frames().addFrame(frame);
    }
}

void TakeId3v2(SourceTags& out, const ID3v2::Tag& tag, const std::string& path, std::int64_t offset)
{
    const ID3v2::Header& header = *tag.header();
    out.problem = HeaderProblem(header);
    if (out.problem.empty() && tag.frameList().isEmpty() && !BodyIsPadding(path, offset + 10, header.tagSize()))
        out.problem = "its ID3v2 tag is damaged";
    if (out.problem.empty())
        out.tags = CTagSet(CopyOfFrames(tag));
}

SourceTags ReadMpeg(const std::string& path, const std::string& head)
{
    SourceTags out;
    // The header is judged before TagLib reads the tag it announces.
    if (StartsWith(head, "ID3")) {
        const ID3v2::Header header(TagLib::ByteVector(head.data(), 10));
        if (std::string problem = HeaderProblem(header); !problem.empty()) {
            out.problem = std::move(problem);
            return out;
        }
    }
    TagLib::MPEG::File file(path.c_str(), false);
    if (!file.isValid())
        return out;
    if (file.hasID3v2Tag()) {
        TakeId3v2(out, *file.ID3v2Tag(), path, 0);
        if (!out.problem.empty())
            return out;
    }
    out.hadId3v1 = file.hasID3v1Tag();
    if (out.hadId3v1)
        AddMissing(out.tags, file.ID3v1Tag()->properties());
    if (file.hasAPETag())
        AddMissing(out.tags, file.APETag()->properties());
    return out;
}

SourceTags ReadWav(const std::string& path)
{
    SourceTags out;
    UseUtf8InfoText();
    TagLib::RIFF::WAV::File file(path.c_str(), false);
    if (!file.isValid())
        return out;
    if (file.hasID3v2Tag()) {
        // TagLib does not say where the chunk is; a damaged one it read no
        // frame of is told by its header.
        const ID3v2::Tag& tag = *file.ID3v2Tag();
        out.problem = HeaderProblem(*tag.header());
        if (out.problem.empty() && tag.frameList().isEmpty() && tag.header()->tagSize() > 0)
            out.problem = "its ID3v2 tag is damaged";
        if (!out.problem.empty())
            return out;
        out.tags = CTagSet(CopyOfFrames(tag));
    }
    if (file.hasInfoTag())
        AddMissing(out.tags, file.InfoTag()->properties());
    return out;
}

} // namespace

SourceTags ReadSourceTags(const std::string& path)
{
    const std::string head = Head(path, 12);
    if (head.size() == 12 && StartsWith(head, "RIFF") && head.compare(8, 4, "WAVE") == 0)
        return ReadWav(path);
    if (StartsWith(head, "RF64"))
        return {}; // TagLib reads no RF64 file
    const std::string ext = LowerExtension(path);
    const bool mpeg = StartsWith(head, "ID3")
                      || (head.size() >= 2 && static_cast<unsigned char>(head[0]) == 0xFF
                          && (static_cast<unsigned char>(head[1]) & 0xE0) == 0xE0)
                      || ext == "mp3" || ext == "mp2" || ext == "mpga";
    if (mpeg)
        return ReadMpeg(path, head);
    // Any other container TagLib knows: its fields, no pictures or chapters.
    SourceTags out;
    const TagLib::FileRef file(path.c_str(), false);
    if (!file.isNull() && file.tag())
        AddMissing(out.tags, file.tag()->properties());
    return out;
}

std::string TagProblemText(const std::string& path, const std::string& problem)
{
    return "cannot read the tags of " + path + " (" + problem + ")";
}

} // namespace tags
