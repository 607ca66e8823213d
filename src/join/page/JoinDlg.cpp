// The join page: its controls, the file list and every way of closing it.
// Starting, following and stopping the merge are in JoinRun.cpp.

#include "JoinDlg.h"

#include "FileDialogs.h"
#include "FileNames.h"
#include "GraphEventBridge.h"
#include "Help.h"
#include "JoinDlgIds.h"
#include "JoinJob.h"
#include "ListView.h"
#include "MessageBox.h"
#include "SourceMeasure.h"
#include "media/graph/FilterRegistry.h"
#include "media/graph/TimeText.h"

#include <QApplication>
#include <QComboBox>
#include <QDropEvent>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMimeData>
#include <QProgressBar>
#include <QTimer>
#include <QTreeView>

#include <algorithm>
#include <filesystem>
#include <utility>

using namespace join_ids;

namespace {

constexpr const char* kAddFilter = QT_TRANSLATE_NOOP(
    "CJoinDlg", "Mp3 File(*.mp3), Wav File(*.wav)|*.mp3;*.wav|Mp3 File(*.mp3)|*.mp3|Wav File(*.wav)|*.wav|");

bool IsJoinableName(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix();
    return suffix.compare(QStringLiteral("mp3"), Qt::CaseInsensitive) == 0
        || suffix.compare(QStringLiteral("wav"), Qt::CaseInsensitive) == 0;
}

} // namespace

CJoinDlg::CJoinDlg(QWidget* parent)
    : CDialogPage(JoinDlgTemplate(), parent), m_bridge(new ui::CGraphEventBridge(this, WM_GRAPHNOTIFY))
{
}

CJoinDlg::~CJoinDlg()
{
    ReleaseAll();
}

bool CJoinDlg::OnInitDialog()
{
    m_progress = DlgItem<QProgressBar>(IDC_PROGRESS);
    m_list = DlgItem<QTreeView>(IDC_FILES);
    QItemSelectionModel* templateSelection = m_list->selectionModel();
    m_list->setModel(&m_files);
    delete templateSelection;
    m_timerId = 0;
    m_jobDuration = 0;
    SetupSkinButtons();
    ui::SetListViewExtendedStyle(m_list, ui::LVS_EX_GRIDLINES | ui::LVS_EX_FULLROWSELECT);
    ui::InsertListViewColumn(m_list, 0, tr("Source File"), 300, Qt::AlignHCenter);
    ui::InsertListViewColumn(m_list, 1, tr("Time"), 80, Qt::AlignHCenter);
    if (auto* format = DlgItem<QComboBox>(IDC_OUTPUT_FORMAT))
        format->setCurrentIndex(0);
    // The page's own encoder, made once from its class identifier: its
    // settings page changes it, and every join of the page uses it. Without
    // one, Settings does nothing and Begin says the join cannot be built.
    if (FAILED(CreateFilter(clsid::LameEncoder, &m_encoder)))
        m_encoder.reset();
    SetupDragAndDrop();
    DescribeControls();
    ConnectCommands();
    EnableControls(true);
    ShowTotalDuration();
    if (!m_startFiles.isEmpty()) // once the page is on screen
        QTimer::singleShot(0, this, [this] { AddFiles(std::exchange(m_startFiles, {})); });
    return true;
}

