// The tracks page through its widgets, on files made here: cuts placed on
// the waveform, dragged, nudged, typed and titled, undone and redone, with
// the table and the waveform telling the same; a cue sheet imported; Write
// all and Cancel; the waveform's columns against the file's own levels; and
// the ways in (the split page's Tracks... button, a cue sheet at start).

#include "Fixtures.h"
#include "FunctionDlg.h"
#include "GuiTestSupport.h"
#include "Help.h"
#include "SplitDlg.h"
#include "TracksEngine.h"
#include "TracksPage.h"
#include "TracksToolDialogs.h"

#include <QAbstractSpinBox>
#include <QAccessible>
#include <QSet>
#include <QDir>
#include <QDoubleSpinBox>
#include <QHeaderView>
#include <QLabel>
#include <QSpinBox>
#include <QTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <fstream>

namespace {

using Time = tracktime::Time;
using tracktime::kMillisecond;
using tracktime::kSecond;
namespace fs = std::filesystem;

// A mono 8 kHz WAV of 10 s (with a faint hiss): a 440 Hz tone at half
// scale for 4 s, 1 s of near silence, then the tone at a quarter scale.
void WriteToneWav(const fs::path& path)
{
    fixtures::WriteTonesAndGaps(path, {{4.0, 0.5}, {1.0, 0.0}, {5.0, 0.25}});
}

struct Files {
    fixtures::TempDir dir;
    fs::path tone = dir / "tone.wav";
    fs::path longMp3 = dir / "long.mp3";
    Files()
    {
        WriteToneWav(tone);
        fixtures::WriteMp3(longMp3, fixtures::Signal{44100, 2, 40 * 44100});
    }
};

const Files& TestFiles()
{
    static const Files files;
    return files;
}

QString Text(const fs::path& path)
{
    return QString::fromStdString(path.string());
}

std::unique_ptr<CTracksPage> OpenPage(const fs::path& source, std::vector<Time> cuts = {})
{
    auto page = std::make_unique<CTracksPage>();
    page->m_strSourcePath = Text(source);
    page->m_initialCuts = std::move(cuts);
    page->resize(1000, 720);
    page->show();
    page->LoadSource();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !page->IsScanning(); }, 20000));
    QApplication::processEvents();
    return page;
}

QString Cell(const CTracksPage& page, int row, int column)
{
    QTableView* table = page.Table();
    return table->model()->index(row, column).data().toString();
}

// The table and the waveform show the same cuts, and the model's tracks.
void ExpectTableAndWaveformAgree(CTracksPage& page)
{
    const PageTracks& tracks = page.Model().Tracks();
    ASSERT_EQ(page.Table()->model()->rowCount(), static_cast<int>(tracks.size()));
    std::vector<Time> starts;
    for (std::size_t i = 0; i < tracks.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(Cell(page, static_cast<int>(i), TrackListModel::ColStart), tracktime::Format(tracks[i].start));
        EXPECT_EQ(Cell(page, static_cast<int>(i), TrackListModel::ColEnd), tracktime::Format(tracks[i].end));
        if (i > 0)
            starts.push_back(tracks[i].start);
    }
    EXPECT_EQ(page.Waveform()->Cuts(), starts);
}

QPoint AtTime(const WaveformView& view, Time t)
{
    return {static_cast<int>(std::lround(view.XOfTime(t))), view.height() / 2};
}

void Drag(WaveformView& view, QPoint from, QPoint to)
{
    QTest::mousePress(&view, Qt::LeftButton, Qt::NoModifier, from);
    QMouseEvent move(QEvent::MouseMove, QPointF(to), view.mapToGlobal(QPointF(to)), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(&view, &move);
    QTest::mouseRelease(&view, Qt::LeftButton, Qt::NoModifier, to);
}

template <class W>
W* Named(QWidget* root, const QString& name)
{
    for (W* w : root->findChildren<W*>())
        if (w->accessibleName() == name)
            return w;
    ADD_FAILURE() << "no control named " << name.toStdString();
    return nullptr;
}

// Runs `play` on the modal dialog that `open` shows, as the person would.
template <class Dialog>
void OnDialog(const std::function<void()>& open, const std::function<void(Dialog&)>& play)
{
    bool played = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        played = true;
        play(*dialog);
    });
    open();
    EXPECT_TRUE(played);
}


} // namespace

