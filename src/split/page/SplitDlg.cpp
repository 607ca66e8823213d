// The split page: set-up, loading the source, the output directory, Next
// and the way back. The player and the breakpoints have files of their own.

#include "SplitDlg.h"

#include "ConvertDlg.h"
#include "FileDialogs.h"
#include "GraphEventBridge.h"
#include "Help.h"
#include "MessageBox.h"
#include "SplitDlgIds.h"
#include "media/decode/SourceKind.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QSlider>
#include <QWindow>

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

} // namespace

CSplitDlg::CSplitDlg(QWidget* parent)
    : CDialogPage(SplitDlgTemplate(), parent),
      m_pEventBridge(new ui::CGraphEventBridge(this, WM_SPLIT_GRAPHEVENT))
{
    connect(this, &QDialog::finished, this, &CSplitDlg::OnPageEnded);
}

CSplitDlg::~CSplitDlg()
{
    OnPageEnded();
}

bool CSplitDlg::OnInitDialog()
{
    m_rtDuration = 0;
    m_llCandidateMs = 0;
    m_bSourceIsMp3 = false;
    m_nPositionTimer = 0;
    m_nPlayState = 0;
    m_szSourcePath.clear();
    SetDlgItemText(IDC_TYPED_TIME, QStringLiteral("00:00:00"));

    m_listBreakpoints.SubclassDlgItem(IDC_BREAKPOINTS, this);
    m_listBreakpoints.m_pOwner = this;
    RegisterTips();
    SetupSkinButtons();
    m_nStartupTimer = SetTimer(IDT_STARTUP, 250);
    if (auto* format = DlgItem<QComboBox>(IDC_OUTPUT_FORMAT))
        format->setCurrentIndex(0);
    ConnectCommands();
    EnableCommandHelp();
    return true;
}

void CSplitDlg::RegisterTips()
{
    m_balloon.Create(this);
    if (QWidget* outputDir = GetDlgItem(IDC_OUTPUT_DIR))
        m_balloon.AddTool(outputDir, QStringLiteral("Output Directory!"));
    if (QWidget* list = GetDlgItem(IDC_BREAKPOINTS))
        m_balloon.AddTool(list, QStringLiteral("Press right button to delete breakpoint"));
}

void CSplitDlg::SetOutputDirTip(const QString& text)
{
    if (QWidget* outputDir = GetDlgItem(IDC_OUTPUT_DIR))
        m_balloon.AddTool(outputDir, text);
}

