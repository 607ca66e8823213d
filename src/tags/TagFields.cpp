#include "TagFields.h"

namespace tags {

const char* TagFieldName(TagField field)
{
    switch (field) {
    case TagField::Title: return "title";
    case TagField::Artist: return "artist";
    case TagField::Album: return "album";
    case TagField::AlbumArtist: return "albumartist";
    case TagField::Year: return "year";
    case TagField::Genre: return "genre";
    case TagField::Track: return "track";
    case TagField::Comment: return "comment";
    }
    return "";
}

std::optional<TagField> TagFieldFromName(const std::string& name)
{
    for (TagField field : kAllTagFields)
        if (name == TagFieldName(field))
            return field;
    return std::nullopt;
}

std::optional<TagEdit> ParseTagEdit(const std::string& text, std::string* reason)
{
    const auto eq = text.find('=');
    if (eq == std::string::npos) {
        *reason = "\"" + text + "\" is not FIELD=VALUE";
        return std::nullopt;
    }
    const std::string name = text.substr(0, eq);
    const std::optional<TagField> field = TagFieldFromName(name);
    if (!field) {
        std::string names;
        for (TagField f : kAllTagFields)
            names += std::string(names.empty() ? "" : ", ") + TagFieldName(f);
        *reason = "\"" + name + "\" is not a tag field (" + names + ")";
        return std::nullopt;
    }
    return TagEdit{*field, text.substr(eq + 1)};
}

} // namespace tags
