#include "SplitDlg.h"

#include "Help.h"
#include "SplitDlgIds.h"

#include <QComboBox>

using namespace split_ids;

CSplitDlg::CSplitDlg(QWidget* parent)
    : CDialogPage(SplitDlgTemplate(), parent)
{
}

CSplitDlg::~CSplitDlg() = default;

bool CSplitDlg::OnInitDialog()
{
    SetDlgItemText(IDC_TYPED_TIME, QStringLiteral("00:00:00"));
    SetupSkinButtons();
    if (auto* format = DlgItem<QComboBox>(IDC_OUTPUT_FORMAT))
        format->setCurrentIndex(0);
    ConnectCommands();
    EnableCommandHelp();
    return true;
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
    OnClicked(IDC_EXIT, [this] { OnCancel(); });
    OnClicked(IDC_HELP, [] { LaunchHelp(); });
    OnClicked(IDC_HOME_PAGE, [] { OpenHomePage(); });
}

void CSplitDlg::OnBack()
{
    OnOK();
}

bool CSplitDlg::OnCommandHelp(quintptr /*wParam*/, qintptr lParam)
{
    return ::OnCommandHelp(lParam);
}