void CJoinDlg::SetupSkinButtons()
{
    m_btnBack.SetupStandardSkin(IDC_BACK, this, IDB_BACK_HOVER, IDB_BACK, tr("Back"));
    m_btnExit.SetupStandardSkin(IDC_EXIT, this, IDB_EXIT_HOVER, IDB_EXIT, tr("Exit"));
    m_btnHelp.SetupStandardSkin(IDC_HELP, this, IDB_HELP_HOVER, IDB_HELP, tr("Help"));
    m_btnHomePage.SetupStandardSkin(IDC_HOME_PAGE, this, IDB_HOME_PAGE_HOVER, IDB_HOME_PAGE,
                                    tr("Home Page"));
    m_btnAdd.SetupStandardSkin(IDC_ADD, this, IDB_ADD_HOVER, IDB_ADD, tr("Add Mp3 Files"));
    m_btnDelete.SetupStandardSkin(IDC_DELETE, this, IDB_DELETE_HOVER, IDB_DELETE,
                                  tr("Delete Mp3 Files"));
    m_btnMoveUp.SetupStandardSkin(IDC_MOVE_UP, this, IDB_MOVE_UP_HOVER, IDB_MOVE_UP,
                                  tr("Move Up"));
    m_btnMoveDown.SetupStandardSkin(IDC_MOVE_DOWN, this, IDB_MOVE_DOWN_HOVER, IDB_MOVE_DOWN,
                                    tr("Move Down"));
    m_btnStop.SetupStandardSkin(IDC_STOP, this, IDB_STOP_HOVER, IDB_STOP, tr("Stop Joining"));
    m_btnPlay.SetupStandardSkin(IDC_PLAY_FILE, this, IDB_PLAY_FILE_HOVER, IDB_PLAY_FILE,
                                tr("Play The File"));
    m_btnSettings.SetupStandardSkin(IDC_SETTINGS, this, IDB_SETTINGS_HOVER, IDB_SETTINGS,
                                    tr("Setting"));
    m_btnBegin.SetupStandardSkin(IDC_BEGIN, this, IDB_BEGIN_HOVER, IDB_BEGIN,
                                 tr("Begin to Join Files"));
}

void CJoinDlg::DescribeControls()
{
    // The list has no label beside it; a few buttons do more than they say.
    m_list->setAccessibleName(tr("Files to join"));
    m_list->setAccessibleDescription(tr("Joined in this order; the Delete key removes the selected file"));
    m_btnSettings.setAccessibleDescription(tr("The MP3 encoder's settings and the merged file's tags"));
    m_btnPlay.setAccessibleDescription(tr("Opens the selected file in the desktop's audio player"));
    m_btnStop.setAccessibleDescription(tr("Stops the join; the unfinished file is removed"));
}

void CJoinDlg::ConnectCommands()
{
    OnClicked(IDC_BACK, [this] { OnBack(); });
    OnClicked(IDC_ADD, [this] { OnAddFiles(); });
    OnClicked(IDC_DELETE, [this] { OnDeleteFile(); });
    OnClicked(IDC_MOVE_UP, [this] { OnMoveUp(); });
    OnClicked(IDC_MOVE_DOWN, [this] { OnMoveDown(); });
    OnClicked(IDC_BEGIN, [this] { OnBeginJoin(); });
    OnClicked(IDC_STOP, [this] { OnStopJoin(); });
    OnClicked(IDC_SETTINGS, [this] { OnSettings(); });
    OnClicked(IDC_HELP, [] { LaunchHelp(); });
    OnClicked(IDC_HOME_PAGE, [] { OpenHomePage(); });
    OnClicked(IDC_EXIT, [this] { OnCancel(); });
    OnClicked(IDC_PLAY_FILE, [this] { OnPlayFile(); });
}

void CJoinDlg::EnableControls(bool enable)
{
    for (int id : {IDC_BEGIN, IDC_ADD, IDC_DELETE, IDC_MOVE_UP, IDC_MOVE_DOWN, IDC_PLAY_FILE})
        EnableWindow(id, enable);
    // A drag must not reorder the files while they are being joined.
    if (m_list)
        m_list->setDragDropMode(enable ? QAbstractItemView::DragDrop : QAbstractItemView::NoDragDrop);
}

void CJoinDlg::OnAddFiles()
{
    const std::optional<QStringList> paths = ui::GetOpenFileNames(
        this, tr(kAddFilter), QString::fromLatin1(ui::kJoinAddFolderKey));
    if (paths && !paths->isEmpty())
        AddFiles(*paths);
}

void CJoinDlg::AddFiles(const QStringList& paths)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    for (const QString& path : paths) {
        m_files.Append({path, MeasureSource(ui::FileNameBytes(path)).duration});
        // A long list takes a while: let the page repaint, but take no
        // clicks or keys until every file is listed.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    ShowTotalDuration();
    QApplication::restoreOverrideCursor();
}