TEST(TracksPage, CutsPlacedDraggedNudgedTypedUndoneAndRedone)
{
    testsupport::MessageBoxRecorder boxes;
    auto page = OpenPage(TestFiles().tone, {3 * kSecond});
    WaveformView& wave = *page->Waveform();
    ASSERT_EQ(page->Model().Tracks().size(), 2u); // the first cut came with the page
    ExpectTableAndWaveformAgree(*page);

    // Double-click places a cut; the table gets a row selected for it.
    QTest::mouseDClick(&wave, Qt::LeftButton, Qt::NoModifier, AtTime(wave, 7 * kSecond));
    ASSERT_EQ(page->Model().Cuts().size(), 2u);
    const Time placed = page->Model().Cuts()[1];
    EXPECT_NEAR(static_cast<double>(placed), 7.0 * kSecond, wave.ViewLength() / 500.0);
    EXPECT_EQ(wave.SelectedCut(), 1);
    EXPECT_EQ(page->Table()->selectionModel()->selectedRows().value(0).row(), 2);
    ExpectTableAndWaveformAgree(*page);

    // The first mark dragged to about 4.5 s.
    Drag(wave, AtTime(wave, 3 * kSecond), AtTime(wave, 45 * kSecond / 10));
    const Time dragged = page->Model().Cuts()[0];
    EXPECT_NEAR(static_cast<double>(dragged), 4.5 * kSecond, wave.ViewLength() / 500.0);
    ExpectTableAndWaveformAgree(*page);

    // Nudged: Right 10 ms, Shift+Right 1 s, Left 10 ms.
    wave.setFocus();
    QTest::keyClick(&wave, Qt::Key_Right);
    QTest::keyClick(&wave, Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(&wave, Qt::Key_Left);
    EXPECT_EQ(page->Model().Cuts()[0], dragged + kSecond);
    ExpectTableAndWaveformAgree(*page);

    // The second track's end typed into the table moves the second cut.
    QTableView& table = *page->Table();
    const QModelIndex end = table.model()->index(1, TrackListModel::ColEnd);
    ASSERT_TRUE(table.model()->setData(end, QStringLiteral("00:00:08.250")));
    EXPECT_EQ(page->Model().Cuts()[1], 8250 * kMillisecond);
    EXPECT_FALSE(table.model()->setData(end, QStringLiteral("8 and a bit")));
    ExpectTableAndWaveformAgree(*page);

    // Undo walks back through every step, redo forward again.
    const PageTracks last = page->Model().Tracks();
    const struct {
        Time firstCut;
        std::size_t cuts;
    } history[] = {
        {dragged + kSecond, 2}, // before the typed end
        {dragged + kSecond + 10 * kMillisecond, 2},
        {dragged + 10 * kMillisecond, 2},
        {dragged, 2},
        {3 * kSecond, 2}, // before the drag
        {3 * kSecond, 1}, // before the double-click
    };
    for (const auto& step : history) {
        QTest::keyClick(page.get(), Qt::Key_Z, Qt::ControlModifier);
        ASSERT_EQ(page->Model().Cuts().size(), step.cuts);
        EXPECT_EQ(page->Model().Cuts()[0], step.firstCut);
        ExpectTableAndWaveformAgree(*page);
    }
    for (std::size_t i = 0; i < std::size(history); ++i)
        QTest::keyClick(page.get(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(page->Model().Tracks(), last);
    ExpectTableAndWaveformAgree(*page);

    // Delete on the selected cut, then undone.
    wave.SetSelectedCut(0);
    wave.setFocus();
    QTest::keyClick(&wave, Qt::Key_Delete);
    EXPECT_EQ(page->Model().Cuts().size(), 1u);
    QTest::keyClick(page.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(page->Model().Tracks(), last);
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST(TracksPage, TitlesTypedInTheTableAreUndoneAndRedone)
{
    auto page = OpenPage(TestFiles().tone, {5 * kSecond});
    QTableView& table = *page->Table();
    table.setFocus();
    for (int row : {0, 1}) {
        table.setCurrentIndex(table.model()->index(row, TrackListModel::ColTitle));
        QTest::keyClick(&table, Qt::Key_F2);
        auto* editor = qobject_cast<QLineEdit*>(table.indexWidget(table.currentIndex()));
        ASSERT_NE(editor, nullptr);
        QTest::keyClicks(editor, row == 0 ? QStringLiteral("Ouverture") : QStringLiteral("Finale"));
        QTest::keyClick(editor, Qt::Key_Return);
        QApplication::processEvents(); // the delegate commits a moment after the key
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    EXPECT_EQ(Cell(*page, 0, TrackListModel::ColTitle), QStringLiteral("Ouverture"));
    EXPECT_EQ(Cell(*page, 1, TrackListModel::ColTitle), QStringLiteral("Finale"));
    EXPECT_TRUE(page->ExampleName().contains(QStringLiteral("Ouverture"))) << page->ExampleName().toStdString();
    QTest::keyClick(page.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Cell(*page, 1, TrackListModel::ColTitle), QString());
    EXPECT_EQ(Cell(*page, 0, TrackListModel::ColTitle), QStringLiteral("Ouverture"));
    QTest::keyClick(page.get(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(Cell(*page, 1, TrackListModel::ColTitle), QStringLiteral("Finale"));
}

TEST(TracksPage, WaveformColumnsMatchTheLevelsOfTheFile)
{
    auto page = OpenPage(TestFiles().tone);
    WaveformView& wave = *page->Waveform();
    wave.resize(1000, 200);
    wave.FitAll();
    ASSERT_GE(wave.LevelCount(), 999u);
    // 10 s over 1000 columns: 10 ms a column, 4.4 periods of the tone each.
    const struct {
        int column;
        float peak;
    } cases[] = {{50, 0.5f}, {399, 0.5f}, {450, 0.0f}, {520, 0.25f}, {990, 0.25f}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.column);
        WaveformView::Level level;
        ASSERT_TRUE(wave.ColumnPeak(c.column, level));
        EXPECT_NEAR(level.max, c.peak, 0.01);
        EXPECT_NEAR(level.min, -c.peak, 0.01);
    }
}

TEST(TracksPage, CueSheetImportedFillsTheTableAndTheWaveform)
{
    testsupport::MessageBoxRecorder boxes;
    const fs::path cue = TestFiles().dir / "tone.cue";
    {
        std::ofstream out(cue, std::ios::binary);
        out << "PERFORMER \"Trio\"\nTITLE \"Tones\"\nFILE \"tone.wav\" WAVE\n"
               "  TRACK 01 AUDIO\n    TITLE \"Loud\"\n    INDEX 01 00:00:00\n"
               "  TRACK 02 AUDIO\n    TITLE \"Gap\"\n    PERFORMER \"Nobody\"\n    INDEX 01 00:04:00\n"
               "  TRACK 03 AUDIO\n    TITLE \"Soft\"\n    INDEX 01 00:05:00\n";
    }
    auto page = OpenPage(TestFiles().tone);
    testsupport::FileDialogAnswers dialogs;
    dialogs.Choose({Text(cue)});
    QPushButton* import = Named<QPushButton>(page.get(), QStringLiteral("Import cue sheet"));
    ASSERT_NE(import, nullptr);
    QTest::mouseClick(import, Qt::LeftButton);
    ASSERT_EQ(page->Model().Tracks().size(), 3u);
    EXPECT_EQ(page->Model().Cuts(), (std::vector<Time>{4 * kSecond, 5 * kSecond}));
    EXPECT_EQ(Cell(*page, 0, TrackListModel::ColTitle), QStringLiteral("Loud"));
    EXPECT_EQ(Cell(*page, 1, TrackListModel::ColPerformer), QStringLiteral("Nobody"));
    EXPECT_EQ(Cell(*page, 2, TrackListModel::ColEnd), QStringLiteral("00:00:10.000"));
    ExpectTableAndWaveformAgree(*page);
    EXPECT_TRUE(boxes.Boxes().empty());

    // A sheet with a track past the end is refused with its line; the
    // tracks stay as they were.
    const fs::path bad = TestFiles().dir / "bad.cue";
    std::ofstream(bad, std::ios::binary) << "FILE \"tone.wav\" WAVE\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n"
                                            "  TRACK 02 AUDIO\n    INDEX 01 00:40:00\n";
    dialogs.Choose({Text(bad)});
    QTest::mouseClick(import, Qt::LeftButton);
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].icon, ui::MessageIcon::Error);
    EXPECT_TRUE(boxes.Boxes()[0].text.contains(QStringLiteral("line 5"))) << boxes.Boxes()[0].text.toStdString();
    EXPECT_EQ(page->Model().Tracks().size(), 3u);

    // The same sheet given at start opens the page with its source and tracks.
    EXPECT_EQ(CueSheetSource(Text(cue)), Text(TestFiles().tone));
    testsupport::ModalRunRecorder runs([&](ui::CDialogPage& run) {
        auto& tracks = dynamic_cast<CTracksPage&>(run);
        tracks.show();
        tracks.LoadSource();
        EXPECT_EQ(tracks.m_strSourcePath, Text(TestFiles().tone));
        EXPECT_EQ(tracks.Model().Tracks().size(), 3u);
        EXPECT_FALSE(tracks.Model().UndoStack().canUndo());
        return ui::IDCANCEL;
    });
    CFunctionDlg first;
    EXPECT_FALSE(first.OpenStartFiles({Text(cue)}));
    EXPECT_EQ(runs.Runs(), QStringList{QStringLiteral("CTracksPage")});
}

TEST(TracksPage, CueSheetSourceIsTheFileItNamesOrTheOneBesideIt)
{
    fixtures::TempDir dir;
    WriteToneWav(dir / "album.mp3"); // any audio will do: only the name counts here
    const struct {
        const char* sheet;
        const char* text;
        const char* expected;
    } cases[] = {
        {"album.cue", "FILE \"album.mp3\" MP3\n", "album.mp3"},
        {"album.cue", "FILE \"album.wav\" WAVE\n", "album.mp3"},  // the sheet's own name
        {"other.cue", "FILE \"album.flac\" WAVE\n", "album.mp3"}, // the named file's base name
        {"other.cue", "FILE \"gone.wav\" WAVE\n", "gone.wav"},    // nothing there: the page will say so
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        std::ofstream(dir / c.sheet, std::ios::binary) << "\xEF\xBB\xBF" << c.text;
        EXPECT_EQ(CueSheetSource(Text(dir / c.sheet)), Text(dir / c.expected));
    }
}

TEST(TracksPage, WriteAllWritesTheEngineTracksAndCancelRemovesThePartialOne)
{
    testsupport::MessageBoxRecorder boxes(ui::IDNO);
    auto page = OpenPage(TestFiles().tone, {4 * kSecond, 5 * kSecond});
    fixtures::TempDir out;
    page->SetOutputFolder(Text(out.Path()));
    QTest::mouseClick(Named<QPushButton>(page.get(), QStringLiteral("Write all")), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !page->IsWriting() && !boxes.Boxes().empty(); }, 30000));
    const std::vector<std::string> names = fixtures::FolderNames(out.Path());
    ASSERT_EQ(names.size(), 3u);
    // Lossless pieces of a WAV: end to end they are the source.
    std::vector<float> joined;
    for (const std::string& name : names) {
        const fixtures::Decoded piece = fixtures::ReadAudio(out.Path() / name);
        joined.insert(joined.end(), piece.samples.begin(), piece.samples.end());
    }
    const fixtures::Decoded source = fixtures::ReadAudio(TestFiles().tone);
    EXPECT_EQ(joined, source.samples);
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_TRUE(boxes.Boxes()[0].text.contains(QStringLiteral("3"))) << boxes.Boxes()[0].text.toStdString();

    // A longer job re-encoded, cancelled at once: what stays are complete
    // pieces the page names, and nothing else.
    auto longPage = OpenPage(TestFiles().longMp3, {10 * kSecond, 20 * kSecond, 30 * kSecond});
    fixtures::TempDir cancelled;
    longPage->SetOutputFolder(Text(cancelled.Path()));
    for (QRadioButton* r : longPage->findChildren<QRadioButton*>()) {
        if (r->text() == QStringLiteral("MP&3"))
            r->setChecked(true);
    }
    testsupport::MessageBoxRecorder stopBoxes;
    longPage->OnWriteAll();
    ASSERT_TRUE(longPage->IsWriting());
    QTest::mouseClick(Named<QPushButton>(longPage.get(), QStringLiteral("Cancel")), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !longPage->IsWriting() && !stopBoxes.Boxes().empty(); }, 30000));
    const std::vector<std::string> left = fixtures::FolderNames(cancelled.Path());
    EXPECT_LT(left.size(), 4u);
    const QString told = stopBoxes.Boxes()[0].text;
    for (const std::string& name : left) {
        EXPECT_EQ(name.front() == '.', false) << name; // no hidden temporary stays
        EXPECT_TRUE(told.contains(QString::fromStdString(name))) << told.toStdString();
    }
}

// After Write all, Yes opens the output folder; a desktop with nothing to
// show folders is told, with the folder's name, instead of nothing at all.
TEST(TracksPage, WrittenTracksOpenTheirFolderOrSayWhereTheyAre)
{
    for (const bool desktopOpensFolders : {true, false}) {
        SCOPED_TRACE(desktopOpensFolders ? "opens" : "nothing opens folders");
        QList<QUrl> opened;
        help::LaunchHook previous = help::SetLaunchHook([&](const help::LaunchRequest& r) {
            opened << r.url;
            return desktopOpensFolders;
        });
        testsupport::MessageBoxRecorder boxes(ui::IDYES);
        auto page = OpenPage(TestFiles().tone, {5 * kSecond});
        fixtures::TempDir out;
        page->SetOutputFolder(Text(out.Path()));
        page->OnWriteAll();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !page->IsWriting() && !boxes.Boxes().empty(); }, 30000));
        help::SetLaunchHook(std::move(previous));
        EXPECT_EQ(opened, QList<QUrl>{QUrl::fromLocalFile(Text(out.Path()))});
        ASSERT_EQ(boxes.Boxes().size(), desktopOpensFolders ? 1u : 2u);
        if (!desktopOpensFolders) {
            EXPECT_TRUE(boxes.Boxes()[1].text.contains(QDir::toNativeSeparators(Text(out.Path()))))
                << boxes.Boxes()[1].text.toStdString();
        }
    }
}