void CSplitDlg::SetupSkinButtons()
{
    m_btnNext.SetupStandardSkin(IDC_SPLIT_NEXT, this, IDB_NEXT_HOVER, IDB_NEXT, QStringLiteral("Next"));
    m_btnBack.SetupStandardSkin(IDC_BACK, this, IDB_BACK_HOVER, IDB_BACK, QStringLiteral("Back"));
    m_btnExit.SetupStandardSkin(IDC_EXIT, this, IDB_EXIT_HOVER, IDB_EXIT, QStringLiteral("Exit"));
    m_btnHelp.SetupStandardSkin(IDC_HELP, this, IDB_HELP_HOVER, IDB_HELP, QStringLiteral("Help"));
    m_btnBrowseOutput.SetupStandardSkin(IDC_BROWSE_OUTPUT, this, IDB_BROWSE_OUTPUT_HOVER,
                                        IDB_BROWSE_OUTPUT,
                                        QStringLiteral("Change output directory"));
    m_btnAddTyped.SetupStandardSkin(IDC_ADD_TYPED, this, IDB_ADD_TYPED_HOVER, IDB_ADD_TYPED,
                                    QStringLiteral("Add a breakpoint"));
    m_btnAddCurrent.SetupStandardSkin(IDC_ADD_CURRENT, this, IDB_ADD_CURRENT_HOVER, IDB_ADD_CURRENT,
                                      QStringLiteral("Add a breakpoint from current time"));
    m_btnPause.SetupStandardSkin(IDC_PAUSE, this, IDB_PAUSE_HOVER, IDB_PAUSE, QStringLiteral("Pause"));
    m_btnPlay.SetupStandardSkin(IDC_PLAY, this, IDB_PLAY_HOVER, IDB_PLAY, QStringLiteral("Play"));
    m_btnSeekBegin.SetupStandardSkin(IDC_SEEK_BEGIN, this, IDB_SEEK_BEGIN_HOVER, IDB_SEEK_BEGIN,
                                     QStringLiteral("Seek to Begin"));
    m_btnSeekEnd.SetupStandardSkin(IDC_SEEK_END, this, IDB_SEEK_END_HOVER, IDB_SEEK_END,
                                   QStringLiteral("Seek to End"));
    m_btnFastBackward.SetupStandardSkin(IDC_FAST_BACKWARD, this, IDB_FAST_BACKWARD_HOVER,
                                        IDB_FAST_BACKWARD, QStringLiteral("Fast backward"));
    m_btnFastForward.SetupStandardSkin(IDC_FAST_FORWARD, this, IDB_FAST_FORWARD_HOVER,
                                       IDB_FAST_FORWARD, QStringLiteral("Fast foreward"));
    m_btnHomePage.SetupStandardSkin(IDC_HOME_PAGE, this, IDB_HOME_PAGE_HOVER, IDB_HOME_PAGE,
                                    QStringLiteral("Home Page"));
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
    if (QSlider* slider = Slider()) {
        // Every user action on the slider (step, page, drag, wheel, keys)
        // triggers exactly one action, with the new place already in
        // sliderPosition(); the position timer's setValue triggers none.
        connect(slider, &QAbstractSlider::actionTriggered, this, [this](int action) {
            if (action != QAbstractSlider::SliderNoAction)
                SeekToSlider();
        });
    }
    if (QListWidget* list = m_listBreakpoints.List())
        connect(list, &QListWidget::itemDoubleClicked, this, [this] { OnBreakpointDblClk(); });
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

bool CSplitDlg::OnMessage(int message, quintptr wParam, qintptr lParam)
{
    if (message == WM_SPLIT_GRAPHEVENT) {
        OnGraphEvent();
        return true;
    }
    if (message == WM_SPLIT_DELETEBREAKPOINT) {
        OnDeleteBreakpoints(wParam, lParam);
        return true;
    }
    return false;
}

void CSplitDlg::LoadSource()
{
    if (m_pVideoWindow)
        m_pVideoWindow->put_Visible(OAFALSE);
    m_breakpoints.clear();
    if (QListWidget* list = m_listBreakpoints.List())
        list->clear();

    const qsizetype slash = m_strSourcePath.lastIndexOf(QLatin1Char('/'));
    m_strOutputName = m_strSourcePath.mid(slash + 1);
    // The decoder goes by what the file holds; its name is only a hint.
    m_szSourcePath = QFile::encodeName(m_strSourcePath).toStdString();
    m_bSourceIsMp3 = DetectSourceKind(m_szSourcePath) == SourceKind::MpegAudio;
    // A bare file name lies in the working folder, not in the root.
    const QString folder = slash >= 0 ? m_strSourcePath.left(slash) : QDir::currentPath();
    SetOutputDir(folder + QStringLiteral("/Split"));

    ReleaseGraph();
    CreateGraph();
    RenderSource(m_szSourcePath);
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
        ui::MessageBox(this, QStringLiteral("Failed!"), QStringLiteral("ERROR"));
        return;
    }
    QString dir = *folder;
    if (!dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    SetOutputDir(dir + QStringLiteral("split"));
}

void CSplitDlg::OnBack()
{
    if (m_pControl)
        m_pControl->Stop();
    if (m_pVideoWindow)
        m_pVideoWindow->put_Visible(OAFALSE);
    OnOK();
}

void CSplitDlg::OnNext()
{
    if (m_breakpoints.size() < 2) {
        ui::MessageBox(this, QStringLiteral("You should insert more than one Breakpoint"),
                       QStringLiteral("Error"));
        return;
    }
    OnPause();

    CConvertDlg settings;
    settings.m_strOutputName = m_strOutputName;
    const auto* format = DlgItem<QComboBox>(IDC_OUTPUT_FORMAT);
    settings.m_bMp3Output = format && format->currentIndex() == 0;
    settings.m_breakpoints = m_breakpoints;
    settings.m_wszSourcePath = m_wszSourcePath;
    settings.m_strOutputDir = m_strOutputDir;
    if (m_pControl)
        m_pControl->Stop();
    if (m_pVideoWindow)
        m_pVideoWindow->put_Visible(OAFALSE);
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
