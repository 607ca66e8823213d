// The tags module on real files tagged by TagLib: what a source gives
// whatever its container, what is refused, what a stretch keeps, what a
// merged file takes, and what is written, read back by TagLib itself.

#include "OutputTags.h"
#include "TagFiles.h"

#include <Fixtures.h>
#include <TagFixtures.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <set>

namespace fs = std::filesystem;
using fixtures::TagStyle;
using tags::TagField;

namespace {

class Tags : public ::testing::Test {
protected:
    // A one-second file of the style's container, tagged.
    fs::path Source(const std::string& name, TagStyle style, const fixtures::TagValues& values = {})
    {
        const fs::path path = dir / name;
        const bool wav = style == TagStyle::WavInfo || style == TagStyle::WavId3AndInfo;
        if (wav)
            fixtures::WriteWav(path, {44100, 2, 44100});
        else
            fixtures::WriteMp3(path, {44100, 2, 44100});
        fixtures::WriteTags(path, style, values);
        return path;
    }

    fixtures::TempDir dir;
};

} // namespace

TEST_F(Tags, EveryContainerGivesItsFields)
{
    struct Case {
        const char* name;
        TagStyle style;
        bool cover, id3v1;
    };
    for (const Case& c : {Case{"v23.mp3", TagStyle::Id3v23, false, false}, Case{"v24.mp3", TagStyle::Id3v24, true, false},
                          Case{"v23v1.mp3", TagStyle::Id3v23AndV1, true, true},
                          Case{"v1.mp3", TagStyle::Id3v1Only, false, true}, Case{"info.wav", TagStyle::WavInfo, false, false},
                          Case{"id3.wav", TagStyle::WavId3AndInfo, true, false}}) {
        SCOPED_TRACE(c.name);
        const tags::SourceTags read = tags::ReadSourceTags(Source(c.name, c.style, {.cover = c.cover}));
        EXPECT_EQ(read.problem, "");
        EXPECT_EQ(read.tags.Get(TagField::Title), "Song Title");
        EXPECT_EQ(read.tags.Get(TagField::Artist), "The Artist");
        EXPECT_EQ(read.tags.Get(TagField::Album), "The Album");
        EXPECT_EQ(read.tags.Get(TagField::Track), "3");
        EXPECT_EQ(read.tags.Get(TagField::Genre), "Rock");
        EXPECT_EQ(read.tags.Cover().has_value(), c.cover);
        EXPECT_EQ(read.hadId3v1, c.id3v1);
    }
    fixtures::WriteMp3(dir / "bare.mp3", {44100, 2, 44100});
    const tags::SourceTags bare = tags::ReadSourceTags(dir / "bare.mp3");
    EXPECT_TRUE(bare.tags.Empty());
    EXPECT_EQ(bare.problem, "");
}

TEST_F(Tags, ATagThatCannotBeReadIsToldAndNotCarried)
{
    struct Case {
        fixtures::TagDamage damage;
        const char* problem;
    };
    for (const Case& c : {Case{fixtures::TagDamage::SizeNotSynchsafe, "damaged"},
                          Case{fixtures::TagDamage::UnknownVersion, "version 2.5"},
                          Case{fixtures::TagDamage::Over16MiB, "larger than 16 MiB"},
                          Case{fixtures::TagDamage::GarbageFrames, "damaged"}}) {
        const fs::path path = Source("song.mp3", TagStyle::Id3v23AndV1);
        fixtures::DamageId3v2(path, c.damage);
        const tags::SourceTags read = tags::ReadSourceTags(path);
        EXPECT_NE(read.problem.find(c.problem), std::string::npos) << read.problem;
        EXPECT_TRUE(read.tags.Empty()) << c.problem;
    }
}

