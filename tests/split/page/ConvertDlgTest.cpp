// The split settings dialog: its set-up, the checks of its start button, and
// whole runs through it on real files (written, cancelled, failed).

#include "ConvertDlg.h"
#include "ConvertDlgIds.h"
#include "FileNames.h"
#include "GuiTestSupport.h"
#include "RenderTestSupport.h"
#include "SessionEnd.h"
#include "SkinButton.h"

#include <Fixtures.h>
#include <TagFixtures.h>

#include <QComboBox>
#include <QDir>
#include <QProgressBar>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <memory>

using namespace convert_ids;
namespace fs = std::filesystem;

namespace {

Breakpoint At(int seconds)
{
    return {QString::asprintf("%02d:%02d:%02d", seconds / 3600, seconds / 60 % 60, seconds % 60),
            seconds * 1000LL};
}

bool FocusIsIn(const CConvertDlg& dialog, int id)
{
    const QWidget* control = dialog.GetDlgItem(id);
    return dialog.focusWidget() == control || control->isAncestorOf(dialog.focusWidget());
}

void Click(CConvertDlg& dialog, int id)
{
    QTest::mouseClick(dialog.GetDlgItem(id), Qt::LeftButton);
}

class SplitRun : public ::testing::Test {
protected:
    void SetUp() override { ::setenv("XDG_CACHE_HOME", (dir / "cache").c_str(), 1); }

    // What the split page hands over: the source, its name, the output
    // folder, the format and the breakpoints (in seconds).
    void HandOver(CConvertDlg& dialog, const fs::path& source, bool mp3, std::vector<int> seconds)
    {
        dialog.m_bMp3Output = mp3;
        dialog.m_wszSourcePath = ui::FileNameFromBytes(source.string());
        dialog.m_strOutputName = ui::FileNameFromBytes(source.filename().string());
        dialog.m_strOutputDir = ui::FileNameFromBytes(Out().string());
        for (int s : seconds)
            dialog.m_breakpoints.push_back(At(s));
    }

    // Runs the dialog modally and presses Start in it, as a person would.
    static int StartModal(CConvertDlg& dialog)
    {
        QTimer::singleShot(0, &dialog, [&dialog] { Click(dialog, IDC_START); });
        QTimer::singleShot(50000, &dialog, [&dialog] { dialog.EndDialog(-1); }); // a hang fails, not stalls
        return dialog.DoModal();
    }

    // Twenty minutes: long enough that a run is surely still going when the
    // test steps in, yet small and quick to write (8 kHz mono).
    fs::path LongSource(const std::string& name)
    {
        const fs::path source = dir / name;
        fixtures::WriteWav(source, {8000, 1, 8000LL * 1200});
        return source;
    }

    fs::path Out() const { return dir / "Split"; }
    bool NothingWritten() const { return !fs::exists(Out()) || fs::is_empty(Out()); }

    fixtures::TempDir dir;
};

// What the program does when its session ends (its handlers installed
// once), until the dialog has gone.
void EndTheSession(CConvertDlg& dialog)
{
    ui::CancelPagesAtSessionEnd();
    ::raise(SIGHUP);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !dialog.isVisible(); }, 10000));
}

} // namespace

// --- set-up -----------------------------------------------------------------

TEST(SplitSettings, MatchesTemplate131WithoutTitleBar)
{
    CConvertDlg dialog;
    dialog.show();
    testsupport::ExpectPageMatchesTemplate(dialog);
    testsupport::ExpectSkinnedButtons<CSkinButton>(dialog, {{IDC_START, QString()}, {IDC_CANCEL_SPLIT, QString()}});
    EXPECT_FALSE(dialog.windowFlags() & Qt::WindowTitleHint);
}

