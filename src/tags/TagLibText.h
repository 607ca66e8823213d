#pragma once
// The tags module's own bridge to TagLib: text and bytes between TagLib's
// types and ours, and whole tags copied through their rendered form (the one
// way TagLib copies a frame of any kind, known or not).

#include <taglib/id3v2tag.h>
#include <taglib/tbytevector.h>
#include <taglib/tstring.h>

#include <memory>
#include <string>
#include <vector>

namespace tags {

inline std::string Utf8(const TagLib::String& text)
{
    return text.to8Bit(true);
}

inline TagLib::String Text(const std::string& utf8)
{
    return TagLib::String(utf8, TagLib::String::UTF8);
}

inline std::string Bytes(const TagLib::ByteVector& bytes)
{
    return std::string(bytes.data(), bytes.size());
}

// The frames of a TagLib frame list, as plain pointers. A copy of a
// FrameList itself must not be kept while its tag changes: it shares the
// tag's list, which owns the frames, and would delete them all when the
// copy goes.
inline std::vector<TagLib::ID3v2::Frame*> FramesOf(const TagLib::ID3v2::FrameList& list)
{
    return {list.begin(), list.end()};
}

// RIFF INFO text is read as UTF-8 where it is valid UTF-8 (as current tools
// write it), else as Latin-1, and written as UTF-8. Set once for the
// process before any WAV file is opened.
void UseUtf8InfoText();

// A new tag holding copies of every frame of `tag`, as ID3v2.4 frames.
std::unique_ptr<TagLib::ID3v2::Tag> CopyOfFrames(const TagLib::ID3v2::Tag& tag);
// The frames of the ID3v2 tag `rendered` (a whole tag, header first) as a
// new tag of ID3v2.4 frames; empty when it holds none.
std::unique_ptr<TagLib::ID3v2::Tag> FramesOfRenderedTag(const TagLib::ByteVector& rendered);

} // namespace tags
