// The tags of split pieces on every path (re-encoded MP3, WAV, copied
// frames), from tagged MP3 and WAV sources, read back by TagLib; the pieces
// still decode to exactly the stretch asked for.

#include "SplitJob.h"

#include "JobAssertions.h"

#include <Fixtures.h>
#include <TagFixtures.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>

namespace fs = std::filesystem;
using fixtures::TagStyle;

namespace {

constexpr int kRate = 44100;
constexpr std::int64_t kFirst = kRate, kEnd = kRate * 5 / 2; // the piece [1 s, 2.5 s)

enum class Path { ReEncoded, Wav, Copied };

class SplitTags : public ::testing::Test {
protected:
    void SetUp() override { ::setenv("XDG_CACHE_HOME", (dir / "cache").c_str(), 1); }

    fs::path Source(TagStyle style, const fixtures::TagValues& values)
    {
        const bool wav = style == TagStyle::WavInfo || style == TagStyle::WavId3AndInfo;
        const fs::path path = dir / (wav ? "song.wav" : "song.mp3");
        if (wav)
            fixtures::WriteWav(path, {kRate, 2, kRate * 3});
        else
            fixtures::WriteMp3(path, {kRate, 2, kRate * 3}, {.bitrateKbps = 128});
        fixtures::WriteTags(path, style, values);
        return path;
    }

    SplitPieceRequest Request(const fs::path& source, Path path)
    {
        SplitPieceRequest r;
        r.sourcePath = source;
        r.outputDir = dir / "Split";
        r.outputName = source.filename();
        r.mp3Output = path != Path::Wav;
        r.copy = path == Path::Copied ? SplitCopy::Required : SplitCopy::Never;
        r.start = FrameToTime(kFirst, kRate);
        r.stop = FrameToTime(kEnd, kRate);
        return r;
    }

    static JobResult Run(CSplitJob& job)
    {
        if (JobResult built = job.Build(); !built)
            return built;
        job.Run();
        JobStatus status = JobStatus::Running;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
        while (status == JobStatus::Running && std::chrono::steady_clock::now() < deadline)
            status = job.WaitStep(100);
        return job.Finish(status);
    }

    // The piece holds exactly the source's samples [kFirst, kEnd): its
    // length, and its start where it matches the source best.
    static void ExpectExactStretch(const fs::path& source, const fs::path& piece)
    {
        const fixtures::Decoded whole = fixtures::ReadAudio(source);
        const fixtures::Decoded cut = fixtures::ReadAudio(piece);
        ASSERT_EQ(cut.Frames(), kEnd - kFirst);
        auto misfit = [&](std::int64_t lag) {
            double sum = 0;
            for (std::int64_t k = 0; k < 2048 * 2; ++k)
                sum += std::abs(cut.samples[std::size_t(k + 8192)] - whole.samples[std::size_t((kFirst + 4096 + lag) * 2 + k)]);
            return sum;
        };
        EXPECT_LT(misfit(0), misfit(1));
        EXPECT_LT(misfit(0), misfit(-1));
    }

    fixtures::TempDir dir;
};

} // namespace