TEST(SplitSettings, RatesAreSortedAsTextWithDefaultsSelected)
{
    CConvertDlg dialog;
    dialog.show();
    auto* bitRate = dialog.DlgItem<QComboBox>(IDC_BIT_RATE);
    auto* sampleRate = dialog.DlgItem<QComboBox>(IDC_SAMPLE_RATE);
    EXPECT_EQ(testsupport::ComboItems(bitRate), QString("112 128 160 192 224 256 320 64 80 96").split(' '));
    EXPECT_EQ(testsupport::ComboItems(sampleRate), QString("16 22.05 24 32 44.1 48").split(' '));
    EXPECT_EQ(bitRate->currentText(), QStringLiteral("192"));
    EXPECT_EQ(dialog.GetDlgItemText(IDC_SAMPLE_RATE), QStringLiteral("44.1"));
    EXPECT_FALSE(bitRate->isEditable());
    EXPECT_TRUE(sampleRate->isEditable());
    auto* progress = dialog.DlgItem<QProgressBar>(IDC_PROGRESS);
    EXPECT_EQ(progress->minimum(), 0);
    EXPECT_EQ(progress->maximum(), 200);
    EXPECT_EQ(progress->value(), 0);
    EXPECT_EQ(dialog.GetDlgItemText(IDC_FILE_NAME), QStringLiteral("FileName:"));
    EXPECT_TRUE(dialog.GetDlgItemText(IDC_TIME_RANGE).isEmpty());
}

TEST(SplitSettings, WavOutputHidesTheEncoderSettings)
{
    for (bool mp3 : {true, false}) {
        CConvertDlg dialog;
        dialog.m_bMp3Output = mp3;
        dialog.show();
        for (int id : {IDC_BIT_RATE, IDC_SAMPLE_RATE, IDC_BIT_RATE_LABEL, IDC_SAMPLE_RATE_LABEL})
            EXPECT_EQ(dialog.GetDlgItem(id)->isVisible(), mp3) << id;
        EXPECT_TRUE(dialog.GetDlgItem(IDC_START)->isVisible());
    }
}

TEST(SplitSettings, OutputNameTakesTheFormatsExtension)
{
    CConvertDlg wav;
    wav.m_bMp3Output = false;
    wav.m_strOutputName = QStringLiteral("Live.Mp3");
    wav.show();
    EXPECT_EQ(wav.m_strOutputName, QStringLiteral("Live.wav"));

    CConvertDlg mp3;
    mp3.m_strOutputName = QStringLiteral("Chöre clip.wav");
    mp3.show();
    EXPECT_EQ(mp3.m_strOutputName, QStringLiteral("Chöre clip.mp3"));
}

// --- the start button's checks ------------------------------------------------

TEST_F(SplitRun, CancelBeforeStartWritesNothing)
{
    CConvertDlg dialog;
    HandOver(dialog, dir / "song.wav", true, {10, 40});
    dialog.show();
    Click(dialog, IDC_CANCEL_SPLIT);
    EXPECT_EQ(dialog.Result(), ui::IDCANCEL);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_FALSE(fs::exists(Out()));
}

