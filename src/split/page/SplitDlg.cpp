// The split page: set-up, loading the source, the breakpoints, the output
// directory, Next and the way back. The preview player's part is in
// SplitDlgPlayer.cpp.

#include "SplitDlg.h"

#include "ConvertDlg.h"
#include "FileDialogs.h"
#include "Help.h"
#include "MessageBox.h"
#include "SplitDlgIds.h"
#include "TracksPage.h"
#include "TypedTime.h"
#include "media/graph/TimeText.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QSlider>
#include <QWindow>

#include <utility>

using namespace split_ids;

namespace {

// Keeps the page above other windows while it loads, so the wait cursor
// and any message of the player stay in sight. The native window's flag is
// changed in place; changing the widget's flags would unmap and remap it.
void SetStaysOnTop(QWidget* page, bool onTop)
{
    if (QWindow* window = page->windowHandle())
        window->setFlag(Qt::WindowStaysOnTopHint, onTop);
}

// What a screen reader says beyond the names: the slider has no label, and
// some controls do more than their names tell.
void DescribeControls(ui::CDialogPage& page)
{
    if (QWidget* slider = page.GetDlgItem(IDC_POSITION)) {
        slider->setAccessibleName(QCoreApplication::translate("CSplitDlg", "Position"));
        slider->setAccessibleDescription(
            QCoreApplication::translate("CSplitDlg", "Where the file plays; the arrow keys move it by a second"));
    }
    const std::pair<int, const char*> descriptions[] = {
        {IDC_TYPED_TIME, QT_TRANSLATE_NOOP("CSplitDlg", "Type a time as hh:mm:ss and press Enter to add it as a breakpoint")},
        {IDC_BREAKPOINTS, QT_TRANSLATE_NOOP("CSplitDlg", "The piece lies between these two times; the context menu deletes them")},
        {IDC_OUTPUT_DIR, QT_TRANSLATE_NOOP("CSplitDlg", "The folder the pieces are written to; the button beside it changes it")},
        {IDC_FAST_BACKWARD, QT_TRANSLATE_NOOP("CSplitDlg", "One second back")},
        {IDC_FAST_FORWARD, QT_TRANSLATE_NOOP("CSplitDlg", "One second on")},
        {IDC_ADD_CURRENT, QT_TRANSLATE_NOOP("CSplitDlg", "Adds the playing position as a breakpoint")},
    };
    for (const auto& [id, text] : descriptions)
        if (QWidget* w = page.GetDlgItem(id))
            w->setAccessibleDescription(QCoreApplication::translate("CSplitDlg", text));
}

} // namespace

CSplitDlg::CSplitDlg(QWidget* parent)
    : CDialogPage(SplitDlgTemplate(), parent), m_breakpoints(2)
{
    connect(this, &QDialog::finished, this, &CSplitDlg::OnPageEnded);
    connect(&m_player, &CPreviewPlayer::ended, this, &CSplitDlg::OnGraphEvent);
    // Queued: a delete asked for from the list's menu happens once the menu
    // has closed.
    connect(&m_listBreakpoints, &CBreakpointList::deleteRequested, this, &CSplitDlg::OnDeleteBreakpoint,
            Qt::QueuedConnection);
    connect(&m_listBreakpoints, &CBreakpointList::deleteAllRequested, this, &CSplitDlg::OnDeleteAllBreakpoints,
            Qt::QueuedConnection);
}

CSplitDlg::~CSplitDlg()
{
    OnPageEnded();
}

bool CSplitDlg::OnInitDialog()
{
    m_rtDuration = 0;
    m_llCandidateMs = 0;
    m_nPositionTimer = 0;
    m_playState = PlayState::Stopped;
    SetDlgItemText(IDC_TYPED_TIME, QStringLiteral("00:00:00"));

    m_listBreakpoints.SubclassDlgItem(IDC_BREAKPOINTS, this, &m_breakpoints);
    RegisterTips();
    SetupSkinButtons();
    if (QWidget* tracks = GetDlgItem(IDC_TRACKS)) {
        tracks->setToolTip(tr("Cut the file into many tracks: waveform, cue sheet, silences, equal parts"));
        tracks->setAccessibleName(tr("Tracks"));
    }
    m_nStartupTimer = SetTimer(IDT_STARTUP, 250);
    if (auto* format = DlgItem<QComboBox>(IDC_OUTPUT_FORMAT))
        format->setCurrentIndex(0);
    ConnectCommands();
    // Enter in the time box adds the typed time, as the button beside it does.
    SetEnterButton(IDC_TYPED_TIME, IDC_ADD_TYPED);
    DescribeControls(*this);
    EnableCommandHelp();
    return true;
}

