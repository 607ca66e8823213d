// The one way outputs reach the disk (OutputFile.h): on real folders, what
// is there after a commit, a refusal or a discard, and which leftovers a
// later run reclaims.

#include "media/filters/OutputFile.h"

#include <Fixtures.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <set>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;
using fixtures::FolderNames;

namespace {

std::string ReadAll(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteText(const COutputFile& out, const std::string& text)
{
    ASSERT_EQ(::pwrite(out.Fd(), text.data(), text.size(), 0), static_cast<ssize_t>(text.size()));
}

// A process id that no process has: a child's, once it has been reaped.
long GonePid()
{
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(0);
    int status = 0;
    ::waitpid(child, &status, 0);
    return child;
}

} // namespace

TEST(OutputFile, ANumberedOutputTakesTheFirstNameFreeWhenItIsMovedIn)
{
    // What stands at "1-a.mp3" by the time the piece is complete: each is
    // kept as it is and the piece moves on to "2-a.mp3".
    struct Case {
        const char* what;
        void (*make)(const fs::path& at);
    };
    const Case cases[] = {
        {"nothing", [](const fs::path&) {}},
        {"a file", [](const fs::path& at) { std::ofstream(at) << "theirs"; }},
        {"a folder", [](const fs::path& at) { fs::create_directory(at); }},
        {"a broken link", [](const fs::path& at) { fs::create_symlink("nowhere", at); }},
        {"a link to a folder", [](const fs::path& at) { fs::create_symlink("/", at); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fixtures::TempDir dir;
        COutputFile out;
        out.SetNumberedTarget(dir.Path().string(), "a.mp3", 1);
        std::string reason;
        ASSERT_TRUE(out.Create(&reason)) << reason;
        WriteText(out, "piece");
        EXPECT_EQ(out.Path(), (dir / "1-a.mp3").string());
        EXPECT_FALSE(fs::exists(fs::symlink_status(dir / "1-a.mp3"))) << "no name before the file is complete";
        c.make(dir / "1-a.mp3");
        ASSERT_TRUE(out.Commit(&reason)) << reason;
        const bool taken = std::string(c.what) != "nothing";
        EXPECT_EQ(out.Path(), (dir / (taken ? "2-a.mp3" : "1-a.mp3")).string());
        EXPECT_EQ(ReadAll(out.Path()), "piece");
        EXPECT_EQ(FolderNames(dir.Path()).size(), taken ? 2u : 1u) << "no temporary is left";
        if (std::string(c.what) == "a broken link") {
            EXPECT_EQ(fs::read_symlink(dir / "1-a.mp3"), "nowhere");
        }
    }
}

TEST(OutputFile, ANamedOutputKeepsItsNameOrTakesTheFirstNumberFreeBeforeItsExtension)
{
    struct Case {
        const char* name;
        std::vector<std::string> taken; // there when the output is moved in
        const char* expected;
    };
    const Case cases[] = {
        {"01 - Song.mp3", {}, "01 - Song.mp3"},
        {"01 - Song.mp3", {"01 - Song.mp3"}, "01 - Song (2).mp3"},
        {"01 - Song.mp3", {"01 - Song.mp3", "01 - Song (2).mp3"}, "01 - Song (3).mp3"},
        {"v1.2 take.wav", {"v1.2 take.wav"}, "v1.2 take (2).wav"},
        {"no extension", {"no extension"}, "no extension (2)"},
        {".hidden", {".hidden"}, ".hidden (2)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        fixtures::TempDir dir;
        COutputFile out;
        out.SetNumberedTarget(dir.Path().string(), c.name, 1, NumberedName::Suffix);
        EXPECT_EQ(out.Path(), (dir / c.name).string());
        std::string reason;
        ASSERT_TRUE(out.Create(&reason)) << reason;
        WriteText(out, "piece");
        for (const std::string& name : c.taken)
            std::ofstream(dir / name) << "theirs";
        ASSERT_TRUE(out.Commit(&reason)) << reason;
        EXPECT_EQ(out.Path(), (dir / c.expected).string());
        EXPECT_EQ(ReadAll(out.Path()), "piece");
        for (const std::string& name : c.taken)
            EXPECT_EQ(ReadAll(dir / name), "theirs");
    }
}

TEST(OutputFile, APlainOutputIsReplacedOnlyWhenAskedAndAFailedMoveLeavesNothing)
{
    const std::string longName(255, 'n'); // the longest name a folder entry can have
    struct Case {
        const char* what;
        std::string name;
        bool replace;
        void (*before)(const fs::path& at); // what stands at the name when it is moved in
        bool moved;
    };
    const Case cases[] = {
        {"free", "out.mp3", false, [](const fs::path&) {}, true},
        {"a name of 255 bytes", longName, false, [](const fs::path&) {}, true},
        {"taken, not replaced", "out.mp3", false, [](const fs::path& at) { std::ofstream(at) << "old"; }, false},
        {"taken, replaced", "out.mp3", true, [](const fs::path& at) { std::ofstream(at) << "old"; }, true},
        {"a folder with files", "out.mp3", true,
         [](const fs::path& at) {
             fs::create_directory(at);
             std::ofstream(at / "inside") << "x";
         },
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fixtures::TempDir dir;
        const fs::path target = dir / c.name;
        COutputFile out;
        out.SetTarget(target.string(), c.replace);
        std::string reason;
        ASSERT_TRUE(out.Create(&reason)) << reason;
        WriteText(out, "new");
        c.before(target);
        EXPECT_EQ(out.Commit(&reason), c.moved) << reason;
        if (c.moved) {
            EXPECT_EQ(ReadAll(target), "new");
        } else {
            EXPECT_NE(reason.find(target.string()), std::string::npos) << reason;
            EXPECT_TRUE(fs::is_directory(target) || ReadAll(target) == "old");
        }
        EXPECT_EQ(FolderNames(dir.Path()), std::vector<std::string>{c.name}) << "no temporary is left";
    }
}

TEST(OutputFile, ADiscardedOrDroppedOutputLeavesNothing)
{
    fixtures::TempDir dir;
    for (bool drop : {false, true}) {
        auto out = std::make_unique<COutputFile>();
        out->SetTarget((dir / "out.wav").string(), false);
        std::string reason;
        ASSERT_TRUE(out->Create(&reason)) << reason;
        WriteText(*out, "partial");
        EXPECT_EQ(FolderNames(dir.Path()).size(), 1u);
        if (drop)
            out.reset();
        else
            out->Discard();
        EXPECT_TRUE(FolderNames(dir.Path()).empty()) << drop;
    }
}

TEST(OutputFile, OnlyTemporariesOfProcessesThatAreGoneAreReclaimed)
{
    fixtures::TempDir dir;
    const std::string gone = std::to_string(GonePid());
    const std::string alive = std::to_string(::getppid());
    const std::vector<std::string> files{
        ".tarnwick-" + gone + "-0.part",       // reclaimed
        ".tarnwick-" + gone + "-17.part",      // reclaimed
        ".tarnwick-" + alive + "-0.part",      // its writer still runs
        ".tarnwick-" + gone + "-0.part.keep",  // not one of ours
        ".tarnwick-" + gone + ".part",
        "tarnwick-" + gone + "-0.part",
        "1-song.mp3",
    };
    for (const std::string& name : files)
        std::ofstream(dir / name) << "x";
    fs::create_directory(dir / (".tarnwick-" + gone + "-1.part")); // a folder is never removed
    fs::create_symlink("1-song.mp3", dir / (".tarnwick-" + gone + "-2.part"));

    const std::vector<std::string> removed = ReclaimTemporaries(dir.Path().string());
    std::vector<std::string> expectedRemoved{(dir / files[0]).string(), (dir / files[1]).string()};
    EXPECT_EQ(std::set<std::string>(removed.begin(), removed.end()),
              std::set<std::string>(expectedRemoved.begin(), expectedRemoved.end()));
    std::set<std::string> expectedLeft(files.begin() + 2, files.end());
    expectedLeft.insert(".tarnwick-" + gone + "-1.part");
    expectedLeft.insert(".tarnwick-" + gone + "-2.part");
    const std::vector<std::string> left = FolderNames(dir.Path());
    EXPECT_EQ(std::set<std::string>(left.begin(), left.end()), expectedLeft);
    EXPECT_TRUE(ReclaimTemporaries((dir / "missing").string()).empty());
}