TEST_F(SplitRun, RatesThatCannotBeUsedAreToldAndNothingRuns)
{
    testsupport::MessageBoxRecorder boxes;
    CConvertDlg dialog;
    HandOver(dialog, dir / "song.wav", true, {10, 40});
    dialog.show();
    auto* sampleRate = dialog.DlgItem<QComboBox>(IDC_SAMPLE_RATE);
    struct Case {
        QString sampleRate;
        int bitRateIndex;
        QString text;
        int focusId;
    };
    const QString notARate = QStringLiteral(" is not a sample rate of MP3 audio. Please choose 8, 11.025, 12, "
                                            "16, 22.05, 24, 32, 44.1 or 48 kHz.");
    const std::vector<Case> cases{
        {QString(), 3, QStringLiteral("Please select the Sample Rate(KHz)"), IDC_SAMPLE_RATE},
        {QStringLiteral("fast"), 3, QStringLiteral("\"fast\"") + notARate, IDC_SAMPLE_RATE},
        {QStringLiteral("23"), 3, QStringLiteral("\"23\"") + notARate, IDC_SAMPLE_RATE},
        {QStringLiteral("44.1"), -1, QStringLiteral("Please select the Bit Rate(kbps)"), IDC_BIT_RATE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        sampleRate->setEditText(c.sampleRate);
        dialog.DlgItem<QComboBox>(IDC_BIT_RATE)->setCurrentIndex(c.bitRateIndex);
        dialog.GetDlgItem(IDC_START)->setFocus();
        const std::size_t before = boxes.Boxes().size();
        Click(dialog, IDC_START);
        ASSERT_EQ(boxes.Boxes().size(), before + 1);
        EXPECT_EQ(boxes.Boxes().back().text, c.text);
        EXPECT_EQ(boxes.Boxes().back().caption, ui::ApplicationName());
        EXPECT_TRUE(FocusIsIn(dialog, c.focusId));
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_FALSE(dialog.IsRunning());
    }
    EXPECT_FALSE(fs::exists(Out()));
}

TEST_F(SplitRun, ABitRateTheSampleRateCannotCarryIsToldBeforeTheRun)
{
    const fs::path source = dir / "song.wav";
    fixtures::WriteWav(source, {44100, 2, 44100 * 3});
    CConvertDlg dialog;
    HandOver(dialog, source, true, {0, 2});
    dialog.show();
    dialog.DlgItem<QComboBox>(IDC_BIT_RATE)->setCurrentText(QStringLiteral("320"));
    dialog.DlgItem<QComboBox>(IDC_SAMPLE_RATE)->setEditText(QStringLiteral("22.05"));
    const QString told = QStringLiteral("At 22.05 kHz an MP3 file cannot carry 320 kbps: the piece will be "
                                        "written at 160 kbps.");
    {
        testsupport::MessageBoxRecorder goBack(ui::IDCANCEL);
        Click(dialog, IDC_START);
        ASSERT_EQ(goBack.Boxes().size(), 1u);
        EXPECT_EQ(goBack.Boxes()[0].text, told);
        EXPECT_EQ(goBack.Boxes()[0].buttons, ui::MessageButtons::OkCancel);
        EXPECT_EQ(dialog.m_nSampleRate, 22050);
        EXPECT_TRUE(FocusIsIn(dialog, IDC_BIT_RATE));
        EXPECT_FALSE(dialog.IsRunning());
        EXPECT_FALSE(fs::exists(Out()));
    }
    testsupport::MessageBoxRecorder goOn(ui::IDOK);
    dialog.hide();
    EXPECT_EQ(StartModal(dialog), ui::IDOK);
    ASSERT_EQ(goOn.Boxes().size(), 1u);
    EXPECT_EQ(goOn.Boxes()[0].text, told);
    EXPECT_EQ(dialog.m_nBitRate, 160);
    EXPECT_EQ(fixtures::ReadAudio(Out() / "1-song.mp3").sampleRate, 22050);
}

// --- whole runs -------------------------------------------------------------

TEST_F(SplitRun, TenToFortySecondsIsWrittenExactlyAsWavAndAsMp3)
{
    const fs::path source = dir / "song.wav";
    fixtures::WriteWav(source, {44100, 2, 44100 * 45});
    const auto whole = fixtures::ReadAudio(source);
    testsupport::MessageBoxRecorder boxes;
    for (bool mp3 : {false, true}) {
        SCOPED_TRACE(mp3 ? "mp3" : "wav");
        CConvertDlg dialog;
        HandOver(dialog, source, mp3, {10, 40});
        ASSERT_EQ(StartModal(dialog), ui::IDOK);
        EXPECT_TRUE(boxes.Boxes().empty());

        const fs::path piece = Out() / (mp3 ? "1-song.mp3" : "1-song.wav");
        EXPECT_EQ(dialog.GetDlgItemText(IDC_FILE_NAME),
                  QString::fromStdString(piece.string()) + QStringLiteral("   Please waiting ..."));
        EXPECT_EQ(dialog.GetDlgItemText(IDC_TIME_RANGE), QStringLiteral("Time betwen:00:00:10 and 00:00:40"));
        EXPECT_EQ(dialog.DlgItem<QProgressBar>(IDC_PROGRESS)->value(), 200);

        const auto decoded = fixtures::ReadAudio(piece);
        ASSERT_EQ(decoded.Frames(), 30 * 44100);
        if (!mp3) {
            EXPECT_TRUE(std::equal(decoded.samples.begin(), decoded.samples.end(),
                                   whole.samples.begin() + 10 * 44100 * 2));
        } else {
            double best = 0;
            EXPECT_EQ(BestLag(decoded.samples, 2, 44100, whole.samples, 2, 11 * 44100, 44100, 20, &best), 0);
            EXPECT_GT(best, 0.95);
        }
    }
}

TEST_F(SplitRun, CancelEscapeCloseAndDestroyStopARunAndLeaveNoPiece)
{
    const fs::path source = LongSource("long.wav");
    testsupport::MessageBoxRecorder boxes;
    // "session end": the terminal the program runs from closes (SIGHUP).
    for (const char* how : {"cancel", "escape", "close", "destroy", "session end"}) {
        SCOPED_TRACE(how);
        auto dialog = std::make_unique<CConvertDlg>();
        HandOver(*dialog, source, true, {0, 600, 1200});
        dialog->show();
        Click(*dialog, IDC_START);

        // Start has returned with the piece running behind a live dialog,
        // and nothing can start a second run.
        ASSERT_TRUE(dialog->IsRunning());
        for (int id : {IDC_START, IDC_BIT_RATE, IDC_SAMPLE_RATE})
            EXPECT_FALSE(dialog->GetDlgItem(id)->isEnabled()) << id;
        EXPECT_TRUE(dialog->GetDlgItem(IDC_CANCEL_SPLIT)->isEnabled());
        auto* progress = dialog->DlgItem<QProgressBar>(IDC_PROGRESS);
        ASSERT_TRUE(QTest::qWaitFor([&] { return progress->value() > 0; }, 20000));
        ASSERT_TRUE(dialog->IsRunning());

        if (std::string(how) == "cancel")
            Click(*dialog, IDC_CANCEL_SPLIT);
        else if (std::string(how) == "escape")
            QTest::keyClick(dialog.get(), Qt::Key_Escape);
        else if (std::string(how) == "close")
            dialog->close();
        else if (std::string(how) == "session end")
            EndTheSession(*dialog);
        else
            dialog.reset();
        if (dialog) {
            EXPECT_EQ(dialog->Result(), ui::IDCANCEL);
            EXPECT_FALSE(dialog->isVisible());
            EXPECT_FALSE(dialog->IsRunning());
        }
        EXPECT_TRUE(NothingWritten());
        // Nothing is left that could start a later piece: no progress timer,
        // and the news still queued is dropped.
        if (dialog) {
            EXPECT_FALSE(dialog->IsTimerRunning(IDT_SPLIT_PROGRESS));
        }
        QCoreApplication::processEvents();
        EXPECT_TRUE(NothingWritten());
    }
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(SplitRun, AFailedPieceIsToldWithItsReasonAndTheDialogStaysOpen)
{
    auto expectToldAndSettingsAgain = [](const testsupport::MessageBoxRecorder& boxes, CConvertDlg& dialog,
                                         const std::string& reasonPart) {
        ASSERT_EQ(boxes.Boxes().size(), 1u);
        const ui::MessageBoxRequest& box = boxes.Boxes()[0];
        EXPECT_EQ(box.caption, QStringLiteral("Error"));
        EXPECT_EQ(box.icon, ui::MessageIcon::Error);
        EXPECT_TRUE(box.text.contains(QString::fromStdString(reasonPart))) << box.text.toStdString();
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_FALSE(dialog.IsRunning());
        for (int id : {IDC_START, IDC_BIT_RATE, IDC_SAMPLE_RATE})
            EXPECT_TRUE(dialog.GetDlgItem(id)->isEnabled()) << id;
        EXPECT_EQ(dialog.DlgItem<QProgressBar>(IDC_PROGRESS)->value(), 0);
    };
    const fs::path source = LongSource("long.wav");

    // At the start: a file stands where the output folder should be made.
    {
        testsupport::MessageBoxRecorder boxes;
        CConvertDlg dialog;
        HandOver(dialog, source, true, {0, 10});
        std::ofstream(dir / "file") << "not a folder";
        dialog.m_strOutputDir = QString::fromStdString((dir / "file" / "Split").string());
        dialog.show();
        Click(dialog, IDC_START);
        expectToldAndSettingsAgain(boxes, dialog, (dir / "file" / "Split").string());
    }
    // Half-way: the source is cut short under the running piece.
    testsupport::MessageBoxRecorder boxes;
    CConvertDlg dialog;
    HandOver(dialog, source, true, {0, 1200});
    dialog.show();
    Click(dialog, IDC_START);
    auto* progress = dialog.DlgItem<QProgressBar>(IDC_PROGRESS);
    ASSERT_TRUE(QTest::qWaitFor([&] { return progress->value() > 0; }, 20000));
    fs::resize_file(source, 44 + 8000 * 2 * 2);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !boxes.Boxes().empty(); }, 20000));
    expectToldAndSettingsAgain(boxes, dialog, source.string());
    EXPECT_TRUE(NothingWritten());
}