void CSplitDlg::RegisterTips()
{
    m_balloon.Create(this);
    if (QWidget* outputDir = GetDlgItem(IDC_OUTPUT_DIR))
        m_balloon.AddTool(outputDir, tr("Output Directory!"));
    if (QWidget* list = GetDlgItem(IDC_BREAKPOINTS))
        m_balloon.AddTool(list, tr("Press right button to delete breakpoint"));
}

void CSplitDlg::SetOutputDirTip(const QString& text)
{
    if (QWidget* outputDir = GetDlgItem(IDC_OUTPUT_DIR))
        m_balloon.AddTool(outputDir, text);
}

void CSplitDlg::SetupSkinButtons()
{
    const struct {
        CSkinButton CSplitDlg::*button;
        int id, hoverBitmap, bitmap;
        const char* tip;
    } skins[] = {
        {&CSplitDlg::m_btnNext, IDC_SPLIT_NEXT, IDB_NEXT_HOVER, IDB_NEXT, QT_TR_NOOP("Next")},
        {&CSplitDlg::m_btnBack, IDC_BACK, IDB_BACK_HOVER, IDB_BACK, QT_TR_NOOP("Back")},
        {&CSplitDlg::m_btnExit, IDC_EXIT, IDB_EXIT_HOVER, IDB_EXIT, QT_TR_NOOP("Exit")},
        {&CSplitDlg::m_btnHelp, IDC_HELP, IDB_HELP_HOVER, IDB_HELP, QT_TR_NOOP("Help")},
        {&CSplitDlg::m_btnBrowseOutput, IDC_BROWSE_OUTPUT, IDB_BROWSE_OUTPUT_HOVER, IDB_BROWSE_OUTPUT,
         QT_TR_NOOP("Change output directory")},
        {&CSplitDlg::m_btnAddTyped, IDC_ADD_TYPED, IDB_ADD_TYPED_HOVER, IDB_ADD_TYPED, QT_TR_NOOP("Add a breakpoint")},
        {&CSplitDlg::m_btnAddCurrent, IDC_ADD_CURRENT, IDB_ADD_CURRENT_HOVER, IDB_ADD_CURRENT,
         QT_TR_NOOP("Add a breakpoint from current time")},
        {&CSplitDlg::m_btnPause, IDC_PAUSE, IDB_PAUSE_HOVER, IDB_PAUSE, QT_TR_NOOP("Pause")},
        {&CSplitDlg::m_btnPlay, IDC_PLAY, IDB_PLAY_HOVER, IDB_PLAY, QT_TR_NOOP("Play")},
        {&CSplitDlg::m_btnSeekBegin, IDC_SEEK_BEGIN, IDB_SEEK_BEGIN_HOVER, IDB_SEEK_BEGIN, QT_TR_NOOP("Seek to Begin")},
        {&CSplitDlg::m_btnSeekEnd, IDC_SEEK_END, IDB_SEEK_END_HOVER, IDB_SEEK_END, QT_TR_NOOP("Seek to End")},
        {&CSplitDlg::m_btnFastBackward, IDC_FAST_BACKWARD, IDB_FAST_BACKWARD_HOVER, IDB_FAST_BACKWARD,
         QT_TR_NOOP("Fast backward")},
        {&CSplitDlg::m_btnFastForward, IDC_FAST_FORWARD, IDB_FAST_FORWARD_HOVER, IDB_FAST_FORWARD,
         QT_TR_NOOP("Fast foreward")},
        {&CSplitDlg::m_btnHomePage, IDC_HOME_PAGE, IDB_HOME_PAGE_HOVER, IDB_HOME_PAGE, QT_TR_NOOP("Home Page")},
    };
    for (const auto& skin : skins)
        (this->*skin.button).SetupStandardSkin(skin.id, this, skin.hoverBitmap, skin.bitmap,
                                               tr(skin.tip));
}

