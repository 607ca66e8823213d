#pragma once
// The tags one file carries, as ID3v2 frames held by TagLib: the source's
// frames as they were read (whatever container they came from), or what a
// piece or a merged file is to carry. Values are copied as frames, so a
// frame this program does not know (a private frame, lyrics, a rating)
// travels unchanged.

#include "TagFields.h"

#include <memory>
#include <string>
#include <vector>

namespace TagLib::ID3v2 {
class Tag;
}

namespace tags {

class CTagSet {
public:
    CTagSet();
    // Takes over TagLib's frames (the module's reading).
    explicit CTagSet(std::unique_ptr<TagLib::ID3v2::Tag> frames);
    ~CTagSet();
    CTagSet(const CTagSet& other);
    CTagSet& operator=(const CTagSet& other);
    CTagSet(CTagSet&&) noexcept;
    CTagSet& operator=(CTagSet&&) noexcept;

    bool Empty() const;
    // The frame ids, in order (for the probe and the tests).
    std::vector<std::string> FrameIds() const;

    // The field's text ("" when it is not there); several values are joined
    // with " / ".
    std::string Get(TagField field) const;
    // Sets the field; "" removes it.
    void Set(TagField field, const std::string& value);
    void Apply(const TagEdits& edits);

    std::vector<TagPicture> Pictures() const;
    // The front cover, else the first picture.
    std::optional<TagPicture> Cover() const;
    // Replaces every picture with `cover` (none: no picture).
    void SetCover(const std::optional<TagPicture>& cover);

    // The chapters in the order of the top-level table of contents (by start
    // time where there is none).
    std::vector<TagChapter> Chapters() const;
    // Replaces the chapters and tables of contents: one ordered top-level
    // table over `chapters`, each with its title. Empty: none.
    void SetChapters(const std::vector<TagChapter>& chapters);

    // The tags of the stretch [startMs, endMs) of the file these describe:
    // what would be false for it is dropped (seek and timing tables, volume
    // adjustments, gain values, the source's gapless note), a length frame
    // tells the stretch's, and chapters are cut to it and moved to its own
    // time.
    CTagSet ForStretch(std::int64_t startMs, std::int64_t endMs) const;

    // TagLib's tag, for the module's reading and writing.
    TagLib::ID3v2::Tag& Frames();
    const TagLib::ID3v2::Tag& Frames() const;

private:
    std::unique_ptr<TagLib::ID3v2::Tag> m_tag;
};

} // namespace tags
