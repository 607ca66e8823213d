#include "EncoderSettingsDlg.h"
#include "HresultAssertions.h"
#include "FileNames.h"
#include "GuiTestSupport.h"
#include "Help.h"
#include "JoinDlg.h"
#include "JoinDlgIds.h"
#include "ListView.h"
#include "SessionEnd.h"
#include "SkinButton.h"
#include "media/filters/LameEncoder.h"

#include <Fixtures.h>
#include <TagFixtures.h>

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QComboBox>
#include <QDropEvent>
#include <QLabel>
#include <QMimeData>
#include <QTimer>
#include <QHeaderView>
#include <QProgressBar>
#include <QTest>
#include <QItemSelectionModel>
#include <QTreeView>
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <csignal>
#include <memory>
#include <fstream>

using namespace join_ids;

namespace {

const int kRestingDuringJoin[] = {IDC_BEGIN, IDC_ADD, IDC_DELETE, IDC_MOVE_UP, IDC_MOVE_DOWN,
                                  IDC_PLAY_FILE};
const int kAlwaysEnabled[] = {IDC_STOP, IDC_SETTINGS, IDC_BACK, IDC_EXIT, IDC_HELP, IDC_HOME_PAGE};

using fixtures::Signal;
using fixtures::FolderNames;
using fixtures::TempDir;
namespace fs = std::filesystem;
constexpr REFERENCE_TIME kSecond = 10'000'000;

// An MP3 at 44.1 kHz stereo (1.5 s), a WAV at 22.05 kHz mono (1 s) and a
// WAV at 48 kHz stereo (0.5 s).
struct ThreeFiles {
    TempDir dir;
    QString a = QString::fromStdString((dir / "a.mp3").string());
    QString b = QString::fromStdString((dir / "b.wav").string());
    QString c = QString::fromStdString((dir / "c.wav").string());
    ThreeFiles()
    {
        fixtures::WriteMp3(dir / "a.mp3", Signal{44100, 2, 44100 * 3 / 2});
        fixtures::WriteWav(dir / "b.wav", Signal{22050, 1, 22050});
        fixtures::WriteWav(dir / "c.wav", Signal{48000, 2, 24000});
    }
    QStringList All() const { return {a, b, c}; }
    QString Out(const char* name) const { return QString::fromStdString((dir / name).string()); }
};

QTreeView* List(CJoinDlg& page)
{
    return page.DlgItem<QTreeView>(IDC_FILES);
}

std::vector<std::string> Files(const CJoinDlg& page)
{
    return page.FileList().Paths();
}

std::vector<REFERENCE_TIME> Durations(const CJoinDlg& page)
{
    return page.FileList().Durations();
}

// What the list shows in row `row`, column `column`.
QString Cell(CJoinDlg& page, int row, int column)
{
    return List(page)->model()->index(row, column).data().toString();
}

// The list shows the page's files, and nothing else.
void ExpectInStep(CJoinDlg& page)
{
    QTreeView* list = List(page);
    ASSERT_EQ(list->model(), &page.FileList());
    ASSERT_EQ(std::size_t(list->model()->rowCount()), Files(page).size());
    for (int i = 0; i < list->model()->rowCount(); ++i)
        EXPECT_EQ(ui::FileNameBytes(Cell(page, i, 0)), Files(page)[std::size_t(i)]) << i;
}

void Select(CJoinDlg& page, int row)
{
    QTreeView* list = List(page);
    list->selectionModel()->setCurrentIndex(list->model()->index(row, 0),
                                            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

bool IsSelected(CJoinDlg& page, int row)
{
    return List(page)->selectionModel()->isRowSelected(row, {});
}

void Click(CJoinDlg& page, int id)
{
    QTest::mouseClick(page.GetDlgItem(id), Qt::LeftButton);
}

// Waits for the join to end by itself, as its events arrive.
void WaitForJoinEnd(CJoinDlg& page)
{
    EXPECT_TRUE(QTest::qWaitFor([&] { return !page.IsJoining(); }, 30'000));
}

// Waits until the running join has written some of its output.
bool WaitForProgress(CJoinDlg& page)
{
    return QTest::qWaitFor([&] { return page.DlgItem<QProgressBar>(IDC_PROGRESS)->value() > 0; }, 30'000);
}

// Begins a join into `output` and lets it run to its end.
void JoinInto(CJoinDlg& page, const QString& output)
{
    testsupport::FileDialogAnswers answers;
    answers.Choose({output});
    Click(page, IDC_BEGIN);
    WaitForJoinEnd(page);
}

} // namespace

TEST(JoinPage, MatchesTemplate219)
{
    CJoinDlg page;
    page.show();
    testsupport::ExpectPageMatchesTemplate(page);
    EXPECT_EQ(page.windowTitle(), QStringLiteral("Tarnwick"));
    EXPECT_EQ(page.DlgItem<QProgressBar>(IDC_PROGRESS)->value(), 0);
}

TEST(JoinPage, FileListHasTwoCentredColumnsGridLinesAndSingleRowSelection)
{
    CJoinDlg page;
    page.show();
    auto* files = page.DlgItem<QTreeView>(IDC_FILES);
    ASSERT_NE(files, nullptr);
    const QAbstractItemModel* model = files->model();
    ASSERT_EQ(model->columnCount(), 2);
    EXPECT_EQ(model->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Source File"));
    EXPECT_EQ(model->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Time"));
    EXPECT_EQ(files->header()->sectionSize(0), 300);
    EXPECT_EQ(files->header()->sectionSize(1), 80);
    EXPECT_TRUE(model->headerData(1, Qt::Horizontal, Qt::TextAlignmentRole).toInt() & Qt::AlignHCenter);
    EXPECT_EQ(ui::GetListViewExtendedStyle(files), ui::LVS_EX_GRIDLINES | ui::LVS_EX_FULLROWSELECT);
    EXPECT_EQ(files->selectionMode(), QAbstractItemView::SingleSelection);
    EXPECT_EQ(files->selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_FALSE(files->isHeaderHidden());
    EXPECT_FALSE(files->rootIsDecorated());
}

TEST(JoinPage, OutputFormatHoldsOnlyMp3Selected)
{
    CJoinDlg page;
    page.show();
    auto* format = page.DlgItem<QComboBox>(IDC_OUTPUT_FORMAT);
    ASSERT_EQ(format->count(), 1);
    EXPECT_EQ(format->itemText(0), QStringLiteral("MP3"));
    EXPECT_EQ(format->currentIndex(), 0);
}

TEST(JoinPage, EveryButtonIsSkinnedWithItsTip)
{
    CJoinDlg page;
    page.show();
    const std::vector<std::pair<int, QString>> buttons{
        {IDC_BACK, "Back"},          {IDC_EXIT, "Exit"},
        {IDC_HELP, "Help"},          {IDC_HOME_PAGE, "Home Page"},
        {IDC_ADD, "Add Mp3 Files"},  {IDC_DELETE, "Delete Mp3 Files"},
        {IDC_MOVE_UP, "Move Up"},    {IDC_MOVE_DOWN, "Move Down"},
        {IDC_STOP, "Stop Joining"},  {IDC_PLAY_FILE, "Play The File"},
        {IDC_SETTINGS, "Setting"},   {IDC_BEGIN, "Begin to Join Files"}};
    testsupport::ExpectSkinnedButtons<CSkinButton>(page, buttons);
    for (const auto& [id, tip] : buttons)
        EXPECT_TRUE(page.GetDlgItem(id)->isEnabled()) << id;
}

TEST(JoinPage, EnableControlsTouchesExactlySixButtons)
{
    CJoinDlg page;
    page.show();
    page.EnableControls(false);
    for (int id : kRestingDuringJoin)
        EXPECT_FALSE(page.GetDlgItem(id)->isEnabled()) << id;
    for (int id : kAlwaysEnabled)
        EXPECT_TRUE(page.GetDlgItem(id)->isEnabled()) << id;
    page.EnableControls(true);
    for (int id : kRestingDuringJoin)
        EXPECT_TRUE(page.GetDlgItem(id)->isEnabled()) << id;
}

TEST(JoinPage, BackAndEnterEndWithOkExitEscapeAndCloseBoxWithCancel)
{
    testsupport::ExpectSecondPageEndings<CJoinDlg>(IDC_BACK, IDC_EXIT, IDC_FILES);
}

TEST(JoinPage, HelpAndHomePageLaunch)
{
    std::vector<QUrl> urls;
    help::LaunchHook previous = help::SetLaunchHook([&](const help::LaunchRequest& r) {
        urls.push_back(r.url);
        return true;
    });
    CJoinDlg page;
    page.show();
    QTest::mouseClick(page.GetDlgItem(IDC_HELP), Qt::LeftButton);
    QTest::mouseClick(page.GetDlgItem(IDC_HOME_PAGE), Qt::LeftButton);
    help::SetLaunchHook(std::move(previous));

    EXPECT_TRUE(page.isVisible());
    ASSERT_EQ(urls.size(), 2u);
    EXPECT_EQ(urls[0], QUrl::fromLocalFile(help::HelpFilePath()));
    EXPECT_EQ(urls[1], QUrl(QString::fromLatin1(help::kHomePageUrl)));
}

TEST(JoinPage, AddedFilesAreListedInOrderWithTheirTimesAndAnUnreadableOneWithZero)
{
    ThreeFiles files;
    CJoinDlg page;
    page.show();
    testsupport::FileDialogAnswers answers;
    answers.Choose(files.All() << files.Out("gone.mp3"));
    Click(page, IDC_ADD);

    ASSERT_EQ(answers.Requests().size(), 1u);
    EXPECT_EQ(answers.Requests()[0].kind, ui::FileDialogKind::OpenMultiple);
    EXPECT_EQ(answers.Requests()[0].filters.size(), 3);
    ExpectInStep(page);
    QTreeView* list = List(page);
    ASSERT_EQ(list->model()->rowCount(), 4);
    EXPECT_EQ(Cell(page, 0, 0), files.a);
    EXPECT_EQ(Cell(page, 2, 0), files.c);
    EXPECT_EQ(Cell(page, 0, 1), QStringLiteral("00:00:01"));
    EXPECT_EQ(Cell(page, 3, 1), QStringLiteral("00:00:00"));
    const std::vector<REFERENCE_TIME> expected{kSecond * 3 / 2, kSecond, kSecond / 2, 0};
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_NEAR(double(Durations(page)[i]), double(expected[i]), 10'000.0) << i;
    EXPECT_TRUE(list->toolTip().contains(QStringLiteral("00:00:03"))) << list->toolTip().toStdString();
}

TEST(JoinPage, DeleteAndMovesKeepRowsFilesAndDurationsInStep)
{
    ThreeFiles files;
    CJoinDlg page;
    page.show();
    page.AddFiles(files.All());
    const std::vector<REFERENCE_TIME> durations = Durations(page);

    Select(page, 2);
    Click(page, IDC_MOVE_UP);
    ExpectInStep(page);
    EXPECT_EQ(Files(page)[1], files.c.toStdString());
    EXPECT_EQ(Durations(page)[1], durations[2]);
    EXPECT_TRUE(IsSelected(page, 1));
    Select(page, 0);
    Click(page, IDC_MOVE_UP); // already first
    Click(page, IDC_MOVE_DOWN);
    ExpectInStep(page);
    EXPECT_EQ(Files(page)[1], files.a.toStdString());
    EXPECT_EQ(Durations(page)[0], durations[2]);
    Select(page, 2);
    Click(page, IDC_MOVE_DOWN); // already last
    Click(page, IDC_DELETE);
    ExpectInStep(page);
    EXPECT_EQ(Files(page), (std::vector<std::string>{files.c.toStdString(), files.a.toStdString()}));
    EXPECT_EQ(Durations(page), (std::vector<REFERENCE_TIME>{durations[2], durations[0]}));

    // Delete takes the selected row alone, wherever it stands.
    for (int row : {0, 1, 2}) {
        SCOPED_TRACE(row);
        CJoinDlg fresh;
        fresh.show();
        fresh.AddFiles(files.All());
        const std::vector<std::string> before = Files(fresh);
        Select(fresh, row);
        Click(fresh, IDC_DELETE);
        std::vector<std::string> expected = before;
        expected.erase(expected.begin() + row);
        EXPECT_EQ(Files(fresh), expected);
    }
}

TEST(JoinPage, TheDeleteKeyTakesTheSelectedRowAloneAndNothingWhileJoining)
{
    ThreeFiles files;
    struct Case {
        int row;
        bool joining;
    };
    for (const Case c : {Case{0, false}, Case{1, false}, Case{2, false}, Case{1, true}}) {
        SCOPED_TRACE(testing::Message() << "row " << c.row << (c.joining ? " joining" : ""));
        CJoinDlg page;
        page.show();
        page.AddFiles(files.All());
        std::vector<std::string> expected = Files(page);
        if (!c.joining)
            expected.erase(expected.begin() + c.row);
        page.EnableControls(!c.joining);
        Select(page, c.row);
        List(page)->setFocus();
        QTest::keyClick(List(page), Qt::Key_Delete);
        ExpectInStep(page);
        EXPECT_EQ(Files(page), expected);
    }
}

// What the list view does when a person drags a row within it: the dragged
// rows as Qt's item data, dropped where the pointer is (-1: below the last
// row), then removed where they were.
void DragSelectedRowTo(CJoinDlg& page, int row)
{
    QTreeView* list = List(page);
    QAbstractItemModel* model = list->model();
    std::unique_ptr<QMimeData> data(model->mimeData(list->selectionModel()->selectedIndexes()));
    ASSERT_TRUE(model->canDropMimeData(data.get(), Qt::MoveAction, row, -1, {}));
    ASSERT_TRUE(model->dropMimeData(data.get(), Qt::MoveAction, row, -1, {}));
    for (const QItemSelectionRange& range : list->selectionModel()->selection())
        model->removeRows(range.top(), range.height());
}

TEST(JoinPage, DraggingARowWithinTheListMovesItsFileAndDuration)
{
    ThreeFiles files;
    CJoinDlg page;
    page.show();
    page.AddFiles(files.All());
    const std::vector<REFERENCE_TIME> durations = Durations(page);
    const QString total = List(page)->toolTip();

    Select(page, 2);
    DragSelectedRowTo(page, 0); // above the first row
    ExpectInStep(page);
    EXPECT_EQ(Files(page), (std::vector<std::string>{files.c.toStdString(), files.a.toStdString(),
                                                     files.b.toStdString()}));
    EXPECT_EQ(Durations(page), (std::vector<REFERENCE_TIME>{durations[2], durations[0], durations[1]}));
    Select(page, 0);
    DragSelectedRowTo(page, -1); // onto the empty space below the rows
    EXPECT_EQ(Files(page), (std::vector<std::string>{files.a.toStdString(), files.b.toStdString(),
                                                     files.c.toStdString()}));
    EXPECT_EQ(Durations(page), durations);
    EXPECT_EQ(Cell(page, 2, 1), QStringLiteral("00:00:00")); // c's half second, with its own time
    EXPECT_EQ(List(page)->toolTip(), total);
    // A row is never dropped into another.
    EXPECT_FALSE(List(page)->model()->flags(List(page)->model()->index(0, 0)) & Qt::ItemIsDropEnabled);
}

TEST(JoinPage, PlayOpensTheSelectedFileOrSaysNoneIsSelected)
{
    ThreeFiles files;
    std::vector<QUrl> opened;
    help::LaunchHook previous = help::SetLaunchHook([&](const help::LaunchRequest& r) {
        opened.push_back(r.url);
        return true;
    });
    testsupport::MessageBoxRecorder boxes;
    CJoinDlg page;
    page.show();
    page.AddFiles(files.All());
    Click(page, IDC_PLAY_FILE);
    Select(page, 1);
    Click(page, IDC_PLAY_FILE);
    help::SetLaunchHook(std::move(previous));

    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, QStringLiteral("No File is selected"));
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], QUrl::fromLocalFile(files.b));
}

TEST(JoinPage, PlayWithoutAPlayerSaysSoAndWhatToInstall)
{
    ThreeFiles files;
    help::LaunchHook previous = help::SetLaunchHook([](const help::LaunchRequest&) { return false; });
    testsupport::MessageBoxRecorder boxes;
    CJoinDlg page;
    page.show();
    page.AddFiles(files.All());
    Select(page, 2);
    Click(page, IDC_PLAY_FILE);
    help::SetLaunchHook(std::move(previous));

    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_TRUE(boxes.Boxes()[0].text.contains(files.c)) << boxes.Boxes()[0].text.toStdString();
    EXPECT_TRUE(boxes.Boxes()[0].text.contains(QStringLiteral("Install a player")));
    EXPECT_EQ(boxes.Boxes()[0].icon, ui::MessageIcon::Warning);
}

TEST(JoinPage, AJoinRestsSixButtonsAndWritesTheFilesBackToBack)
{
    ThreeFiles files;
    testsupport::MessageBoxRecorder boxes;
    CJoinDlg page;
    page.show();
    page.AddFiles(files.All());
    {
        testsupport::FileDialogAnswers answers;
        answers.Choose({files.Out("joined.mp3")});
        Click(page, IDC_BEGIN);
        ASSERT_EQ(answers.Requests().size(), 1u);
        EXPECT_EQ(answers.Requests()[0].kind, ui::FileDialogKind::Save);
        EXPECT_EQ(answers.Requests()[0].defaultSuffix, QStringLiteral("mp3"));
        EXPECT_TRUE(page.IsJoining());
        for (int id : kRestingDuringJoin)
            EXPECT_FALSE(page.GetDlgItem(id)->isEnabled()) << id;
        for (int id : kAlwaysEnabled)
            EXPECT_TRUE(page.GetDlgItem(id)->isEnabled()) << id;
        WaitForJoinEnd(page);
    }
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, QStringLiteral("Finished"));
    for (int id : kRestingDuringJoin)
        EXPECT_TRUE(page.GetDlgItem(id)->isEnabled()) << id;
    const fixtures::Decoded joined = fixtures::ReadAudio(files.dir / "joined.mp3");
    EXPECT_EQ(joined.sampleRate, 44100);
    EXPECT_EQ(joined.Frames(), 44100 * 3 / 2 + 44100 + 44100 / 2);
}

TEST(JoinPage, SettingsMadeOnTheEncoderPageAreWhatTheJoinWrites)
{
    ThreeFiles files;
    testsupport::MessageBoxRecorder boxes;
    CJoinDlg page;
    page.show();
    page.AddFiles(files.All());
    // The person on the encoder's page: 320 kbps at 22.05 kHz, mono.
    QString caption;
    QTimer::singleShot(0, [&] {
        auto* settings = qobject_cast<CEncoderSettingsDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(settings, nullptr);
        caption = settings->windowTitle();
        auto choose = [&](const char* name, int value) {
            auto* combo = settings->findChild<QComboBox*>(QString::fromLatin1(name));
            combo->setCurrentIndex(combo->findData(value));
        };
        choose("bitRate", 320);
        choose("sampleRate", 22050);
        choose("channelMode", 3);
        EXPECT_TRUE(settings->findChild<QLabel*>(QStringLiteral("note"))->text().contains(QStringLiteral("160 kbps")));
        settings->accept();
    });
    Click(page, IDC_SETTINGS);
    EXPECT_EQ(caption, QStringLiteral("Lame"));
    JoinInto(page, files.Out("joined.mp3"));

    // Told what will be used before it is used, then finished.
    ASSERT_EQ(boxes.Boxes().size(), 2u);
    EXPECT_TRUE(boxes.Boxes()[0].text.contains(QStringLiteral("160 kbps will be used")))
        << boxes.Boxes()[0].text.toStdString();
    EXPECT_EQ(boxes.Boxes()[1].text, QStringLiteral("Finished"));
    const fixtures::Decoded joined = fixtures::ReadAudio(files.dir / "joined.mp3");
    EXPECT_EQ(joined.sampleRate, 22050);
    EXPECT_EQ(joined.channels, 1);
    EXPECT_EQ(joined.Frames(), 22050 * 3);
    // 3 s at 160 kbps, give or take the frame rounding.
    EXPECT_NEAR(double(fs::file_size(files.dir / "joined.mp3")), 3 * 160'000 / 8.0, 3000.0);

    // The sources' own rate: the highest of them, where 320 kbps fits.
    EXPECT_SUCCEEDED(GetEncoderProperties(page.Encoder())->set_SampleRate(kSourceSampleRate));
    JoinInto(page, files.Out("own.mp3"));
    EXPECT_EQ(boxes.Boxes().size(), 3u);
    const fixtures::Decoded own = fixtures::ReadAudio(files.dir / "own.mp3");
    EXPECT_EQ(own.sampleRate, 48000);
    EXPECT_EQ(own.Frames(), 48000 * 3);
}

TEST(JoinPage, StopAnswersAtOnceAndKeepsAPlayableShorterFile)
{
    TempDir dir;
    const std::int64_t frames = 180 * 44100;
    fixtures::WriteWav(dir / "long.wav", Signal{44100, 2, frames});
    testsupport::MessageBoxRecorder boxes;
    CJoinDlg page;
    page.show();
    page.AddFiles({QString::fromStdString((dir / "long.wav").string())});
    testsupport::FileDialogAnswers answers;
    answers.Choose({QString::fromStdString((dir / "part.mp3").string())});
    Click(page, IDC_BEGIN);
    ASSERT_TRUE(page.IsJoining());
    ASSERT_TRUE(WaitForProgress(page));
    Click(page, IDC_STOP);
    EXPECT_FALSE(page.IsJoining());
    QCoreApplication::processEvents(); // news still queued from the stopped join

    EXPECT_TRUE(boxes.Boxes().empty());
    EXPECT_EQ(page.DlgItem<QProgressBar>(IDC_PROGRESS)->value(), 0);
    EXPECT_TRUE(page.GetDlgItem(IDC_BEGIN)->isEnabled());
    const fixtures::Decoded part = fixtures::ReadAudio(dir / "part.mp3");
    EXPECT_GT(part.Frames(), 0);
    EXPECT_LT(part.Frames(), frames);
}

TEST(JoinPage, AnInputCutShortDuringTheJoinEndsInAnErrorLeavingNoFile)
{
    TempDir dir;
    const fs::path input = dir / "long.wav";
    fixtures::WriteWav(input, Signal{44100, 2, 180 * 44100});
    testsupport::MessageBoxRecorder boxes;
    CJoinDlg page;
    page.show();
    page.AddFiles({QString::fromStdString(input.string())});
    testsupport::FileDialogAnswers answers;
    answers.Choose({QString::fromStdString((dir / "joined.mp3").string())});
    Click(page, IDC_BEGIN);
    ASSERT_TRUE(page.IsJoining());
    ASSERT_TRUE(WaitForProgress(page));
    fs::resize_file(input, fs::file_size(input) / 20);
    WaitForJoinEnd(page);

    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].caption, QStringLiteral("Error"));
    EXPECT_EQ(boxes.Boxes()[0].icon, ui::MessageIcon::Error);
    EXPECT_TRUE(boxes.Boxes()[0].text.contains(QStringLiteral("long.wav"))) << boxes.Boxes()[0].text.toStdString();
    EXPECT_EQ(FolderNames(dir.Path()), (std::vector<std::string>{"long.wav"}));
    EXPECT_TRUE(page.GetDlgItem(IDC_BEGIN)->isEnabled());
    EXPECT_EQ(page.DlgItem<QProgressBar>(IDC_PROGRESS)->value(), 0);
}

TEST(JoinPage, BeginRefusesWhatCannotBeJoinedAndWritesNothing)
{
    ThreeFiles files;
    { std::ofstream(files.dir / "empty.mp3") << "no audio here"; }
    testsupport::MessageBoxRecorder boxes;
    CJoinDlg page;
    page.show();
    auto begin = [&](const QString& output) {
        testsupport::FileDialogAnswers answers;
        answers.Choose({output});
        Click(page, IDC_BEGIN);
        EXPECT_FALSE(page.IsJoining());
        return answers.Requests().size();
    };
    EXPECT_EQ(begin(files.Out("out.mp3")), 0u); // an empty list

    page.AddFiles(files.All());
    EXPECT_EQ(begin(files.b), 1u); // the output is one of the inputs

    page.AddFiles({files.Out("empty.mp3")});
    EXPECT_EQ(begin(files.Out("out.mp3")), 0u); // a file without audio

    Select(page, 3);
    Click(page, IDC_DELETE);
    fs::rename(files.dir / "c.wav", files.dir / "moved.wav");
    EXPECT_EQ(begin(files.Out("out.mp3")), 0u); // a source gone

    fs::rename(files.dir / "moved.wav", files.dir / "c.wav");
    fs::resize_file(files.dir / "c.wav", fs::file_size(files.dir / "c.wav") / 2);
    EXPECT_EQ(begin(files.Out("out.mp3")), 1u); // a source cut short since it was listed
    fs::rename(files.dir / "c.wav", files.dir / "moved.wav");

    ASSERT_EQ(boxes.Boxes().size(), 5u);
    EXPECT_TRUE(boxes.Boxes()[4].text.contains(files.c));
    EXPECT_TRUE(boxes.Boxes()[0].text.contains(QStringLiteral("no files")));
    EXPECT_EQ(boxes.Boxes()[1].caption, QStringLiteral("Error"));
    EXPECT_TRUE(boxes.Boxes()[1].text.contains(files.b));
    EXPECT_TRUE(boxes.Boxes()[2].text.contains(files.Out("empty.mp3")));
    EXPECT_TRUE(boxes.Boxes()[3].text.contains(files.c));
    EXPECT_EQ(FolderNames(files.dir.Path()),
              (std::vector<std::string>{"a.mp3", "b.wav", "empty.mp3", "moved.wav"}));
    EXPECT_EQ(fixtures::ReadAudio(files.dir / "b.wav").Frames(), 22050);
    EXPECT_TRUE(page.GetDlgItem(IDC_BEGIN)->isEnabled());
}

TEST(JoinPage, FilesDroppedFromTheFileManagerAreAddedAndOthersRefusedByName)
{
    ThreeFiles files;
    { std::ofstream(files.dir / "notes.txt") << "text"; }
    testsupport::MessageBoxRecorder boxes;
    CJoinDlg page;
    page.show();
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(files.c), QUrl::fromLocalFile(files.Out("notes.txt")),
                  QUrl::fromLocalFile(files.a)});
    QWidget* viewport = List(page)->viewport();
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &drop);

    ExpectInStep(page);
    EXPECT_EQ(Files(page), (std::vector<std::string>{files.c.toStdString(), files.a.toStdString()}));
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_TRUE(boxes.Boxes()[0].text.contains(files.Out("notes.txt")));
}

TEST(JoinPage, ClosingThePageDuringAJoinLeavesNoFile)
{
    TempDir dir;
    fixtures::WriteWav(dir / "long.wav", Signal{44100, 2, 180 * 44100});
    // "session end": the terminal the program runs from closes (SIGHUP).
    for (const char* how : {"exit", "escape", "close box", "session end"}) {
        SCOPED_TRACE(how);
        testsupport::MessageBoxRecorder boxes;
        CJoinDlg page;
        page.show();
        page.AddFiles({QString::fromStdString((dir / "long.wav").string())});
        testsupport::FileDialogAnswers answers;
        answers.Choose({QString::fromStdString((dir / "joined.mp3").string())});
        Click(page, IDC_BEGIN);
        ASSERT_TRUE(page.IsJoining());
        ASSERT_TRUE(WaitForProgress(page));
        const std::string way = how;
        if (way == "exit") {
            Click(page, IDC_EXIT);
        } else if (way == "escape") {
            QTest::keyClick(&page, Qt::Key_Escape);
        } else if (way == "close box") {
            page.close();
        } else {
            ui::CancelPagesAtSessionEnd();
            ::raise(SIGHUP);
            EXPECT_TRUE(QTest::qWaitFor([&] { return !page.isVisible(); }, 10'000));
        }
        EXPECT_EQ(page.Result(), ui::IDCANCEL);
        EXPECT_FALSE(page.IsJoining());
        QCoreApplication::processEvents(); // news still queued from the stopped join
        EXPECT_EQ(FolderNames(dir.Path()), (std::vector<std::string>{"long.wav"})) << "a partial file is left";
        EXPECT_TRUE(boxes.Boxes().empty());
    }
}

TEST(JoinPage, AJoinThatCannotBePutInPlaceIsAnErrorNotFinished)
{
    TempDir dir;
    fixtures::WriteWav(dir / "long.wav", Signal{44100, 2, 180 * 44100});
    testsupport::MessageBoxRecorder boxes;
    CJoinDlg page;
    page.show();
    page.AddFiles({QString::fromStdString((dir / "long.wav").string())});
    const fs::path out = dir / "joined.mp3";
    testsupport::FileDialogAnswers answers;
    answers.Choose({QString::fromStdString(out.string())});
    Click(page, IDC_BEGIN);
    ASSERT_TRUE(page.IsJoining());
    ASSERT_TRUE(WaitForProgress(page));
    // Someone makes a folder of that name, with files, while the join runs.
    fs::create_directory(out);
    { std::ofstream(out / "theirs.txt") << "keep"; }
    WaitForJoinEnd(page);

    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].caption, QStringLiteral("Error"));
    EXPECT_TRUE(boxes.Boxes()[0].text.contains(QString::fromStdString(out.string())))
        << boxes.Boxes()[0].text.toStdString();
    EXPECT_EQ(FolderNames(dir.Path()), (std::vector<std::string>{"joined.mp3", "long.wav"}));
    EXPECT_EQ(FolderNames(out), std::vector<std::string>{"theirs.txt"});
}

TEST(JoinPage, FilesWhoseNamesAreNotUtf8AreListedAndJoined)
{
    // Latin-1 names, as another system wrote them.
    TempDir dir;
    fixtures::WriteWav(dir / "eins \xe4.wav", Signal{22050, 1, 22050});
    fixtures::WriteMp3(dir / "zwei \xf6.mp3", Signal{44100, 2, 44100});
    const QStringList names{ui::FileNameFromBytes((dir / "eins \xe4.wav").string()),
                            ui::FileNameFromBytes((dir / "zwei \xf6.mp3").string())};
    testsupport::MessageBoxRecorder boxes;
    CJoinDlg page;
    page.show();
    page.AddFiles(names);
    ExpectInStep(page);
    EXPECT_EQ(Cell(page, 0, 0), names[0]);
    EXPECT_EQ(Cell(page, 0, 1), QStringLiteral("00:00:01"));
    EXPECT_EQ(Cell(page, 1, 1), QStringLiteral("00:00:01"));

    const fs::path out = dir / "alle \xfc.mp3";
    JoinInto(page, ui::FileNameFromBytes(out.string()));
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, QStringLiteral("Finished"));
    EXPECT_EQ(fixtures::ReadAudio(out).Frames(), 2 * 44100);
}