void CSplitDlg::ConnectCommands()
{
    OnClicked(IDC_BACK, [this] { OnBack(); });
    OnClicked(IDC_SPLIT_NEXT, [this] { OnNext(); });
    OnClicked(IDC_BROWSE_OUTPUT, [this] { OnBrowseOutputDir(); });
    OnClicked(IDC_PLAY, [this] { OnPlay(); });
    OnClicked(IDC_PAUSE, [this] { OnPause(); });
    OnClicked(IDC_FAST_BACKWARD, [this] { OnFastBackward(); });
    OnClicked(IDC_FAST_FORWARD, [this] { OnFastForward(); });
    OnClicked(IDC_SEEK_BEGIN, [this] { OnSeekToBegin(); });
    OnClicked(IDC_SEEK_END, [this] { OnSeekToEnd(); });
    OnClicked(IDC_HELP, [] { LaunchHelp(); });
    OnClicked(IDC_ADD_CURRENT, [this] { OnAddCurrentBreakpoint(); });
    OnClicked(IDC_ADD_TYPED, [this] { OnAddTypedBreakpoint(); });
    OnClicked(IDC_EXIT, [this] { OnCancel(); });
    OnClicked(IDC_HOME_PAGE, [] { OpenHomePage(); });
    OnClicked(IDC_TRACKS, [this] { OnTracks(); });
    if (QSlider* slider = Slider()) {
        // Every user action on the slider (step, page, drag, wheel, keys)
        // triggers exactly one action, with the new place already in
        // sliderPosition(); the position timer's setValue triggers none.
        connect(slider, &QAbstractSlider::actionTriggered, this, [this](int action) {
            if (action != QAbstractSlider::SliderNoAction)
                SeekToSlider();
        });
    }
    if (QListView* list = m_listBreakpoints.List())
        connect(list, &QAbstractItemView::doubleClicked, this, [this] { OnBreakpointDblClk(); });
}

QSlider* CSplitDlg::Slider() const
{
    return DlgItem<QSlider>(IDC_POSITION);
}

void CSplitDlg::OnTimer(int id)
{
    if (id != IDT_STARTUP) {
        RefreshPosition();
        return;
    }
    KillTimer(m_nStartupTimer);
    if (m_strSourcePath.isEmpty())
        return; // a page opened without a file has nothing to load
    SetStaysOnTop(this, true);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    LoadSource();
    QApplication::restoreOverrideCursor();
    SetStaysOnTop(this, false);
}

// The player plays sound only: the video window the page would hide while
// loading, going back, going on and at the end of the stream is not there.
void CSplitDlg::LoadSource()
{
    m_breakpoints.Clear();

    const qsizetype slash = m_strSourcePath.lastIndexOf(QLatin1Char('/'));
    m_strOutputName = m_strSourcePath.mid(slash + 1);
    // A bare file name lies in the working folder, not in the root.
    const QString folder = slash >= 0 ? m_strSourcePath.left(slash) : QDir::currentPath();
    SetOutputDir(folder + QStringLiteral("/Split"));

    ReleaseGraph();
    OpenSource(m_strSourcePath);
    setWindowTitle(QStringLiteral("Tarnwick --") + m_strSourcePath);
    ShowDuration();
    StartPositionTimer();
    StartPlayback();
}

void CSplitDlg::SetOutputDir(const QString& dir)
{
    m_strOutputDir = dir;
    SetDlgItemText(IDC_OUTPUT_DIR, dir);
    SetOutputDirTip(dir);
}

