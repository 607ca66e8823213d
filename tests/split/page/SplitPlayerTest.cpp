// The split page's loading and preview player, on real files through the
// null audio output.

#include "BalloonTip.h"
#include "ConvertDlg.h"
#include "GuiTestSupport.h"
#include "SplitDlgIds.h"
#include "SplitPageFixture.h"

#include <QApplication>
#include <QComboBox>
#include <QSlider>
#include <QTest>
#include <gtest/gtest.h>

#include <fstream>

using namespace split_ids;
using namespace splittest;
using testsupport::MessageBoxRecorder;
constexpr auto Running = CSplitDlg::PlayState::Running;
constexpr auto Stopped = CSplitDlg::PlayState::Stopped;

namespace {

void Click(CSplitDlg& page, int id)
{
    QTest::mouseClick(page.GetDlgItem(id), Qt::LeftButton);
}

QString CurrentTime(CSplitDlg& page)
{
    return page.GetDlgItemText(IDC_CURRENT_TIME);
}

void WriteFile(const fixtures::fs::path& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

} // namespace

TEST(SplitPlayer, LoadsPlaysToTheEndAndPlaysAgain)
{
    MessageBoxRecorder boxes;
    const auto& source = TestSources().mp3;
    auto page = OpenSplitPage(source);
    QSlider* slider = page->DlgItem<QSlider>(IDC_POSITION);
    EXPECT_EQ(page->GetDlgItemText(IDC_DURATION), QStringLiteral("Duration:00:00:03"));
    EXPECT_EQ(page->GetDlgItemText(IDC_OUTPUT_DIR), PathText(source.parent_path()) + "/Split");
    EXPECT_TRUE(slider->isEnabled());
    EXPECT_EQ(slider->maximum(), 3000);
    EXPECT_EQ(page->GetPlayState(), Running);

    // The position moves along; Pause holds it and Play goes on from there.
    ASSERT_TRUE(QTest::qWaitFor([&] { return CurrentTime(*page) == "Current Time:00:00:01"; }, 5000));
    Click(*page, IDC_PAUSE);
    EXPECT_EQ(page->GetPlayState(), Stopped);
    EXPECT_EQ(page->Player().PlaybackState(), CPreviewPlayer::State::Stopped);
    const int held = static_cast<int>(TimeToMs(page->Player().Position().value_or(0)));
    EXPECT_GE(held, 1000);
    EXPECT_TRUE(QTest::qWaitFor([&] { return slider->value() == held; }, 2000)); // the next refresh shows it
    Click(*page, IDC_PLAY);
    EXPECT_EQ(page->GetPlayState(), Running);
    EXPECT_TRUE(QTest::qWaitFor([&] { return slider->value() > held; }, 2000));

    // At the end of the stream the player stops, and Play starts it again.
    ASSERT_TRUE(QTest::qWaitFor([&] { return page->GetPlayState() == Stopped; }, 8000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return slider->value() == 3000; }, 1000));
    Click(*page, IDC_PLAY);
    EXPECT_EQ(page->GetPlayState(), Running);
    EXPECT_TRUE(QTest::qWaitFor([&] { return slider->value() < 1000; }, 2000));
    EXPECT_TRUE(boxes.Boxes().empty());

    // Back lets go of the graph: nothing plays on behind the first page.
    Click(*page, page_ids::IDC_BACK);
    EXPECT_EQ(page->Result(), ui::IDOK);
    EXPECT_FALSE(page->HoldsGraph());
    EXPECT_EQ(page->GetPlayState(), Stopped);
}