TEST(TracksPage, SplitPageTracksButtonOpensThePageWithTheBreakpointsAndBackReturns)
{
    testsupport::MessageBoxRecorder boxes;
    CSplitDlg split;
    split.m_strSourcePath = Text(TestFiles().tone);
    split.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return split.HoldsGraph(); }, 10000));
    split.SetDlgItemText(1010, QStringLiteral("00:00:02"));
    split.OnAddTypedBreakpoint();
    split.SetDlgItemText(1010, QStringLiteral("00:00:06"));
    split.OnAddTypedBreakpoint();
    ASSERT_EQ(split.Breakpoints().size(), 2u);

    QWidget* button = split.GetDlgItem(1070);
    ASSERT_NE(button, nullptr);
    EXPECT_FALSE(button->toolTip().isEmpty());
    EXPECT_FALSE(button->accessibleName().isEmpty());
    testsupport::ModalRunRecorder runs([&](ui::CDialogPage& run) {
        auto& tracks = dynamic_cast<CTracksPage&>(run);
        tracks.show();
        tracks.LoadSource();
        EXPECT_EQ(tracks.Model().Cuts(), (std::vector<Time>{2 * kSecond, 6 * kSecond}));
        // The first cuts are where the page starts, not a step to undo.
        EXPECT_FALSE(tracks.Model().UndoStack().canUndo());
        return ui::IDOK; // Back
    });
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(runs.Runs(), QStringList{QStringLiteral("CTracksPage")});
    EXPECT_TRUE(split.isVisible());
    EXPECT_TRUE(split.HoldsGraph());
    EXPECT_EQ(split.Breakpoints().size(), 2u);
}

