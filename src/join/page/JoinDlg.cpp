// The join page: its controls, the file list and every way of closing it.
// Starting, following and stopping the merge are in JoinRun.cpp.

#include "JoinDlg.h"

#include "FileDialogs.h"
#include "GraphEventBridge.h"
#include "Help.h"
#include "JoinDlgIds.h"
#include "JoinEngine.h"
#include "ListView.h"
#include "MessageBox.h"
#include "media/graph/FilterRegistry.h"
#include "media/graph/TimeText.h"
#include "media/render/MediaGraph.h"
#include "media/render/MediaInit.h"

#include <QApplication>
#include <QComboBox>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QProgressBar>
#include <QTimer>
#include <QTreeWidget>

#include <utility>

using namespace join_ids;

namespace {

constexpr const char* kAddFilter =
    "Mp3 File(*.mp3), Wav File(*.wav)|*.mp3;*.wav|Mp3 File(*.mp3)|*.mp3|Wav File(*.wav)|*.wav|";

// Each row keeps its file and duration, so rows the list moved by itself
// (a drag) can be read back in their new order.
constexpr int kPathRole = Qt::UserRole;
constexpr int kDurationRole = Qt::UserRole + 1;

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
    MediaInitialize();
    m_progress = DlgItem<QProgressBar>(IDC_PROGRESS);
    m_list = DlgItem<QTreeWidget>(IDC_FILES);
    m_graph = std::make_unique<CMediaGraph>();
    m_timerId = 0;
    m_jobDuration = 0;
    SetupSkinButtons();
    ui::SetListViewExtendedStyle(m_list, ui::LVS_EX_GRIDLINES | ui::LVS_EX_FULLROWSELECT);
    ui::InsertListViewColumn(m_list, 0, QStringLiteral("Source File"), 300, Qt::AlignHCenter);
    ui::InsertListViewColumn(m_list, 1, QStringLiteral("Time"), 80, Qt::AlignHCenter);
    if (auto* format = DlgItem<QComboBox>(IDC_OUTPUT_FORMAT))
        format->setCurrentIndex(0);
    GUID encoderClass;
    if (SUCCEEDED(UuidFromString(clsid::LameEncoder, &encoderClass)))
        CreateFilter(encoderClass, &m_encoder);
    SetupDragAndDrop();
    ConnectCommands();
    EnableControls(true);
    ShowTotalDuration();
    if (!m_startFiles.isEmpty()) // once the page is on screen
        QTimer::singleShot(0, this, [this] { AddFiles(std::exchange(m_startFiles, {})); });
    return true;
}

void CJoinDlg::SetupSkinButtons()
{
    m_btnBack.SetupStandardSkin(IDC_BACK, this, IDB_BACK_HOVER, IDB_BACK, QStringLiteral("Back"));
    m_btnExit.SetupStandardSkin(IDC_EXIT, this, IDB_EXIT_HOVER, IDB_EXIT, QStringLiteral("Exit"));
    m_btnHelp.SetupStandardSkin(IDC_HELP, this, IDB_HELP_HOVER, IDB_HELP, QStringLiteral("Help"));
    m_btnHomePage.SetupStandardSkin(IDC_HOME_PAGE, this, IDB_HOME_PAGE_HOVER, IDB_HOME_PAGE,
                                    QStringLiteral("Home Page"));
    m_btnAdd.SetupStandardSkin(IDC_ADD, this, IDB_ADD_HOVER, IDB_ADD, QStringLiteral("Add Mp3 Files"));
    m_btnDelete.SetupStandardSkin(IDC_DELETE, this, IDB_DELETE_HOVER, IDB_DELETE,
                                  QStringLiteral("Delete Mp3 Files"));
    m_btnMoveUp.SetupStandardSkin(IDC_MOVE_UP, this, IDB_MOVE_UP_HOVER, IDB_MOVE_UP,
                                  QStringLiteral("Move Up"));
    m_btnMoveDown.SetupStandardSkin(IDC_MOVE_DOWN, this, IDB_MOVE_DOWN_HOVER, IDB_MOVE_DOWN,
                                    QStringLiteral("Move Down"));
    m_btnStop.SetupStandardSkin(IDC_STOP, this, IDB_STOP_HOVER, IDB_STOP, QStringLiteral("Stop Joining"));
    m_btnPlay.SetupStandardSkin(IDC_PLAY_FILE, this, IDB_PLAY_FILE_HOVER, IDB_PLAY_FILE,
                                QStringLiteral("Play The File"));
    m_btnSettings.SetupStandardSkin(IDC_SETTINGS, this, IDB_SETTINGS_HOVER, IDB_SETTINGS,
                                    QStringLiteral("Setting"));
    m_btnBegin.SetupStandardSkin(IDC_BEGIN, this, IDB_BEGIN_HOVER, IDB_BEGIN,
                                 QStringLiteral("Begin to Join Files"));
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
        this, QString::fromLatin1(kAddFilter), QString::fromLatin1(ui::kJoinAddFolderKey));
    if (paths && !paths->isEmpty())
        AddFiles(*paths);
}