// --- keeping the original sound ------------------------------------------------

TEST_F(SplitRun, KeepingTheOriginalSoundIsOfferedForMp3PiecesOfMp3SourcesOnly)
{
    const fs::path mp3 = dir / "song.mp3", wav = dir / "song.wav";
    fixtures::WriteMp3(mp3, {44100, 2, 44100 * 3});
    fixtures::WriteWav(wav, {44100, 2, 44100 * 3});
    struct Case {
        fs::path source;
        bool mp3Output;
        bool offered;
    };
    for (const Case& c : {Case{mp3, true, true}, Case{mp3, false, false}, Case{wav, true, false}}) {
        SCOPED_TRACE(c.source.filename().string() + (c.mp3Output ? " to mp3" : " to wav"));
        CConvertDlg dialog;
        HandOver(dialog, c.source, c.mp3Output, {0, 2});
        dialog.show();
        EXPECT_EQ(dialog.GetDlgItem(IDC_KEEP_ORIGINAL)->isVisible(), c.offered);
        EXPECT_FALSE(dialog.IsDlgButtonChecked(IDC_KEEP_ORIGINAL));
        for (int id : {IDC_BIT_RATE, IDC_SAMPLE_RATE})
            EXPECT_TRUE(dialog.GetDlgItem(id)->isEnabled()) << id;
        EXPECT_TRUE(dialog.GetDlgItemText(IDC_TIME_RANGE).isEmpty());
    }
}