TEST_F(Tags, AStretchDropsWhatWouldBeFalseForItAndKeepsTheRest)
{
    using fixtures::TextFrameBody;
    fixtures::TagValues values;
    values.frames = {{"TLEN", std::string(1, '\0') + "30000"},
                     {"MLLT", std::string(20, '\1')},
                     {"ETCO", std::string("\2\3\0\0\0\1", 6)},
                     {"SYTC", std::string("\2\0\0\0\1", 5)},
                     {"RVA2", std::string("track\0\1\0\0\0", 10)},
                     {"TXXX", TextFrameBody("REPLAYGAIN_TRACK_GAIN", "-6.5 dB")},
                     {"TXXX", TextFrameBody("MOOD", "calm")},
                     {"COMM", std::string("\0eng", 4) + "iTunSMPB" + std::string(1, '\0') + " 00000000 00000210"},
                     {"COMM", std::string("\0eng", 4) + std::string(1, '\0') + "kept"},
                     {"USLT", std::string("\0eng", 4) + std::string(1, '\0') + "la la"},
                     {"PRIV", std::string("owner\0data", 10)}};
    values.chapters = {{0, 10000, "One"}, {10000, 20000, "Two"}, {20000, 30000, "Three"}};
    const tags::SourceTags source = tags::ReadSourceTags(Source("song.mp3", TagStyle::Id3v24, values));
    ASSERT_EQ(source.problem, "");

    const auto sourceIds = source.tags.FrameIds();
    for (const char* there : {"MLLT", "ETCO", "SYTC", "RVA2", "TLEN"})
        ASSERT_EQ(std::count(sourceIds.begin(), sourceIds.end(), there), 1) << there;

    const tags::CTagSet piece = source.tags.ForStretch(12000, 25000);
    std::multiset<std::string> ids;
    for (const std::string& id : piece.FrameIds())
        ids.insert(id);
    for (const char* dropped : {"MLLT", "ETCO", "SYTC", "RVA2"})
        EXPECT_EQ(ids.count(dropped), 0u) << dropped;
    for (const char* kept : {"TIT2", "TPE1", "TALB", "USLT", "PRIV", "TLEN", "CTOC"})
        EXPECT_EQ(ids.count(kept), 1u) << kept;
    EXPECT_EQ(ids.count("TXXX"), 1u) << "the mood stays, the gain goes";
    EXPECT_EQ(ids.count("COMM"), 1u) << "the comment stays, the source's gapless note goes";
    EXPECT_EQ(piece.Get(TagField::Comment), "kept");
    EXPECT_EQ(piece.Chapters(), (std::vector<tags::TagChapter>{{0, 8000, "Two"}, {8000, 13000, "Three"}}));

    // Chapters the stretch does not reach go, with their place in the table.
    struct Case {
        std::int64_t from, to;
        std::vector<tags::TagChapter> chapters;
    };
    for (const Case& c : {Case{0, 10000, {{0, 10000, "One"}}}, Case{9000, 11000, {{0, 1000, "One"}, {1000, 2000, "Two"}}},
                          Case{30000, 40000, {}}}) {
        const tags::CTagSet stretch = source.tags.ForStretch(c.from, c.to);
        EXPECT_EQ(stretch.Chapters(), c.chapters) << c.from << "-" << c.to;
        const auto stretchIds = stretch.FrameIds();
        EXPECT_EQ(std::count(stretchIds.begin(), stretchIds.end(), "CTOC"), c.chapters.empty() ? 0 : 1);
    }
}