TEST(JoinPage, TheMergedFilesTagsAreSeenAndEditedBesideTheEncodersSettings)
{
    ThreeFiles files;
    fixtures::WriteTags(files.dir / "a.mp3", fixtures::TagStyle::Id3v23, {.cover = true});
    testsupport::MessageBoxRecorder boxes;
    CJoinDlg page;
    page.show();
    page.AddFiles(files.All());
    // The person sees the first file's tags, names the book and drops the cover.
    std::map<std::string, QString> shown;
    bool chaptersOn = false;
    QTimer::singleShot(0, [&] {
        auto* settings = qobject_cast<CEncoderSettingsDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(settings, nullptr);
        for (const char* name : {"title", "artist", "album", "year", "genre"}) {
            auto* edit = settings->findChild<QLineEdit*>(QString::fromLatin1(name));
            ASSERT_NE(edit, nullptr) << name;
            shown[name] = edit->text();
        }
        // Every new control can be told by a screen reader, and its label leads to it.
        auto* box = settings->findChild<QGroupBox*>(QStringLiteral("mergeTags"));
        ASSERT_NE(box, nullptr);
        for (QWidget* control : box->findChildren<QWidget*>()) {
            if (control->focusPolicy() != Qt::NoFocus) {
                EXPECT_FALSE(control->accessibleName().isEmpty()) << control->objectName().toStdString();
            }
        }
        int buddies = 0;
        for (QLabel* label : box->findChildren<QLabel*>())
            buddies += label->buddy() != nullptr;
        EXPECT_EQ(buddies, 6) << "title, artist, album, year, genre, cover";
        auto* chapters = settings->findChild<QCheckBox*>(QStringLiteral("chapters"));
        chaptersOn = chapters->isChecked();
        EXPECT_EQ(chapters->text(), QStringLiteral("Chapter marks for each file"));
        settings->findChild<QLineEdit*>(QStringLiteral("title"))->setText(QStringLiteral("My Book"));
        auto* cover = settings->findChild<QComboBox*>(QStringLiteral("cover"));
        // A chosen file that is no picture is refused with the reason, and the cover stays.
        testsupport::FileDialogAnswers answers;
        answers.Choose({files.b});
        const int before = cover->count();
        QTest::mouseClick(settings->findChild<QPushButton*>(QStringLiteral("chooseCover")), Qt::LeftButton);
        EXPECT_EQ(cover->count(), before);
        cover->setCurrentIndex(cover->findText(QStringLiteral("No picture")));
        settings->accept();
    });
    Click(page, IDC_SETTINGS);
    EXPECT_EQ(shown["title"], QStringLiteral("The Album"));
    EXPECT_EQ(shown["artist"], QStringLiteral("The Artist"));
    EXPECT_EQ(shown["year"], QStringLiteral("2021"));
    EXPECT_EQ(shown["genre"], QStringLiteral("Rock"));
    EXPECT_TRUE(chaptersOn);

    JoinInto(page, files.Out("book.mp3"));
    ASSERT_EQ(boxes.Boxes().size(), 2u);
    EXPECT_EQ(boxes.Boxes()[0].text, files.b + QStringLiteral(" is not a JPEG or PNG picture"));
    EXPECT_EQ(boxes.Boxes()[1].text, QStringLiteral("Finished"));
    const fixtures::TagsRead read = fixtures::ReadTagsBack(files.dir / "book.mp3");
    EXPECT_EQ(read.title, "My Book");
    EXPECT_EQ(read.album, "The Album");
    EXPECT_EQ(read.coverBytes, 0u);
    EXPECT_EQ(read.chapters, (std::vector<fixtures::Chapter>{{0, 1500, "Song Title"}, {1500, 2500, "b"}, {2500, 3000, "c"}}));
}