TEST(TracksPage, EveryControlHasANameAndTheKeyboardReachesIt)
{
    auto page = OpenPage(TestFiles().tone, {5 * kSecond});
    EqualPartsDialog parts(page.get());
    SilenceDialog silences(-50.0, [](double, double, bool) { return QString(); }, page.get());
    parts.show();
    silences.show();
    for (QWidget* root : {static_cast<QWidget*>(page.get()), static_cast<QWidget*>(&parts),
                          static_cast<QWidget*>(&silences)}) {
        int stops = 0;
        for (QWidget* w : root->findChildren<QWidget*>()) {
            // A spin box's line edit is part of the spin box, which carries the name.
            if (!(w->focusPolicy() & Qt::TabFocus) || !w->isVisibleTo(root) || w->window() != root
                || qobject_cast<QAbstractSpinBox*>(w->parentWidget()))
                continue;
            ++stops;
            QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
            ASSERT_NE(a, nullptr);
            EXPECT_FALSE(a->text(QAccessible::Name).trimmed().isEmpty())
                << w->metaObject()->className() << " " << w->objectName().toStdString();
        }
        EXPECT_GT(stops, 2);
    }
    // Every cell of the table is named, the empty title and performer too.
    QAccessibleInterface* table = QAccessible::queryAccessibleInterface(page->Table());
    ASSERT_NE(table, nullptr);
    ASSERT_NE(table->tableInterface(), nullptr);
    for (int column = 0; column < TrackListModel::ColumnCount; ++column) {
        QAccessibleInterface* cell = table->tableInterface()->cellAt(0, column);
        ASSERT_NE(cell, nullptr);
        EXPECT_FALSE(cell->text(QAccessible::Name).isEmpty()) << "column " << column;
    }
    // Tab from the waveform walks through the page and comes back to it.
    parts.hide();
    silences.hide();
    page->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(page.get()));
    page->Waveform()->setFocus();
    QSet<QWidget*> seen;
    for (int i = 0; i < 60 && !seen.contains(QApplication::focusWidget()); ++i) {
        seen.insert(QApplication::focusWidget());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    for (QWidget* w : page->findChildren<QPushButton*>()) {
        if (w->isEnabled() && w->window() == page.get()) {
            EXPECT_TRUE(seen.contains(w)) << w->accessibleName().toStdString();
        }
    }
    EXPECT_TRUE(seen.contains(page->Table()));
}

