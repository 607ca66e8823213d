#include "OutputTags.h"

#include "TagFiles.h"

namespace tags {

CTagSet PieceTags(const SourceTags& source, std::int64_t startMs, std::int64_t endMs, const TagEdits& edits)
{
    CTagSet piece = source.problem.empty() ? source.tags.ForStretch(startMs, endMs) : CTagSet();
    piece.Apply(edits);
    return piece;
}

std::string FileStem(const std::string& path)
{
    const auto slash = path.rfind('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (const auto dot = name.rfind('.'); dot != std::string::npos && dot > 0)
        name.resize(dot);
    return name;
}

std::string ChapterTitleOf(const MergeInput& input)
{
    std::string title = input.tags.tags.Get(TagField::Title);
    return title.empty() ? FileStem(input.path) : title;
}

bool MergedTags(const std::vector<MergeInput>& inputs, const MergeTagChoices& choices,
                const std::string& outputPath, CTagSet* merged, std::string* reason)
{
    *merged = CTagSet();
    if (!choices.write)
        return true;
    CTagSet& out = *merged;
    const CTagSet none;
    const CTagSet& first = inputs.empty() ? none : inputs.front().tags.tags;
    const std::string album = first.Get(TagField::Album);
    const std::string albumArtist = first.Get(TagField::AlbumArtist);
    out.Set(TagField::Title, album.empty() ? FileStem(outputPath) : album);
    out.Set(TagField::Album, album);
    out.Set(TagField::Artist, albumArtist.empty() ? first.Get(TagField::Artist) : albumArtist);
    out.Set(TagField::AlbumArtist, albumArtist);
    out.Set(TagField::Year, first.Get(TagField::Year));
    out.Set(TagField::Genre, first.Get(TagField::Genre));

    std::optional<TagPicture> cover;
    switch (choices.cover.from) {
    case CoverChoice::From::FirstInput:
        cover = first.Cover();
        break;
    case CoverChoice::From::Input: {
        const SourceTags source = ReadSourceTags(choices.cover.path);
        cover = source.tags.Cover();
        if (!cover) {
            *reason = choices.cover.path + " holds no picture to take as the cover";
            return false;
        }
        break;
    }
    case CoverChoice::From::PictureFile: {
        TagPicture picture;
        if (!ReadPictureFile(choices.cover.path, &picture, reason))
            return false;
        cover = std::move(picture);
        break;
    }
    case CoverChoice::From::None:
        break;
    }
    out.SetCover(cover);

    if (choices.chapters) {
        std::vector<TagChapter> chapters;
        for (const MergeInput& input : inputs)
            chapters.push_back({input.startMs, input.endMs, ChapterTitleOf(input)});
        out.SetChapters(chapters);
    }
    out.Apply(choices.edits);
    // A merged file always has a title: emptied, it is the file's name.
    if (out.Get(TagField::Title).empty())
        out.Set(TagField::Title, FileStem(outputPath));
    return true;
}

} // namespace tags
