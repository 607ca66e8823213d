#include "AboutDlg.h"

CAboutDlg::CAboutDlg(QWidget* parent)
    : CDialogPage(AboutDlgTemplate(), parent)
{
}

bool CAboutDlg::OnInitDialog()
{
    OnClicked(ui::IDOK, [this] { OnOK(); });
    return true;
}