TEST(TracksPage, FindSilencesShowsThemBeforeTheyAreTakenAndCutsInTheirMiddleOrTrims)
{
    testsupport::MessageBoxRecorder boxes;
    auto page = OpenPage(TestFiles().tone);
    WaveformView& wave = *page->Waveform();
    const struct {
        double thresholdDb;
        bool trim;
        bool accept;
        std::vector<std::pair<double, double>> tracks; // seconds
        const char* report;                            // part of what the dialog says
    } cases[] = {
        {-40, false, true, {{0, 4.5}, {4.5, 10}}, "1 silence"},
        {-40, true, true, {{0, 4}, {5, 10}}, "1 silence"},
        {-100, false, true, {{0, 10}}, "no silence found"}, // nothing: the tracks stay
        {-40, false, false, {{0, 10}}, "1 silence"},       // cancelled: nothing taken
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.thresholdDb);
        page->Model().Reset(10 * kSecond);
        OnDialog<SilenceDialog>([&] { page->OnFindSilences(); },
                                [&](SilenceDialog& dialog) {
                                    Named<QDoubleSpinBox>(&dialog, QStringLiteral("Threshold"))->setValue(c.thresholdDb);
                                    Named<QDoubleSpinBox>(&dialog, QStringLiteral("Minimum length"))->setValue(0.5);
                                    if (c.trim)
                                        dialog.findChildren<QRadioButton*>().at(1)->setChecked(true);
                                    QTest::mouseClick(Named<QPushButton>(&dialog, QStringLiteral("Find")), Qt::LeftButton);
                                    const QString said = Named<QLabel>(&dialog, QStringLiteral("Result"))->text();
                                    EXPECT_TRUE(said.contains(QLatin1String(c.report))) << said.toStdString();
                                    // Shown on the waveform before it is taken.
                                    if (QString::fromLatin1(c.report) == QLatin1String("1 silence")) {
                                        EXPECT_EQ(wave.Shaded().size(), 1u);
                                    }
                                    if (c.accept)
                                        dialog.accept();
                                    else
                                        dialog.reject();
                                });
        const PageTracks& tracks = page->Model().Tracks();
        ASSERT_EQ(tracks.size(), c.tracks.size());
        for (std::size_t i = 0; i < tracks.size(); ++i) {
            EXPECT_NEAR(tracks[i].start / 1e7, c.tracks[i].first, 0.06);
            EXPECT_NEAR(tracks[i].end / 1e7, c.tracks[i].second, 0.06);
        }
        if (!c.accept || c.tracks.size() < 2) {
            EXPECT_TRUE(wave.Shaded().empty()) << "shaded as taken though nothing was";
        }
        ExpectTableAndWaveformAgree(*page);
    }
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST(TracksPage, EqualPartsByCountOrLengthSnappedIntoASilence)
{
    auto page = OpenPage(TestFiles().tone);
    const struct {
        int count;
        const char* every;
        double snap;
        std::vector<double> cuts; // seconds
    } cases[] = {
        {4, nullptr, 0, {2.5, 5, 7.5}},
        {0, "00:00:03", 0, {3, 6, 9}},
        {2, nullptr, 1.0, {4.5}}, // 5 s moved into the middle of the pause at 4-5 s
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.count);
        OnDialog<EqualPartsDialog>([&] { page->OnEqualParts(); },
                                   [&](EqualPartsDialog& dialog) {
                                       if (c.every) {
                                           auto* every = Named<QLineEdit>(&dialog, QStringLiteral("Length of a part"));
                                           every->clear();
                                           QTest::keyClicks(every, QString::fromLatin1(c.every));
                                       } else {
                                           Named<QSpinBox>(&dialog, QStringLiteral("Number of parts"))->setValue(c.count);
                                       }
                                       Named<QDoubleSpinBox>(&dialog, QStringLiteral("Snap to a silence within ±"))
                                           ->setValue(c.snap);
                                       dialog.accept();
                                   });
        const std::vector<Time> cuts = page->Model().Cuts();
        ASSERT_EQ(cuts.size(), c.cuts.size());
        for (std::size_t i = 0; i < cuts.size(); ++i)
            EXPECT_NEAR(cuts[i] / 1e7, c.cuts[i], 0.06);
        ExpectTableAndWaveformAgree(*page);
    }
    // A length that is no time is refused in the dialog, which stays open.
    testsupport::MessageBoxRecorder boxes;
    OnDialog<EqualPartsDialog>([&] { page->OnEqualParts(); },
                               [&](EqualPartsDialog& dialog) {
                                   auto* every = Named<QLineEdit>(&dialog, QStringLiteral("Length of a part"));
                                   every->clear();
                                   QTest::keyClicks(every, QStringLiteral("half an hour"));
                                   dialog.accept();
                                   EXPECT_TRUE(dialog.isVisible());
                                   dialog.reject();
                               });
    EXPECT_EQ(boxes.Boxes().size(), 1u);
}