TEST(SplitPlayer, WindAndSeekStopAtTheEdgesAndKeepTheRunState)
{
    MessageBoxRecorder boxes;
    auto page = OpenSplitPage(TestSources().mp3);
    QSlider* slider = page->DlgItem<QSlider>(IDC_POSITION);
    Click(*page, IDC_PAUSE);

    Click(*page, IDC_SEEK_BEGIN);
    EXPECT_EQ(CurrentTime(*page), "Current Time:00:00:00");
    Click(*page, IDC_FAST_FORWARD);
    EXPECT_EQ(slider->value(), 1000);
    EXPECT_EQ(CurrentTime(*page), "Current Time:00:00:01");
    Click(*page, IDC_FAST_BACKWARD);
    Click(*page, IDC_FAST_BACKWARD);
    EXPECT_EQ(slider->value(), 0);
    EXPECT_EQ(CurrentTime(*page), "Current Time:00:00:00");

    Click(*page, IDC_SEEK_END);
    EXPECT_EQ(slider->value(), 3000);
    EXPECT_EQ(CurrentTime(*page), "Current Time:00:00:03");
    slider->setValue(2500);
    Click(*page, IDC_FAST_FORWARD);
    EXPECT_EQ(slider->value(), 3000);

    // The slider's own actions seek: keys, and dragging the thumb.
    slider->setFocus();
    QTest::keyClick(slider, Qt::Key_PageDown);
    EXPECT_EQ(CurrentTime(*page), "Current Time:00:00:02");
    slider->setSliderDown(true);
    slider->setSliderPosition(1500);
    EXPECT_EQ(CurrentTime(*page), "Current Time:00:00:01");
    slider->setSliderDown(false);

    // A stopped player stays where it was put; a running one runs on.
    EXPECT_EQ(page->Player().PlaybackState(), CPreviewPlayer::State::Stopped);
    EXPECT_EQ(page->Player().Position(), MsToTime(1500));
    EXPECT_EQ(page->GetPlayState(), Stopped);
    Click(*page, IDC_PLAY);
    Click(*page, IDC_SEEK_BEGIN);
    EXPECT_EQ(page->GetPlayState(), Running);
    EXPECT_TRUE(QTest::qWaitFor([&] { return slider->value() >= 500; }, 3000));
    EXPECT_LT(slider->value(), 1500);

    // Hours neither wrap nor stop at two digits.
    page->ShowPosition(MsToTime(3'661'000));
    EXPECT_EQ(CurrentTime(*page), "Current Time:01:01:01");
    page->ShowPosition(MsToTime(360'000'000));
    EXPECT_EQ(CurrentTime(*page), "Current Time:100:00:00");
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST(SplitPlayer, SeekingFarIntoAnHourLongFileAnswersAtOnce)
{
    MessageBoxRecorder boxes;
    auto page = OpenSplitPage(TestSources().hourMp3);
    EXPECT_GE(page->Duration(), 3600LL * 10'000'000);
    QSlider* slider = page->DlgItem<QSlider>(IDC_POSITION);
    for (bool running : {true, false}) {
        if (!running)
            Click(*page, IDC_PAUSE);
        Click(*page, IDC_SEEK_END);
        Click(*page, IDC_FAST_BACKWARD);
        slider->triggerAction(QAbstractSlider::SliderToMinimum);
        slider->setValue(59 * 60'000);
        Click(*page, IDC_FAST_FORWARD);
        EXPECT_EQ(CurrentTime(*page), "Current Time:00:59:01") << running;
        EXPECT_EQ(page->GetPlayState(), running ? Running : Stopped);
    }
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST(SplitPlayer, SourcesThatCannotBePlayedLeaveThePageUsable)
{
    fixtures::TempDir dir;
    std::ifstream mp3(TestSources().mp3, std::ios::binary);
    std::string head(64, '\0');
    mp3.read(head.data(), 64);
    WriteFile(dir / "empty.mp3", "");
    WriteFile(dir / "text.wav", "not a sound file, only words\n");
    WriteFile(dir / "garbage.mp3", std::string(5000, '\x5a'));
    WriteFile(dir / "cut.mp3", head);
    WriteFile(dir / "notes.txt", "neither MP3 nor WAV\n");
    for (const char* name : {"empty.mp3", "text.wav", "garbage.mp3", "cut.mp3", "notes.txt", "missing.wav"}) {
        SCOPED_TRACE(name);
        MessageBoxRecorder boxes;
        auto page = OpenSplitPage(dir / name);
        ASSERT_EQ(boxes.Boxes().size(), 1u);
        // The page's words, then which file and why.
        const QStringList lines = boxes.Boxes()[0].text.split(QLatin1Char('\n'));
        ASSERT_EQ(lines.size(), 3) << boxes.Boxes()[0].text.toStdString();
        EXPECT_EQ(lines[0], QStringLiteral("Failed in RenderFile"));
        EXPECT_EQ(lines[1], PathText(dir / name));
        EXPECT_FALSE(lines[2].trimmed().isEmpty());
        EXPECT_EQ(boxes.Boxes()[0].caption, ui::ApplicationName());
        EXPECT_EQ(boxes.Boxes()[0].icon, ui::MessageIcon::Error);
        EXPECT_EQ(page->GetDlgItemText(IDC_DURATION), QStringLiteral("Duration:00:00:00"));
        EXPECT_FALSE(page->GetDlgItem(IDC_POSITION)->isEnabled());

        // Every control is harmless; Next explains what is missing.
        for (int id : {IDC_PLAY, IDC_PAUSE, IDC_FAST_BACKWARD, IDC_FAST_FORWARD, IDC_SEEK_BEGIN,
                       IDC_SEEK_END, IDC_ADD_CURRENT, IDC_ADD_TYPED, IDC_SPLIT_NEXT})
            Click(*page, id);
        ASSERT_EQ(boxes.Boxes().size(), 2u);
        EXPECT_EQ(boxes.Boxes()[1].text, QStringLiteral("You should insert more than one Breakpoint"));
        EXPECT_TRUE(page->isVisible());
        EXPECT_TRUE(page->Breakpoints().empty());
    }
}

TEST(SplitPlayer, AWavNamedMp3PlaysAsWavAndNextHandsTheSplitOver)
{
    MessageBoxRecorder boxes;
    const auto& source = TestSources().wavAsMp3;
    auto page = OpenSplitPage(source);
    EXPECT_EQ(page->GetDlgItemText(IDC_DURATION), QStringLiteral("Duration:00:00:02"));
    EXPECT_EQ(page->GetDlgItemText(IDC_OUTPUT_DIR),
              PathText(source.parent_path()) + QStringLiteral("/Split"));
    EXPECT_EQ(page->GetPlayState(), Running);
    EXPECT_TRUE(boxes.Boxes().empty());

    testsupport::ModalRunRecorder runs;
    Click(*page, IDC_SPLIT_NEXT);
    page->SetDlgItemText(IDC_TYPED_TIME, QStringLiteral("00:00:01"));
    Click(*page, IDC_ADD_TYPED);
    Click(*page, IDC_SPLIT_NEXT);
    ASSERT_EQ(boxes.Boxes().size(), 2u);
    for (const auto& box : boxes.Boxes()) {
        EXPECT_EQ(box.text, QStringLiteral("You should insert more than one Breakpoint"));
        EXPECT_EQ(box.caption, QStringLiteral("Error"));
    }
    EXPECT_TRUE(runs.Runs().isEmpty());
    EXPECT_EQ(page->GetPlayState(), Running);

    // What the settings dialog is given, read where it would run.
    QString name, sourcePath, outputDir;
    bool mp3 = true;
    BreakpointList breakpoints;
    runs.SetPlay([&](ui::CDialogPage& dialog) {
        auto& settings = dynamic_cast<CConvertDlg&>(dialog);
        name = settings.m_strOutputName;
        mp3 = settings.m_bMp3Output;
        breakpoints = settings.m_breakpoints;
        sourcePath = settings.m_wszSourcePath;
        outputDir = settings.m_strOutputDir;
        return ui::IDOK;
    });
    page->SetDlgItemText(IDC_TYPED_TIME, QStringLiteral("00:00:00"));
    Click(*page, IDC_ADD_TYPED);
    page->DlgItem<QComboBox>(IDC_OUTPUT_FORMAT)->setCurrentIndex(1);
    Click(*page, IDC_SPLIT_NEXT);
    ASSERT_EQ(runs.Runs(), QStringList{QStringLiteral("CConvertDlg")});
    EXPECT_EQ(page->GetPlayState(), Stopped);
    EXPECT_TRUE(page->isVisible());
    EXPECT_EQ(name, QStringLiteral("Lied ä.mp3"));
    EXPECT_FALSE(mp3);
    ASSERT_EQ(breakpoints.size(), 2u);
    EXPECT_EQ(breakpoints[0].timeMs, 0);
    EXPECT_EQ(breakpoints[1].timeMs, 1000);
    EXPECT_EQ(sourcePath, PathText(source));
    EXPECT_EQ(outputDir, PathText(source.parent_path()) + QStringLiteral("/Split"));
}

TEST(SplitPage, BrowsingPutsThePiecesInASplitFolderOfTheChosenOne)
{
    MessageBoxRecorder boxes;
    testsupport::FileDialogAnswers dialogs;
    dialogs.Choose({QStringLiteral("/media/My Out")});
    dialogs.Choose({QStringLiteral("/")});
    dialogs.Cancel();
    CSplitDlg page;
    page.show();
    for (const char* expected : {"/media/My Out/split", "/split", "/split"}) {
        Click(page, IDC_BROWSE_OUTPUT);
        EXPECT_EQ(page.GetDlgItemText(IDC_OUTPUT_DIR), QString::fromUtf8(expected));
    }
    ASSERT_EQ(dialogs.Requests().size(), 3u);
    EXPECT_EQ(dialogs.Requests()[0].kind, ui::FileDialogKind::Folder);
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST(SplitPage, TheOutputFolderAndTheBreakpointListCarryBalloonTips)
{
    QCursor::setPos(0, 0);
    auto page = OpenSplitPage(TestSources().mp3);
    page->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(page.get()));
    auto balloonText = [] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* balloon = qobject_cast<CBalloonTip*>(w); balloon && balloon->isVisible())
                return balloon->Text();
        return QString();
    };
    const QString folder = page->GetDlgItemText(IDC_OUTPUT_DIR);
    ASSERT_FALSE(folder.isEmpty());
    QTest::mouseMove(page->GetDlgItem(IDC_OUTPUT_DIR), QPoint(5, 5));
    EXPECT_TRUE(QTest::qWaitFor([&] { return balloonText() == folder; }, 5000)) << balloonText().toStdString();
    QTest::mouseMove(page->GetDlgItem(IDC_BREAKPOINTS), QPoint(10, 10));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return balloonText() == QStringLiteral("Press right button to delete breakpoint"); }, 5000))
        << balloonText().toStdString();
}

TEST(SplitPlayer, ASourceWhoseNameIsNotUtf8Plays)
{
    // Latin-1 names, as another system wrote them: "Ordner \xf6/Lied \xe4.wav".
    fixtures::TempDir dir;
    const auto folder = dir / "Ordner \xf6";
    fixtures::fs::create_directories(folder);
    const auto source = folder / "Lied \xe4.wav";
    fixtures::WriteWav(source, fixtures::Signal{22050, 1, 2 * 22050});
    MessageBoxRecorder boxes;
    auto page = OpenSplitPage(source);
    EXPECT_TRUE(boxes.Boxes().empty()) << boxes.Boxes()[0].text.toStdString();
    EXPECT_TRUE(page->HoldsGraph());
    EXPECT_EQ(page->GetDlgItemText(IDC_DURATION), QStringLiteral("Duration:00:00:02"));
    EXPECT_EQ(page->GetDlgItemText(IDC_OUTPUT_DIR), PathText(folder) + QStringLiteral("/Split"));
}
