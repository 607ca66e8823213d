#include "JoinDlg.h"

#include "Help.h"
#include "JoinDlgIds.h"
#include "ListView.h"

#include <QComboBox>
#include <QTreeWidget>

using namespace join_ids;

CJoinDlg::CJoinDlg(QWidget* parent)
    : CDialogPage(JoinDlgTemplate(), parent)
{
}

CJoinDlg::~CJoinDlg() = default;

bool CJoinDlg::OnInitDialog()
{
    SetupSkinButtons();
    if (auto* files = DlgItem<QTreeWidget>(IDC_FILES)) {
        ui::SetListViewExtendedStyle(files, ui::LVS_EX_GRIDLINES | ui::LVS_EX_FULLROWSELECT);
        ui::InsertListViewColumn(files, 0, QStringLiteral("Source File"), 300, Qt::AlignHCenter);
        ui::InsertListViewColumn(files, 1, QStringLiteral("Time"), 80, Qt::AlignHCenter);
    }
    if (auto* format = DlgItem<QComboBox>(IDC_OUTPUT_FORMAT))
        format->setCurrentIndex(0);
    ConnectCommands();
    EnableControls(true);
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
    OnClicked(IDC_EXIT, [this] { OnCancel(); });
    OnClicked(IDC_HELP, [] { LaunchHelp(); });
    OnClicked(IDC_HOME_PAGE, [] { OpenHomePage(); });
}

void CJoinDlg::EnableControls(bool enable)
{
    for (int id : {IDC_BEGIN, IDC_ADD, IDC_DELETE, IDC_MOVE_UP, IDC_MOVE_DOWN, IDC_PLAY_FILE})
        EnableWindow(id, enable);
}

void CJoinDlg::OnBack()
{
    EndDialog(ui::IDOK);
}
