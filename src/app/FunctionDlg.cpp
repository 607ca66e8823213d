#include "FunctionDlg.h"

#include "AboutDlg.h"
#include "FileDialogs.h"
#include "FunctionDlgIds.h"
#include "Help.h"
#include "JoinDlg.h"
#include "MessageBox.h"
#include "Resources.h"
#include "SplitDlg.h"
#include "TracksPage.h"

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QFileInfo>
#include <QMenu>
#include <memory>

using namespace function_ids;

namespace {

// String 101: the about entry of the window menu.
QString AboutMenuText()
{
    return QCoreApplication::translate("CFunctionDlg", "关于 Brevlin(&A)...");
}

// Source files: audio files first (the preselected entry), then MP3, WAVE
// and every file.
const char* const kSourceFilter = QT_TRANSLATE_NOOP("CFunctionDlg",
                                                   "Audio File (*.mp3;*.wav)|*.mp3;*.wav|"
                                                   "Mp3 File (*.mp3)|*.mp3|"
                                                   "WAVE File (*.wav)|*.wav|"
                                                   "*.*|*.*");

bool IsCueSheet(const QString& file)
{
    return file.endsWith(QLatin1String(".cue"), Qt::CaseInsensitive);
}

} // namespace

CFunctionDlg::CFunctionDlg(QWidget* parent)
    : CDialogPage(FunctionDlgTemplate(), parent),
      m_hIcon(LoadIconResource(IDR_MAINFRAME))
{
}

CFunctionDlg::~CFunctionDlg() = default;

bool CFunctionDlg::OnInitDialog()
{
    setWindowIcon(m_hIcon);
    CheckRadioButton(IDC_SPLIT_CHOICE, IDC_MERGE_CHOICE, IDC_SPLIT_CHOICE);
    SetupSkinButtons();
    if (QWidget* source = GetDlgItem(IDC_SOURCE_PATH))
        source->setAccessibleDescription(tr("The file to split; the Select a File button beside it chooses it"));
    ConnectCommands();
    EnableCommandHelp();
    return true;
}

void CFunctionDlg::SetupSkinButtons()
{
    m_btnNext.SetupStandardSkin(IDC_NEXT, this, IDB_NEXT_HOVER, IDB_NEXT, tr("Next"));
    m_btnBack.SetupStandardSkin(IDC_BACK, this, IDB_BACK_HOVER, IDB_BACK, tr("Back"));
    // The first page has nothing to go back to.
    EnableWindow(IDC_BACK, false);
    m_btnExit.SetupStandardSkin(IDC_EXIT, this, IDB_EXIT_HOVER, IDB_EXIT, tr("Exit"));
    m_btnHelp.SetupStandardSkin(IDC_HELP, this, IDB_HELP_HOVER, IDB_HELP, tr("Help"));
    m_btnSelectFile.SetupStandardSkin(IDC_SELECT_FILE, this, IDB_SELECT_FILE_HOVER, IDB_SELECT_FILE,
                                      tr("Select a File"));
    m_btnHomePage.SetupStandardSkin(IDC_FIRST_HOME_PAGE, this, IDB_HOME_PAGE_HOVER, IDB_HOME_PAGE,
                                    tr("Home Page"));
}

void CFunctionDlg::ConnectCommands()
{
    OnClicked(IDC_NEXT, [this] { OnNext(); });
    OnClicked(IDC_EXIT, [this] { OnCancel(); });
    OnClicked(IDC_SELECT_FILE, [this] { OnBrowse(); });
    OnClicked(IDC_SPLIT_CHOICE, [this] { OnSplitChosen(); });
    OnClicked(IDC_MERGE_CHOICE, [this] { OnMergeChosen(); });
    OnClicked(IDC_HELP, [] { LaunchHelp(); });
    OnClicked(IDC_FIRST_HOME_PAGE, [] { OpenHomePage(); });
}

void CFunctionDlg::OnSplitChosen()
{
    if (!IsDlgButtonChecked(IDC_SPLIT_CHOICE))
        return;
    SetDlgItemText(IDC_SOURCE_PATH, QString());
    EnableWindow(IDC_SELECT_FILE, true);
}

void CFunctionDlg::OnMergeChosen()
{
    if (!IsDlgButtonChecked(IDC_MERGE_CHOICE))
        return;
    SetDlgItemText(IDC_SOURCE_PATH, QString());
    EnableWindow(IDC_SELECT_FILE, false);
}