TEST_F(Tags, AMergedFileTakesTheFirstInputsAlbumAndThePersonsChoices)
{
    using From = tags::CoverChoice::From;
    fixtures::TagValues first{.title = "One", .cover = true};
    std::vector<tags::MergeInput> inputs{
        {"/x/one.mp3", tags::ReadSourceTags(Source("one.mp3", TagStyle::Id3v23, first)), 0, 1000},
        {"/x/two.mp3", {}, 1000, 2500}};
    const fs::path jpeg = dir / "cover.jpg", text = dir / "notes.txt";
    std::ofstream(jpeg, std::ios::binary) << std::string("\xFF\xD8\xFF\xE0", 4) << "jpeg body";
    std::ofstream(text) << "not a picture";

    struct Case {
        const char* name;
        tags::MergeTagChoices choices;
        std::string title, artist;
        std::size_t coverBytes; // 0: none
        std::size_t chapters;
        const char* failure;
    };
    const std::size_t png = fixtures::PngPicture().size();
    const Case cases[] = {
        {"defaults", {}, "The Album", "The Artist", png, 2, nullptr},
        {"edited", {.edits = {{TagField::Title, "Book"}, {TagField::Album, ""}}}, "Book", "The Artist", png, 2, nullptr},
        {"no chapters, no cover", {.chapters = false, .cover = {From::None, {}}}, "The Album", "The Artist", 0, 0, nullptr},
        {"cover from a file", {.cover = {From::PictureFile, jpeg.string()}}, "The Album", "The Artist", 13, 2, nullptr},
        {"not a picture", {.cover = {From::PictureFile, text.string()}}, "", "", 0, 0, "not a JPEG or PNG"},
        {"no such picture", {.cover = {From::PictureFile, (dir / "none.png").string()}}, "", "", 0, 0, "cannot read"},
        {"an input without one", {.cover = {From::Input, (dir / "one.mp3").string()}}, "The Album", "The Artist", png, 2,
         nullptr},
        {"no tags at all", {.write = false}, "", "", 0, 0, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        tags::CTagSet merged;
        std::string reason;
        ASSERT_EQ(tags::MergedTags(inputs, c.choices, "/x/Book.mp3", &merged, &reason), c.failure == nullptr);
        if (c.failure) {
            EXPECT_NE(reason.find(c.failure), std::string::npos) << reason;
            continue;
        }
        EXPECT_EQ(merged.Get(TagField::Title), c.title);
        EXPECT_EQ(merged.Get(TagField::Artist), c.artist);
        EXPECT_EQ(merged.Cover() ? merged.Cover()->data.size() : 0, c.coverBytes);
        EXPECT_EQ(merged.Chapters().size(), c.chapters);
    }
    // The title falls back to the output's name; a chapter to its input's.
    inputs.front().tags = {};
    tags::CTagSet merged;
    std::string reason;
    ASSERT_TRUE(tags::MergedTags(inputs, {}, "/x/Book.mp3", &merged, &reason));
    EXPECT_EQ(merged.Get(TagField::Title), "Book");
    EXPECT_EQ(merged.Chapters(), (std::vector<tags::TagChapter>{{0, 1000, "one"}, {1000, 2500, "two"}}));
}

TEST_F(Tags, WhatIsWrittenReadsBackWholeInTagLib)
{
    tags::CTagSet written;
    const std::string longTitle(300, 'x'); // a chapter's frames past 127 bytes: sizes differ in 2.3 and 2.4
    written.Set(TagField::Title, "Ünïcødé 歌");
    written.Set(TagField::Artist, "The Artist");
    written.SetCover(tags::TagPicture{"image/png", fixtures::PngPicture(), {}, true});
    written.SetChapters({{0, 500, longTitle}, {500, 1000, "Zwei"}});

    // MP3: the rendered ID3v2.3 tag in front of the audio, ID3v1 behind it.
    const fs::path mp3 = dir / "out.mp3";
    fixtures::WriteMp3(dir / "audio.mp3", {44100, 2, 44100});
    std::ifstream audio(dir / "audio.mp3", std::ios::binary);
    std::ofstream(mp3, std::ios::binary) << tags::RenderId3v2(written) << audio.rdbuf() << tags::RenderId3v1(written);
    const fixtures::TagsRead fromMp3 = fixtures::ReadTagsBack(mp3);
    EXPECT_EQ(fromMp3.id3v2Version, 3);
    EXPECT_TRUE(fromMp3.id3v1);
    EXPECT_EQ(fromMp3.title, "Ünïcødé 歌");
    EXPECT_EQ(fromMp3.coverBytes, fixtures::PngPicture().size());
    EXPECT_EQ(fromMp3.chapters, (std::vector<fixtures::Chapter>{{0, 500, longTitle}, {500, 1000, "Zwei"}}));
    EXPECT_EQ(fixtures::ReadAudio(mp3).Frames(), 44100) << "the audio after the tag decodes whole";

    // WAV: an "id3 " chunk and an INFO list after the audio.
    const fs::path wav = dir / "out.wav";
    fixtures::WriteWav(wav, {44100, 2, 44100});
    std::string skipped;
    EXPECT_EQ(tags::WriteWavTags(wav.string(), written, &skipped), "");
    EXPECT_EQ(skipped, "");
    const fixtures::TagsRead fromWav = fixtures::ReadTagsBack(wav);
    EXPECT_EQ(fromWav.id3v2Version, 3);
    EXPECT_TRUE(fromWav.wavInfo);
    EXPECT_EQ(fromWav.title, "Ünïcødé 歌");
    EXPECT_EQ(fixtures::ReadAudio(wav).Frames(), 44100);
    EXPECT_EQ(tags::ReadSourceTags(wav.string()).tags.Get(TagField::Title), "Ünïcødé 歌");

    // An RF64 file is left as it is, and says why.
    const fs::path rf64 = dir / "big.wav";
    std::ofstream(rf64, std::ios::binary) << "RF64" << std::string(76, '\0');
    EXPECT_EQ(tags::WriteWavTags(rf64.string(), written, &skipped), "");
    EXPECT_NE(skipped.find("RF64"), std::string::npos) << skipped;
    EXPECT_EQ(fs::file_size(rf64), 80u);
}