TEST_F(SplitRun, KeepingTheOriginalSoundSetsTheRatesAsideOrSaysWhatIsReEncoded)
{
    const fs::path source = dir / "song.mp3";
    fixtures::WriteMp3(source, {44100, 2, 44100 * 3});
    auto rates = [](CConvertDlg& dialog) {
        return dialog.GetDlgItem(IDC_BIT_RATE)->isEnabled() && dialog.GetDlgItem(IDC_SAMPLE_RATE)->isEnabled();
    };
    {
        CConvertDlg dialog;
        HandOver(dialog, source, true, {0, 1, 2});
        dialog.show();
        Click(dialog, IDC_KEEP_ORIGINAL);
        EXPECT_FALSE(rates(dialog));
        EXPECT_TRUE(dialog.GetDlgItemText(IDC_TIME_RANGE).isEmpty());
        Click(dialog, IDC_KEEP_ORIGINAL);
        EXPECT_TRUE(rates(dialog));
    }
    // The second piece lasts 20 ms, less than two frames: it is re-encoded at the rates.
    CConvertDlg dialog;
    HandOver(dialog, source, true, {0, 1, 1});
    dialog.m_breakpoints[2].timeMs += 20;
    dialog.show();
    Click(dialog, IDC_KEEP_ORIGINAL);
    EXPECT_TRUE(rates(dialog));
    EXPECT_EQ(dialog.GetDlgItemText(IDC_TIME_RANGE),
              QStringLiteral("Re-encoded (piece 2): the piece is shorter than two MPEG frames"));
}

