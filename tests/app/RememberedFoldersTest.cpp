#include "FunctionDlg.h"
#include "GuiTestSupport.h"
#include "JoinDlg.h"
#include "SplitDlg.h"

#include <Fixtures.h>

#include <QDir>
#include <QFile>
#include <QSettings>
#include <gtest/gtest.h>

namespace {

QString PathText(const fixtures::fs::path& path)
{
    return QString::fromStdString(path.string());
}

} // namespace

// The pages' dialogs open in the music folder the first time, then where the
// person last chose, each dialog keeping its own folder.
TEST(RememberedFolders, DialogsOpenInTheMusicFolderThenWhereLastChosen)
{
    fixtures::TempDir dir;
    const QString music = PathText(dir / "Music");
    const QString picked = PathText(dir / "x" / "y");
    const QString output = PathText(dir / "out");
    const QString added = PathText(dir / "add");
    ASSERT_TRUE(QDir().mkpath(music) && QDir().mkpath(picked) && QDir().mkpath(output)
                && QDir().mkpath(added));
    fixtures::WriteWav(dir / "add" / "a.wav", fixtures::Signal{22050, 1, 22050});

    // The music folder named in the (test-only) configuration folder.
    QFile userDirs(qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/user-dirs.dirs"));
    ASSERT_TRUE(userDirs.open(QIODevice::WriteOnly));
    userDirs.write(QStringLiteral("XDG_MUSIC_DIR=\"%1\"\n").arg(music).toUtf8());
    userDirs.close();
    QSettings(QStringLiteral("tarnwick"), QStringLiteral("tarnwick")).remove(QStringLiteral("folders"));

    testsupport::MessageBoxRecorder boxes;
    testsupport::FileDialogAnswers answers;
    answers.Choose({picked + QStringLiteral("/song.mp3")});
    answers.Cancel();
    answers.Choose({output});
    answers.Cancel();
    answers.Choose({added + QStringLiteral("/a.wav")});
    answers.Cancel();
    answers.Cancel();

    CFunctionDlg first;
    first.show();
    first.OnBrowse();
    first.OnBrowse();
    CSplitDlg split;
    split.show();
    split.OnBrowseOutputDir();
    split.OnBrowseOutputDir();
    CJoinDlg join;
    join.show();
    join.OnAddFiles();
    join.OnAddFiles();
    join.OnBeginJoin();

    const auto& requests = answers.Requests();
    ASSERT_EQ(requests.size(), 7u);
    EXPECT_EQ(requests[0].startFolder, music);
    EXPECT_EQ(requests[1].startFolder, picked);
    EXPECT_EQ(requests[2].startFolder, music);     // the split browse keeps its own
    EXPECT_EQ(requests[3].startFolder, output);
    EXPECT_EQ(requests[4].startFolder, music);     // so does the join add
    EXPECT_EQ(requests[5].startFolder, added);
    EXPECT_EQ(requests[6].kind, ui::FileDialogKind::Save);
    EXPECT_EQ(requests[6].startFolder, music);     // and the join save
}