TEST_F(SplitTags, EveryPathCarriesTheSourcesTagsAndStaysSampleExact)
{
    fixtures::TagValues values;
    values.chapters = {{0, 1000, "One"}, {1000, 2000, "Two"}, {2000, 3000, "Three"}};
    values.frames = {{"TLEN", std::string(1, '\0') + "3000"}};
    struct Case {
        TagStyle style;
        bool cover;
        std::vector<Path> paths;
    };
    const Case cases[] = {
        {TagStyle::Id3v23AndV1, false, {Path::ReEncoded, Path::Wav, Path::Copied}},
        {TagStyle::Id3v24, true, {Path::ReEncoded, Path::Wav, Path::Copied}},
        {TagStyle::Id3v1Only, false, {Path::ReEncoded, Path::Copied}},
        {TagStyle::WavId3AndInfo, true, {Path::ReEncoded, Path::Wav}},
    };
    for (const Case& c : cases) {
        fs::remove_all(dir / "Split");
        values.cover = c.cover;
        const fs::path source = Source(c.style, values);
        const bool id3v1Source = c.style == TagStyle::Id3v23AndV1 || c.style == TagStyle::Id3v1Only;
        const bool fullSource = c.style != TagStyle::Id3v1Only; // ID3v1 holds no pictures or chapters
        for (Path path : c.paths) {
            SCOPED_TRACE(source.filename().string() + " style " + std::to_string(int(c.style)) + " path "
                         + std::to_string(int(path)));
            CSplitJob job(Request(source, path));
            ASSERT_TRUE(Succeeded(Run(job)));
            EXPECT_EQ(job.CopiesFrames(), path == Path::Copied);
            EXPECT_TRUE(job.TagWarnings().empty());
            const fixtures::TagsRead read = fixtures::ReadTagsBack(job.OutputPath());
            EXPECT_EQ(read.id3v2Version, 3);
            EXPECT_EQ(read.title, "Song Title");
            EXPECT_EQ(read.artist, "The Artist");
            EXPECT_EQ(read.album, "The Album");
            EXPECT_EQ(read.coverBytes, c.cover ? fixtures::PngPicture().size() : 0u);
            if (path == Path::Wav) {
                EXPECT_TRUE(read.wavInfo);
                EXPECT_EQ(read.infoTitle, "Song Title");
            } else {
                EXPECT_EQ(read.id3v1, id3v1Source);
            }
            if (fullSource) {
                EXPECT_EQ(read.chapters, (std::vector<fixtures::Chapter>{{0, 1000, "Two"}, {1000, 1500, "Three"}}));
                EXPECT_EQ(read.Frame("TLEN"), "1500");
            }
            ExpectExactStretch(source, job.OutputPath());
        }
    }
}

TEST_F(SplitTags, ATagThatCannotBeReadGivesAPieceWithoutTagsAndOneWarning)
{
    for (fixtures::TagDamage damage :
         {fixtures::TagDamage::SizeNotSynchsafe, fixtures::TagDamage::UnknownVersion, fixtures::TagDamage::GarbageFrames}) {
        for (Path path : {Path::ReEncoded, Path::Copied}) {
            SCOPED_TRACE("damage " + std::to_string(int(damage)) + " path " + std::to_string(int(path)));
            fs::remove_all(dir / "Split");
            const fs::path source = Source(TagStyle::Id3v23AndV1, {});
            fixtures::DamageId3v2(source, damage);
            CSplitJob job(Request(source, path));
            ASSERT_TRUE(Succeeded(Run(job)));
            ASSERT_EQ(job.TagWarnings().size(), 1u);
            EXPECT_NE(job.TagWarnings().front().find(source.string()), std::string::npos) << job.TagWarnings().front();
            const fixtures::TagsRead read = fixtures::ReadTagsBack(job.OutputPath());
            EXPECT_EQ(read.id3v2Version, 0);
            EXPECT_FALSE(read.id3v1);
            EXPECT_EQ(fixtures::ReadAudio(job.OutputPath()).Frames(), kEnd - kFirst);
        }
    }
}

TEST_F(SplitTags, EditsGoOverTheSourcesTagsAndNoTagsMeansNone)
{
    const fs::path source = Source(TagStyle::Id3v23, {});
    struct Case {
        bool writeTags;
        tags::TagEdits edits;
        int version;
        std::string title, artist;
    };
    for (const Case& c : {Case{true, {{tags::TagField::Title, "Side B"}, {tags::TagField::Artist, ""}}, 3, "Side B", ""},
                          Case{false, {}, 0, "", ""}}) {
        for (Path path : {Path::ReEncoded, Path::Wav, Path::Copied}) {
            SplitPieceRequest request = Request(source, path);
            request.writeTags = c.writeTags;
            request.tagEdits = c.edits;
            CSplitJob job(request);
            ASSERT_TRUE(Succeeded(Run(job)));
            const fixtures::TagsRead read = fixtures::ReadTagsBack(job.OutputPath());
            EXPECT_EQ(read.id3v2Version, c.version) << int(path);
            EXPECT_EQ(read.title, c.title) << int(path);
            EXPECT_EQ(read.artist, c.artist) << int(path);
        }
    }
}