void CSplitDlg::OnBrowseOutputDir()
{
    const std::optional<QString> folder =
        ui::BrowseForFolder(this, QString(), QString::fromLatin1(ui::kSplitOutputFolderKey));
    if (!folder)
        return;
    if (!QDir::isAbsolutePath(*folder)) {
        // Not a folder on disk (a network location the dialog could not map).
        ui::MessageBox(this, tr("Failed!"), tr("ERROR"));
        return;
    }
    QString dir = *folder;
    if (!dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    SetOutputDir(dir + QStringLiteral("split"));
}

void CSplitDlg::OnBack()
{
    // Stops the sound and leaves the play state as it was; the page ends
    // and lets go of the player anyway.
    if (m_player.IsOpen() && !m_player.Stop())
        qWarning("split page: %s", qUtf8Printable(m_player.Reason()));
    OnOK();
}

void CSplitDlg::OnNext()
{
    if (m_breakpoints.Count() < 2) {
        ui::MessageBox(this, tr("You should insert more than one Breakpoint"),
                       tr("Error"));
        return;
    }
    OnPause();

    CConvertDlg settings;
    settings.m_strOutputName = m_strOutputName;
    const auto* format = DlgItem<QComboBox>(IDC_OUTPUT_FORMAT);
    settings.m_bMp3Output = format && format->currentIndex() == 0;
    settings.m_breakpoints = m_breakpoints.Entries();
    settings.m_wszSourcePath = m_wszSourcePath;
    settings.m_strOutputDir = m_strOutputDir;
    if (m_player.IsOpen() && !m_player.Stop())
        qWarning("split page: %s", qUtf8Printable(m_player.Reason()));
    settings.DoModal();
}

void CSplitDlg::OnPageEnded()
{
    KillTimer(IDT_STARTUP);
    StopPositionTimer();
    ReleaseGraph();
}

bool CSplitDlg::OnCommandHelp(quintptr /*wParam*/, qintptr lParam)
{
    return ::OnCommandHelp(lParam);
}

// ---- Breakpoints: at most two, ascending and distinct ----------------------

bool CSplitDlg::AddCandidateBreakpoint()
{
    switch (m_breakpoints.Insert(Breakpoint{m_strCandidateText, m_llCandidateMs})) {
    case CBreakpointModel::Insertion::Added:
        return true;
    case CBreakpointModel::Insertion::Duplicate:
        return false;
    case CBreakpointModel::Insertion::Full:
        ui::MessageBox(this,
                       tr("There has been two breakpoints,so you must delete one first.\n"
                          " Press left button to select one breakpoint,then press right "
                          "button to delete it"),
                       QString(), ui::MessageIcon::Warning);
        return false;
    }
    return false;
}

void CSplitDlg::OnAddCurrentBreakpoint()
{
    if (m_player.IsOpen())
        AddCandidateBreakpoint();
}

void CSplitDlg::OnAddTypedBreakpoint()
{
    if (!m_player.IsOpen())
        return;
    // Text that does not fit the 11 characters of a time is refused whole
    // rather than cut.
    const QString text = GetDlgItemText(IDC_TYPED_TIME);
    const TypedTime typed = text.size() > static_cast<qsizetype>(kTypedTimeMaxChars)
                              ? TypedTime{}
                              : ParseTypedTime(text.toStdString());
    switch (typed.status) {
    case TypedTimeStatus::BadFormat:
        ui::MessageBox(this,
                       tr("Please input time in this format.Hour:minute:second,eg:00:01:01"),
                       tr("Error"));
        return;
    case TypedTimeStatus::BadHours:
        ui::MessageBox(this, tr("Hour input :Error"));
        return;
    case TypedTimeStatus::BadMinutes:
        ui::MessageBox(this, tr("Minutes must between 00 and 59"), tr("error"));
        return;
    case TypedTimeStatus::BadSeconds:
        ui::MessageBox(this, tr("Seconds must between 00 and 59"), tr("error"));
        return;
    case TypedTimeStatus::Ok:
        break;
    }
    m_llCandidateMs = typed.milliseconds;
    if (MsToTime(m_llCandidateMs) > m_rtDuration) {
        ui::MessageBox(this, tr("Input time out of the duration"), QString(),
                       ui::MessageIcon::Warning);
        return;
    }
    m_strCandidateText = QString::fromStdString(typed.text);
    AddCandidateBreakpoint();
}

void CSplitDlg::OnDeleteBreakpoint(int row)
{
    m_breakpoints.Remove(row);
}

void CSplitDlg::OnDeleteAllBreakpoints()
{
    m_breakpoints.Clear();
}

void CSplitDlg::OnBreakpointDblClk()
{
    const int row = m_listBreakpoints.SelectedRow();
    if (row < 0 || row >= static_cast<int>(m_breakpoints.Count()))
        return;
    SetSliderPos(m_breakpoints.At(row).timeMs);
    SeekToSlider();
}

// ---- The tracks page ----------------------------------------------------------

void CSplitDlg::OnTracks()
{
    if (m_strSourcePath.isEmpty())
        return;
    OnPause();
    CTracksPage tracks(this);
    tracks.m_strSourcePath = m_wszSourcePath.isEmpty() ? m_strSourcePath : m_wszSourcePath;
    for (const Breakpoint& breakpoint : m_breakpoints.Entries())
        tracks.m_initialCuts.push_back(MsToTime(breakpoint.timeMs));
    // One page at a time, as the wizard shows them; the player lets go of
    // the sound device while the tracks page plays.
    ReleaseGraph();
    hide();
    const int result = tracks.DoModal();
    if (result != ui::IDOK) {
        EndDialog(ui::IDCANCEL);
        return;
    }
    show();
    OpenSource(m_wszSourcePath);
    ShowDuration();
}