void CFunctionDlg::OnBrowse()
{
    const std::optional<QString> path = ui::GetOpenFileName(this, tr(kSourceFilter),
                                                                QString::fromLatin1(ui::kOpenFolderKey));
    if (path) {
        SetDlgItemText(IDC_SOURCE_PATH, *path);
        m_bBrowseCancelled = false;
    } else {
        m_bBrowseCancelled = true;
    }
}

std::unique_ptr<ui::CDialogPage> CFunctionDlg::CreateSecondPage()
{
    if (!IsDlgButtonChecked(IDC_SPLIT_CHOICE))
        return std::make_unique<CJoinDlg>(this);
    QString path = GetDlgItemText(IDC_SOURCE_PATH);
    if (path.isEmpty()) {
        OnBrowse();
        path = GetDlgItemText(IDC_SOURCE_PATH);
        if (m_bBrowseCancelled)
            return nullptr;
    }
    // File names are case-sensitive here: the path goes on as chosen.
    auto split = std::make_unique<CSplitDlg>(this);
    split->m_strSourcePath = path;
    return split;
}

void CFunctionDlg::OnNext()
{
    std::unique_ptr<ui::CDialogPage> page = CreateSecondPage();
    if (!page)
        return;
    // The next page takes this one's place on the screen, and going back
    // puts this one where that page was left.
    page->CentreOn(*this);
    hide();
    if (page->DoModal() == ui::IDOK) {
        CentreOn(*page);
        show();
    } else {
        EndDialog(ui::IDCANCEL);
    }
}

bool CFunctionDlg::OpenStartFiles(const QStringList& files, bool merge, bool tracks)
{
    if (files.isEmpty() && !merge)
        return true;
    EnsureInitDialog();
    if (!merge && tracks && files.size() > 1) {
        // The tracks page cuts one source: the first file, and the person
        // is told the others stay closed.
        ui::MessageBox(this,
                       tr("The tracks page opens one file at a time: it opens the first, %1.")
                           .arg(QFileInfo(files.first()).fileName()),
                       QString(), ui::MessageIcon::Information);
        return OpenTracksPage(files.first());
    }
    if (files.size() == 1 && !merge && (tracks || IsCueSheet(files.first())))
        return OpenTracksPage(files.first());
    if (files.size() == 1 && !merge) {
        CheckRadioButton(IDC_SPLIT_CHOICE, IDC_MERGE_CHOICE, IDC_SPLIT_CHOICE);
        OnSplitChosen();
        SetDlgItemText(IDC_SOURCE_PATH, files.first());
    } else {
        CheckRadioButton(IDC_SPLIT_CHOICE, IDC_MERGE_CHOICE, IDC_MERGE_CHOICE);
        OnMergeChosen();
    }
    // This page has not been shown yet: Back shows it through its own run.
    std::unique_ptr<ui::CDialogPage> page = CreateSecondPage();
    if (auto* join = qobject_cast<CJoinDlg*>(page.get()))
        join->SetStartFiles(files);
    if (page && page->DoModal() != ui::IDOK) {
        EndDialog(ui::IDCANCEL);
        return false;
    }
    if (page)
        CentreOn(*page);
    return true;
}

bool CFunctionDlg::OpenTracksPage(const QString& file)
{
    CTracksPage page;
    if (IsCueSheet(file)) {
        page.m_strCueSheet = file;
        page.m_strSourcePath = CueSheetSource(file);
    } else {
        page.m_strSourcePath = file;
    }
    SetDlgItemText(IDC_SOURCE_PATH, page.m_strSourcePath);
    if (page.DoModal() != ui::IDOK) {
        EndDialog(ui::IDCANCEL);
        return false;
    }
    return true;
}

void CFunctionDlg::OnSysCommand(int command)
{
    if ((command & 0xFFF0) == IDM_ABOUTBOX) {
        CAboutDlg about(this);
        about.DoModal();
    }
}

QMenu* CFunctionDlg::CreateSystemMenu()
{
    auto* menu = new QMenu(this);
    menu->addAction(tr("Mi&nimize"), this, [this] { showMinimized(); });
    menu->addAction(tr("&Close\tAlt+F4"), this, [this] { OnCancel(); });
    const QString about = AboutMenuText();
    if (!about.isEmpty()) {
        menu->addSeparator();
        menu->addAction(about, this, [this] { OnSysCommand(IDM_ABOUTBOX); });
    }
    return menu;
}

void CFunctionDlg::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu* menu = CreateSystemMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
    event->accept();
}

bool CFunctionDlg::OnCommandHelp(quintptr /*wParam*/, qintptr lParam)
{
    return ::OnCommandHelp(lParam);
}