TEST_F(SplitRun, KeptOriginalSoundIsTheSourcesFramesCutToTheSample)
{
    const fs::path source = dir / "song.mp3";
    fixtures::WriteMp3(source, {44100, 2, 44100 * 4});
    CConvertDlg dialog;
    HandOver(dialog, source, true, {1, 3});
    dialog.show();
    Click(dialog, IDC_KEEP_ORIGINAL);
    dialog.hide();
    ASSERT_EQ(StartModal(dialog), ui::IDOK);
    EXPECT_EQ(dialog.GetDlgItemText(IDC_TIME_RANGE), QStringLiteral("Time betwen:00:00:01 and 00:00:03"));

    const fs::path piece = Out() / "1-song.mp3";
    const auto whole = fixtures::ReadAudio(source);
    const auto decoded = fixtures::ReadAudio(piece);
    ASSERT_EQ(decoded.Frames(), 2 * 44100);
    EXPECT_TRUE(std::equal(decoded.samples.begin(), decoded.samples.end(), whole.samples.begin() + 44100 * 2));
}

TEST_F(SplitRun, ASourceWhoseNameIsNotUtf8IsSplitUnderItsOwnBytes)
{
    // "Ordner \xf6/Lied \xe4.wav": Latin-1 bytes, not UTF-8.
    const fs::path folder = dir / "Ordner \xf6";
    fs::create_directories(folder);
    const fs::path source = folder / "Lied \xe4.wav";
    fixtures::WriteWav(source, {22050, 1, 3 * 22050});
    testsupport::MessageBoxRecorder boxes;
    CConvertDlg dialog;
    HandOver(dialog, source, false, {1, 2});
    dialog.m_strOutputDir = ui::FileNameFromBytes((folder / "Split").string());
    ASSERT_EQ(StartModal(dialog), ui::IDOK);
    EXPECT_TRUE(boxes.Boxes().empty()) << boxes.Boxes()[0].text.toStdString();
    const fs::path piece = folder / "Split" / "1-Lied \xe4.wav";
    EXPECT_EQ(dialog.GetDlgItemText(IDC_FILE_NAME),
              ui::FileNameFromBytes(piece.string()) + QStringLiteral("   Please waiting ..."));
    EXPECT_EQ(fixtures::ReadAudio(piece).Frames(), 22050);
}

// --- tags ----------------------------------------------------------------------

TEST_F(SplitRun, TagsThatCannotBeReadAreToldInTheRangeLabelAndTheDialogStays)
{
    const fs::path source = dir / "song.mp3";
    fixtures::WriteMp3(source, {44100, 2, 44100 * 3});
    fixtures::WriteTags(source, fixtures::TagStyle::Id3v23, {});
    fixtures::DamageId3v2(source, fixtures::TagDamage::GarbageFrames);
    CConvertDlg dialog;
    HandOver(dialog, source, true, {0, 1, 2});
    QString told, fileName;
    QTimer::singleShot(0, &dialog, [&dialog] { Click(dialog, IDC_START); });
    // The run ends with the dialog still there; what label 1030 says is read, then it is closed.
    QTimer::singleShot(0, &dialog, [&] {
        if (!QTest::qWaitFor([&] { return !dialog.IsRunning() && fs::exists(Out() / "2-song.mp3"); }, 40000))
            return dialog.EndDialog(-1);
        told = dialog.GetDlgItemText(IDC_TIME_RANGE);
        fileName = dialog.GetDlgItemText(IDC_FILE_NAME);
        Click(dialog, IDC_CANCEL_SPLIT);
    });
    dialog.DoModal();
    EXPECT_EQ(told, QStringLiteral("Cannot read the tags of ") + ui::FileNameFromBytes(source.string())
                        + QStringLiteral(" (its ID3v2 tag is damaged); the piece is written without them."));
    EXPECT_EQ(fileName, QDir::toNativeSeparators(ui::FileNameFromBytes((Out() / "2-song.mp3").string())))
        << "the run is over: no more waiting";
    EXPECT_EQ(fixtures::FolderNames(Out()), (std::vector<std::string>{"1-song.mp3", "2-song.mp3"}));
    EXPECT_EQ(fixtures::ReadTagsBack(Out() / "1-song.mp3").id3v2Version, 0);
}
