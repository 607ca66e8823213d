#include "TagLibText.h"

#include <taglib/id3v2framefactory.h>
#include <taglib/infotag.h>
#include <taglib/mpegfile.h>
#include <taglib/tbytevectorstream.h>

#include <mutex>

namespace tags {
namespace {

bool IsUtf8(const TagLib::ByteVector& bytes)
{
    int follow = 0;
    for (const char byte : bytes) {
        const auto c = static_cast<unsigned char>(byte);
        if (follow > 0) {
            if ((c & 0xC0) != 0x80)
                return false;
            --follow;
        } else if (c >= 0xF0 && c <= 0xF4) {
            follow = 3;
        } else if (c >= 0xE0) {
            follow = c <= 0xEF ? 2 : -1;
        } else if (c >= 0xC2) {
            follow = 1;
        } else if (c >= 0x80) {
            return false;
        }
        if (follow < 0)
            return false;
    }
    return follow == 0;
}

class CInfoText final : public TagLib::RIFF::Info::StringHandler {
public:
    TagLib::String parse(const TagLib::ByteVector& data) const override
    {
        const TagLib::ByteVector text = data.find('\0') >= 0 ? data.mid(0, static_cast<unsigned int>(data.find('\0'))) : data;
        return TagLib::String(text, IsUtf8(text) ? TagLib::String::UTF8 : TagLib::String::Latin1);
    }
    TagLib::ByteVector render(const TagLib::String& text) const override { return text.data(TagLib::String::UTF8); }
};

} // namespace

void UseUtf8InfoText()
{
    static CInfoText handler;
    static std::once_flag once;
    std::call_once(once, [] { TagLib::RIFF::Info::Tag::setStringHandler(&handler); });
}

std::unique_ptr<TagLib::ID3v2::Tag> CopyOfFrames(const TagLib::ID3v2::Tag& tag)
{
    if (tag.frameList().isEmpty())
        return std::make_unique<TagLib::ID3v2::Tag>();
    return FramesOfRenderedTag(tag.render(TagLib::ID3v2::v4));
}

std::unique_ptr<TagLib::ID3v2::Tag> FramesOfRenderedTag(const TagLib::ByteVector& rendered)
{
    auto frames = std::make_unique<TagLib::ID3v2::Tag>();
    if (rendered.isEmpty())
        return frames;
    // TagLib parses a tag from a file: a file in memory that is all tag.
    TagLib::ByteVectorStream stream(rendered);
    TagLib::MPEG::File file(&stream, TagLib::ID3v2::FrameFactory::instance(), false);
    TagLib::ID3v2::Tag* read = file.ID3v2Tag();
    if (!read)
        return frames;
    // The frames change owner: the file deletes only what its tag still holds.
    for (TagLib::ID3v2::Frame* frame : FramesOf(read->frameList())) {
        read->removeFrame(frame, false);
        frames->addFrame(frame);
    }
    return frames;
}

} // namespace tags