std::vector<int> CJoinDlg::SelectedRows() const
{
    std::vector<int> rows;
    for (const QModelIndex& index : m_list->selectionModel()->selectedRows())
        rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

void CJoinDlg::OnDeleteFile()
{
    m_files.RemoveRows(SelectedRows());
    ShowTotalDuration();
}

void CJoinDlg::SwapRows(int a, int b)
{
    if (!m_files.Swap(a, b))
        return;
    const QModelIndex moved = m_files.index(b, 0);
    m_list->selectionModel()->setCurrentIndex(
        moved, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void CJoinDlg::OnMoveUp()
{
    const std::vector<int> selected = SelectedRows();
    if (selected.size() == 1 && selected[0] > 0)
        SwapRows(selected[0], selected[0] - 1);
}

void CJoinDlg::OnMoveDown()
{
    const std::vector<int> selected = SelectedRows();
    if (selected.size() == 1 && selected[0] + 1 < m_files.Count())
        SwapRows(selected[0], selected[0] + 1);
}

void CJoinDlg::OnPlayFile()
{
    const std::vector<int> selected = SelectedRows();
    if (selected.empty()) {
        ui::MessageBox(this, tr("No File is selected"));
        return;
    }
    const QString path = m_files.Entries()[static_cast<std::size_t>(selected[0])].path;
    if (!help::OpenUrl(ui::FileNameToUrl(path)))
        help::TellLaunchFailed(this, help::LaunchTarget::AudioFile, path);
}

void CJoinDlg::ShowTotalDuration()
{
    m_list->setToolTip(m_files.Count() == 0
                           ? tr("Add the MP3 and WAV files to join, or drop them here")
                           : tr("%n file(s), %1 in all", nullptr, m_files.Count())
                                 .arg(QString::fromStdString(FormatClock(m_files.TotalDuration()))));
}

void CJoinDlg::SetupDragAndDrop()
{
    m_list->setDragEnabled(true);
    m_list->setAcceptDrops(true);
    m_list->viewport()->setAcceptDrops(true);
    m_list->setDropIndicatorShown(true);
    m_list->setDefaultDropAction(Qt::MoveAction);
    m_list->viewport()->installEventFilter(this);
    m_list->installEventFilter(this); // the Delete key
    // A drag within the list moves the model's rows; the total follows.
    connect(&m_files, &QAbstractItemModel::rowsRemoved, this, [this] { ShowTotalDuration(); });
}

bool CJoinDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (m_list && watched == m_list && event->type() == QEvent::KeyPress
        && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        // The key does what the Delete button does, and not while joining.
        if (m_btnDelete.isEnabled())
            OnDeleteFile();
        return true;
    }
    if (!m_list || watched != m_list->viewport())
        return CDialogPage::eventFilter(watched, event);
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
        return false;
    auto* drop = static_cast<QDropEvent*>(event);
    if (drop->source() == m_list || !drop->mimeData()->hasUrls())
        return false; // the list's own rows, or nothing a file manager sent
    if (!m_btnAdd.isEnabled()) { // joining: the list stays as it is
        drop->ignore();
        return true;
    }
    drop->setDropAction(Qt::CopyAction);
    drop->accept();
    if (type == QEvent::Drop)
        DropFiles(drop->mimeData()->urls());
    return true;
}

bool CJoinDlg::DropFiles(const QList<QUrl>& urls)
{
    QStringList accepted;
    QStringList refused;
    for (const QUrl& url : urls) {
        const QString path = ui::FileNameFromUrl(url);
        std::error_code ec;
        if (!path.isEmpty() && IsJoinableName(path) && std::filesystem::is_regular_file(ui::FileNameBytes(path), ec))
            accepted << path;
        else
            refused << (path.isEmpty() ? url.toDisplayString() : path);
    }
    if (!accepted.isEmpty())
        AddFiles(accepted);
    if (!refused.isEmpty())
        ui::MessageBox(this,
                       tr("Only MP3 and WAV files can be joined. Not added:\n%1").arg(refused.join(QLatin1Char('\n'))),
                       QString(), ui::MessageIcon::Warning);
    return refused.isEmpty();
}

void CJoinDlg::OnBack()
{
    ReleaseAll();
    EndDialog(ui::IDOK);
}

void CJoinDlg::OnCancel()
{
    ReleaseAll();
    EndDialog(ui::IDCANCEL);
}

void CJoinDlg::ReleaseAll()
{
    if (m_timerId) {
        KillTimer(m_timerId);
        m_timerId = 0;
    }
    m_jobDuration = 0;
    if (m_bridge)
        m_bridge->Detach();
    if (m_job) {
        m_job->Stop(); // closing the page is not keeping a half-made file
        m_job.reset();
    }
    m_encoder.reset();
}