void CJoinDlg::AddFiles(const QStringList& paths)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_editingRows = true;
    for (const QString& path : paths) {
        auto* row = new QTreeWidgetItem(m_list, {path});
        m_graph = std::make_unique<CMediaGraph>();
        m_graph->BuildDecodeGraph(path.toStdString());
        const REFERENCE_TIME duration = m_graph->GetDuration();
        row->setText(1, QString::fromStdString(m_graph->GetDurationText()));
        row->setData(0, kPathRole, path);
        row->setData(0, kDurationRole, QVariant::fromValue<qlonglong>(duration));
        row->setFlags(row->flags() & ~Qt::ItemIsDropEnabled); // rows go between rows, never into one
        m_files.push_back(path.toStdString());
        m_durations.push_back(duration);
        // A long list takes a while: let the page repaint, but take no
        // clicks or keys until every file is listed.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    m_editingRows = false;
    ShowTotalDuration();
    QApplication::restoreOverrideCursor();
}

void CJoinDlg::OnDeleteFile()
{
    m_editingRows = true;
    for (QTreeWidgetItem* row = m_list->selectedItems().value(0); row; row = m_list->selectedItems().value(0)) {
        const auto index = static_cast<std::size_t>(m_list->indexOfTopLevelItem(row));
        m_files.erase(m_files.begin() + static_cast<std::ptrdiff_t>(index));
        m_durations.erase(m_durations.begin() + static_cast<std::ptrdiff_t>(index));
        delete row;
    }
    m_editingRows = false;
    ShowTotalDuration();
}

void CJoinDlg::SwapRows(int a, int b)
{
    QTreeWidgetItem* first = m_list->topLevelItem(a);
    QTreeWidgetItem* second = m_list->topLevelItem(b);
    for (int column = 0; column < 2; ++column) {
        const QString text = first->text(column);
        first->setText(column, second->text(column));
        second->setText(column, text);
    }
    for (int role : {kPathRole, kDurationRole}) {
        const QVariant kept = first->data(0, role);
        first->setData(0, role, second->data(0, role));
        second->setData(0, role, kept);
    }
    std::swap(m_files[static_cast<std::size_t>(a)], m_files[static_cast<std::size_t>(b)]);
    std::swap(m_durations[static_cast<std::size_t>(a)], m_durations[static_cast<std::size_t>(b)]);
    m_list->setCurrentItem(second);
    second->setSelected(true);
}

void CJoinDlg::OnMoveUp()
{
    const QList<QTreeWidgetItem*> selected = m_list->selectedItems();
    if (selected.size() != 1)
        return;
    const int a = m_list->indexOfTopLevelItem(selected.first());
    if (a > 0)
        SwapRows(a, a - 1);
}

void CJoinDlg::OnMoveDown()
{
    const QList<QTreeWidgetItem*> selected = m_list->selectedItems();
    if (selected.size() != 1)
        return;
    const int a = m_list->indexOfTopLevelItem(selected.first());
    if (a >= 0 && a != m_list->topLevelItemCount() - 1)
        SwapRows(a, a + 1);
}

void CJoinDlg::OnPlayFile()
{
    QTreeWidgetItem* row = m_list->selectedItems().value(0);
    if (!row) {
        ui::MessageBox(this, QStringLiteral("No File is selected"));
        return;
    }
    const auto index = static_cast<std::size_t>(m_list->indexOfTopLevelItem(row));
    help::OpenUrl(QUrl::fromLocalFile(QString::fromStdString(m_files[index])));
}

void CJoinDlg::ShowTotalDuration()
{
    REFERENCE_TIME total = 0;
    for (REFERENCE_TIME duration : m_durations)
        total += duration;
    m_list->setToolTip(m_files.empty() ? tr("Add the MP3 and WAV files to join, or drop them here")
                                       : tr("%n file(s), %1 in all", nullptr, static_cast<int>(m_files.size()))
                                             .arg(QString::fromStdString(FormatClock(total))));
}

void CJoinDlg::SetupDragAndDrop()
{
    m_list->setDragEnabled(true);
    m_list->setAcceptDrops(true);
    m_list->viewport()->setAcceptDrops(true);
    m_list->setDropIndicatorShown(true);
    m_list->setDefaultDropAction(Qt::MoveAction);
    m_list->viewport()->installEventFilter(this);
    // A drag within the list moves rows by itself; read the order back.
    for (auto signal : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved})
        connect(m_list->model(), signal, this, [this] { SyncFilesWithRows(); });
}

bool CJoinDlg::eventFilter(QObject* watched, QEvent* event)
{
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
        const QString path = url.toLocalFile();
        if (!path.isEmpty() && IsJoinableName(path) && QFileInfo(path).isFile())
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

void CJoinDlg::SyncFilesWithRows()
{
    if (m_editingRows)
        return;
    m_files.clear();
    m_durations.clear();
    for (int i = 0; i < m_list->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* row = m_list->topLevelItem(i);
        m_files.push_back(row->data(0, kPathRole).toString().toStdString());
        m_durations.push_back(row->data(0, kDurationRole).toLongLong());
    }
    ShowTotalDuration();
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
    m_graph.reset();
    m_encoder.reset();
}
