#pragma once
// What a person says about an output's tags, in the standard library's
// terms only: the fields they can set, a picture, a chapter, where a merged
// file's cover comes from. The jobs speak it to the pages and the command
// line; the tags module turns it into ID3v2 frames.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tags {

enum class TagField { Title, Artist, Album, AlbumArtist, Year, Genre, Track, Comment };

// Every field, in the order the command line and the probe list them.
inline constexpr TagField kAllTagFields[] = {TagField::Title, TagField::Artist, TagField::Album,
                                             TagField::AlbumArtist, TagField::Year, TagField::Genre,
                                             TagField::Track, TagField::Comment};

// "title", "artist", "album", "albumartist", "year", "genre", "track", "comment".
const char* TagFieldName(TagField field);
std::optional<TagField> TagFieldFromName(const std::string& name);

// One field set by the person: a value (UTF-8), or "" to leave it out.
struct TagEdit {
    TagField field;
    std::string value;
    bool operator==(const TagEdit&) const = default;
};
using TagEdits = std::vector<TagEdit>;

// "FIELD=VALUE" as the command line takes it; none with `reason` when the
// field is not one of the above or the "=" is missing.
std::optional<TagEdit> ParseTagEdit(const std::string& text, std::string* reason);

struct TagPicture {
    std::string mimeType; // "image/jpeg", "image/png"
    std::string data;     // the picture file's bytes
    std::string description;
    bool frontCover = true;
    bool operator==(const TagPicture&) const = default;
};

// A chapter on the output's time line, in milliseconds.
struct TagChapter {
    std::int64_t startMs = 0;
    std::int64_t endMs = 0;
    std::string title;
    bool operator==(const TagChapter&) const = default;
};

// Where a merged file's cover comes from.
struct CoverChoice {
    enum class From {
        FirstInput, // the first input's picture, when it has one
        Input,      // the picture of the audio file `path`
        PictureFile, // the JPEG or PNG file `path`
        None,
    };
    From from = From::FirstInput;
    std::string path;
    bool operator==(const CoverChoice&) const = default;
};

// The tags of a merged file as the person wants them: the first input's
// album fields unless edited, a chapter per input unless turned off.
struct MergeTagChoices {
    bool write = true;    // false: the merged file carries no tags at all
    bool chapters = true; // a chapter for each input
    TagEdits edits{};     // over the fields taken from the first input
    CoverChoice cover{};
};

} // namespace tags