TEST(TracksPage, TimesTypedInTheTableMoveTheCutsOrAreRefused)
{
    auto page = OpenPage(TestFiles().tone, {3 * kSecond, 6 * kSecond});
    QAbstractItemModel& table = *page->Table()->model();
    const struct {
        int row, column;
        const char* text;
        bool taken;
        std::vector<double> starts; // seconds, after the edit
    } cases[] = {
        {1, TrackListModel::ColStart, "00:00:02.5", true, {0, 2.5, 6}},
        {1, TrackListModel::ColStart, "0:00:04", true, {0, 4, 6}},
        {2, TrackListModel::ColStart, "5.25", true, {0, 4, 5.25}},
        {0, TrackListModel::ColEnd, "00:00:03.000", true, {0, 3, 5.25}}, // the shared end is the cut
        {0, TrackListModel::ColStart, "00:00:00.400", true, {0.4, 3, 5.25}}, // a lead-in left out
        {1, TrackListModel::ColStart, "00:00:06", false, {0.4, 3, 5.25}},  // past the next cut
        {2, TrackListModel::ColStart, "00:01:00", false, {0.4, 3, 5.25}},  // past the end
        {1, TrackListModel::ColStart, "00:61:00", false, {0.4, 3, 5.25}},
        {1, TrackListModel::ColStart, "three", false, {0.4, 3, 5.25}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(table.setData(table.index(c.row, c.column), QString::fromLatin1(c.text)), c.taken);
        const PageTracks& tracks = page->Model().Tracks();
        ASSERT_EQ(tracks.size(), c.starts.size());
        for (std::size_t i = 0; i < tracks.size(); ++i)
            EXPECT_NEAR(tracks[i].start / 1e7, c.starts[i], 1e-9);
        ExpectTableAndWaveformAgree(*page);
    }
    EXPECT_EQ(Cell(*page, 0, TrackListModel::ColLength), QStringLiteral("00:00:02.600"));
}

TEST(TracksPage, ExportedCueSheetAndLabelsReadBackToTheSameTracks)
{
    testsupport::MessageBoxRecorder boxes;
    auto page = OpenPage(TestFiles().tone, {4 * kSecond, 5 * kSecond});
    page->Model().SetTitle(0, QStringLiteral("Laut / leise: Ä"));
    page->Model().SetPerformer(2, QStringLiteral("Трио"));
    const PageTracks before = page->Model().Tracks();
    fixtures::TempDir dir;
    testsupport::FileDialogAnswers dialogs;
    dialogs.Choose({Text(dir / "tone.cue")});
    dialogs.Choose({Text(dir / "tone.txt")});
    page->OnExportCue();
    page->OnExportLabels();
    ASSERT_TRUE(fs::exists(dir / "tone.cue"));
    ASSERT_TRUE(fs::exists(dir / "tone.txt"));

    for (const char* name : {"tone.cue", "tone.txt"}) {
        SCOPED_TRACE(name);
        page->Model().Reset(10 * kSecond);
        const bool cue = std::string(name).ends_with(".cue");
        ASSERT_TRUE(cue ? page->ImportCue(Text(dir / name)) : page->ImportLabels(Text(dir / name)));
        const PageTracks& after = page->Model().Tracks();
        ASSERT_EQ(after.size(), before.size());
        for (std::size_t i = 0; i < after.size(); ++i) {
            EXPECT_EQ(after[i].title, before[i].title);
            // A cue sheet counts in frames of 1/75 s.
            EXPECT_NEAR(after[i].start / 1e7, before[i].start / 1e7, cue ? 1.0 / 75 : 1e-3);
            if (cue) {
                EXPECT_EQ(after[i].performer, before[i].performer);
            }
        }
    }
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST(TracksPage, PlayTheCutPlaysTwoSecondsEachSideOfIt)
{
    auto page = OpenPage(TestFiles().tone, {5 * kSecond});
    page->Waveform()->SetSelectedCut(0);
    QTest::mouseClick(Named<QPushButton>(page.get(), QStringLiteral("Play the cut")), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] {
        return page->Player().PlaybackState() == CPreviewPlayer::State::Playing;
    }, 5000));
    const Time started = page->Player().Position().value_or(0);
    EXPECT_GE(started, 3 * kSecond - kSecond / 10);
    EXPECT_LT(started, 5 * kSecond);
    // It stops by itself two seconds after the cut.
    ASSERT_TRUE(QTest::qWaitFor([&] {
        return page->Player().PlaybackState() != CPreviewPlayer::State::Playing;
    }, 10000));
    EXPECT_NEAR(page->Player().Position().value_or(0) / 1e7, 7.0, 0.3);
}

