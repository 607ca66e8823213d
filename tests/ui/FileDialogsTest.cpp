#include "FileDialogs.h"
#include "GuiTestSupport.h"

#include <gtest/gtest.h>

using namespace ui;

TEST(FileDialogFilters, SourceFilterKeepsItsFourEntriesInOrder)
{
    const QStringList filters = ConvertWindowsFilter(QStringLiteral(
        "Audio File (*.mp3;*.wav)|*.mp3;*.wav|Mp3 File (*.mp3)|*.mp3|WAVE File (*.wav)|*.wav|*.*|*.*"));
    EXPECT_EQ(filters, (QStringList{QStringLiteral("Audio File (*.mp3 *.wav)"),
                                    QStringLiteral("Mp3 File (*.mp3)"),
                                    QStringLiteral("WAVE File (*.wav)"),
                                    QStringLiteral("*.* (*)")}));
}

TEST(FileDialogFilters, DescriptionsNamingOtherPatternsGetTheirOwnList)
{
    const QStringList filters = ConvertWindowsFilter(QStringLiteral(
        "Mp3 File(*.mp3), Wav File(*.wav)|*.mp3;*.wav|Mp3 File(*.mp3)|*.mp3|Wav File(*.wav)|*.wav|"));
    EXPECT_EQ(filters, (QStringList{QStringLiteral("Mp3 File(*.mp3), Wav File(*.wav) (*.mp3 *.wav)"),
                                    QStringLiteral("Mp3 File (*.mp3)"),
                                    QStringLiteral("Wav File (*.wav)")}));
}

TEST(FileDialogFilters, EmptyFilterGivesNoEntries)
{
    EXPECT_TRUE(ConvertWindowsFilter(QString()).isEmpty());
    EXPECT_TRUE(ConvertWindowsFilter(QStringLiteral("||")).isEmpty());
}

TEST(FileDialogs, HookAnswersEachKindAndSeesTheRequest)
{
    testsupport::FileDialogAnswers answers;
    answers.Choose({QStringLiteral("/music/My Song.MP3")});
    answers.Choose({QStringLiteral("/a.mp3"), QStringLiteral("/b.wav")});
    answers.Choose({QStringLiteral("/out/joined.mp3")});
    answers.Choose({QStringLiteral("/out")});

    EXPECT_EQ(GetOpenFileName(nullptr, QStringLiteral("Mp3 File (*.mp3)|*.mp3|")),
              QStringLiteral("/music/My Song.MP3"));
    EXPECT_EQ(GetOpenFileNames(nullptr, QStringLiteral("*.*|*.*")),
              (QStringList{QStringLiteral("/a.mp3"), QStringLiteral("/b.wav")}));
    EXPECT_EQ(GetSaveFileName(nullptr, QStringLiteral("Mp3 File (*.mp3)|*.mp3|"), QStringLiteral("mp3")),
              QStringLiteral("/out/joined.mp3"));
    EXPECT_EQ(BrowseForFolder(nullptr), QStringLiteral("/out"));

    ASSERT_EQ(answers.Requests().size(), 4u);
    EXPECT_EQ(answers.Requests()[0].kind, FileDialogKind::Open);
    EXPECT_EQ(answers.Requests()[0].filters, QStringList{QStringLiteral("Mp3 File (*.mp3)")});
    EXPECT_EQ(answers.Requests()[1].kind, FileDialogKind::OpenMultiple);
    EXPECT_EQ(answers.Requests()[2].kind, FileDialogKind::Save);
    EXPECT_EQ(answers.Requests()[2].defaultSuffix, QStringLiteral("mp3"));
    EXPECT_EQ(answers.Requests()[3].kind, FileDialogKind::Folder);
}

TEST(FileDialogs, CancelledDialogsGiveNothing)
{
    testsupport::FileDialogAnswers answers;
    answers.Cancel();
    answers.Choose({});
    EXPECT_FALSE(GetOpenFileName(nullptr, QString()).has_value());
    EXPECT_FALSE(GetOpenFileNames(nullptr, QString()).has_value());
    EXPECT_FALSE(BrowseForFolder(nullptr).has_value());   // no answer left
}