TEST(TracksPage, OutputNamesFormatsAndAFolderThatCannotBeMade)
{
    testsupport::MessageBoxRecorder boxes(ui::IDNO);
    auto page = OpenPage(TestFiles().tone, {5 * kSecond});
    page->Model().SetTitle(0, QStringLiteral("Erster"));
    page->Model().SetPerformer(0, QStringLiteral("Duo"));
    auto* names = Named<QLineEdit>(page.get(), QStringLiteral("Names"));
    names->clear();
    QTest::keyClicks(names, QStringLiteral("{n}. {title} ({performer})"));
    EXPECT_EQ(page->ExampleName(), QStringLiteral("First: 1. Erster (Duo).wav"));

    // A file where the folder should be: told, nothing written.
    fixtures::TempDir dir;
    std::ofstream(dir / "taken") << "x";
    page->SetOutputFolder(Text(dir / "taken" / "out"));
    page->OnWriteAll();
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].icon, ui::MessageIcon::Error);
    EXPECT_FALSE(page->IsWriting());

    // MP3 chosen: re-encoded pieces with the template's names.
    for (QRadioButton* r : page->findChildren<QRadioButton*>()) {
        if (r->text() == QStringLiteral("MP&3"))
            r->setChecked(true);
    }
    EXPECT_EQ(page->ExampleName(), QStringLiteral("First: 1. Erster (Duo).mp3"));
    page->SetOutputFolder(Text(dir / "out"));
    page->OnWriteAll();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !page->IsWriting(); }, 30000));
    EXPECT_EQ(fixtures::FolderNames(dir / "out"),
              (std::vector<std::string>{"1. Erster (Duo).mp3", "2. tone ().mp3"}));
    const fixtures::Decoded first = fixtures::ReadAudio(dir / "out" / "1. Erster (Duo).mp3");
    EXPECT_NEAR(static_cast<double>(first.Frames()) / first.sampleRate, 5.0, 0.01);
}

TEST(TracksPage, ThePaintedWaveformReachesTheLevelsOfTheFile)
{
    auto page = OpenPage(TestFiles().tone);
    WaveformView& wave = *page->Waveform();
    wave.resize(1000, 214); // a 14 px strip for the numbers, 200 px of waveform
    wave.FitAll();
    const QImage image = wave.grab().toImage();
    // The rows a column's line covers: centre 114, ±99 px at full scale.
    const auto painted = [&](int x) {
        int top = -1, bottom = -1;
        for (int y = 14; y < image.height(); ++y) {
            const QColor c = image.pixelColor(x, y);
            if (c.green() > c.red() + 40 && c.green() > c.blue() + 40) { // the waveform's green
                if (top < 0)
                    top = y;
                bottom = y;
            }
        }
        return std::pair{top, bottom};
    };
    const struct {
        int column;
        double level;
    } cases[] = {{100, 0.5}, {700, 0.25}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.column);
        const auto [top, bottom] = painted(c.column);
        EXPECT_NEAR(top, 114 - c.level * 99, 2.5);
        EXPECT_NEAR(bottom, 114 + c.level * 99, 2.5);
    }
    // The pause draws (next to) nothing.
    const auto [top, bottom] = painted(450);
    EXPECT_LE(bottom - top, 2);
}

TEST(TracksPage, CutsTooCloseOrInATrimmedGapAreRefusedAndDeletingKeepsTheFirstTitle)
{
    auto page = OpenPage(TestFiles().tone);
    TrackListModel& model = page->Model();
    // Tracks with a gap between them, as trimming makes.
    model.ReplaceAll({{0, 4 * kSecond, QStringLiteral("Eins"), {}}, {5 * kSecond, 10 * kSecond, QStringLiteral("Zwei"), {}}},
                     QStringLiteral("trim"));
    const int steps = model.UndoStack().count();
    EXPECT_FALSE(model.PlaceCut(45 * kSecond / 10));        // in the gap
    EXPECT_FALSE(model.PlaceCut(5 * kSecond + kMillisecond)); // 1 ms after a track's start
    EXPECT_FALSE(model.MoveCut(0, 10 * kSecond));            // to the end of its own track
    EXPECT_EQ(model.UndoStack().count(), steps);
    // A gap's cut moved into the track before it shortens that track...
    EXPECT_TRUE(model.MoveCut(0, 3 * kSecond));
    EXPECT_EQ(model.Tracks()[0].end, 3 * kSecond);
    EXPECT_EQ(model.Tracks()[1].start, 3 * kSecond);
    model.UndoStack().undo();
    // ...moved later, it keeps the gap's start where it was.
    EXPECT_TRUE(model.MoveCut(0, 6 * kSecond));
    EXPECT_EQ(model.Tracks()[0].end, 4 * kSecond);
    EXPECT_EQ(model.Tracks()[1].start, 6 * kSecond);
    // Deleting the cut joins the two tracks under the first one's title.
    page->Waveform()->SetSelectedCut(0);
    page->Waveform()->setFocus();
    QTest::keyClick(page->Waveform(), Qt::Key_Delete);
    ASSERT_EQ(model.Tracks().size(), 1u);
    EXPECT_EQ(model.Tracks()[0].title, QStringLiteral("Eins"));
    EXPECT_EQ(model.Tracks()[0].end, 10 * kSecond);
    ExpectTableAndWaveformAgree(*page);
}

TEST(TracksPage, AFileThatIsNoAudioIsToldAndThePageStaysUsable)
{
    testsupport::MessageBoxRecorder boxes;
    fixtures::TempDir dir;
    std::ofstream(dir / "notes.mp3") << "these are words, not sound";
    auto page = OpenPage(dir / "notes.mp3");
    ASSERT_GE(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].icon, ui::MessageIcon::Error);
    EXPECT_TRUE(boxes.Boxes()[0].text.contains(QStringLiteral("notes.mp3"))) << boxes.Boxes()[0].text.toStdString();
    EXPECT_EQ(page->Waveform()->LevelCount(), 0u);
    EXPECT_FALSE(Named<QLabel>(page.get(), QStringLiteral("Scan"))->text().isEmpty());
    // Nothing to play, nothing to write: each says so instead of failing silently.
    const std::size_t told = boxes.Boxes().size();
    page->OnPlayCut();
    ASSERT_EQ(boxes.Boxes().size(), told + 1);
    EXPECT_TRUE(boxes.Boxes().back().text.contains(QStringLiteral("notes.mp3")));
    page->SetOutputFolder(Text(dir.Path() / "out"));
    page->OnWriteAll();
    EXPECT_FALSE(page->IsWriting());
    EXPECT_EQ(boxes.Boxes().back().icon, ui::MessageIcon::Error);
    // Equal parts cannot snap to silences that no waveform gives.
    OnDialog<EqualPartsDialog>([&] { page->OnEqualParts(); },
                               [&](EqualPartsDialog& dialog) {
                                   Named<QDoubleSpinBox>(&dialog, QStringLiteral("Snap to a silence within ±"))->setValue(1.0);
                                   dialog.accept();
                               });
    EXPECT_TRUE(boxes.Boxes().back().text.contains(QStringLiteral("snap"))) << boxes.Boxes().back().text.toStdString();
}

TEST(TracksPage, ClosingThePageWhileWritingLeavesOnlyWholePieces)
{
    fixtures::TempDir out;
    {
        testsupport::MessageBoxRecorder boxes;
        auto page = OpenPage(TestFiles().longMp3, {10 * kSecond, 20 * kSecond, 30 * kSecond});
        page->SetOutputFolder(Text(out.Path()));
        for (QRadioButton* r : page->findChildren<QRadioButton*>()) {
            if (r->text() == QStringLiteral("WA&V"))
                r->setChecked(true);
        }
        page->OnWriteAll();
        ASSERT_TRUE(page->IsWriting());
        EXPECT_FALSE(Named<QPushButton>(page.get(), QStringLiteral("Back"))->isEnabled());
        page->close(); // the close box
    }
    // The page went without waiting for the run, which ends on its own and
    // removes the piece it was writing.
    EXPECT_EQ(RunsStillEnding(), 1);
    ASSERT_TRUE(QTest::qWaitFor([] { return RunsStillEnding() == 0; }, 30000));
    for (const std::string& name : fixtures::FolderNames(out.Path())) {
        SCOPED_TRACE(name);
        EXPECT_NE(name.front(), '.'); // no temporary left
        const fixtures::Decoded piece = fixtures::ReadAudio(out.Path() / name);
        EXPECT_NEAR(static_cast<double>(piece.Frames()) / piece.sampleRate, 10.0, 0.01);
    }
}
