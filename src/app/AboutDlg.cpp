#include "AboutDlg.h"

#include "FunctionDlgIds.h"
#include "TarnwickVersion.h"

#include <QLabel>

CAboutDlg::CAboutDlg(QWidget* parent)
    : CDialogPage(AboutDlgTemplate(), parent)
{
}

QString CAboutDlg::AboutText()
{
    return tr("Tarnwick %1\nCopyright \u00a9 2026 The Tarnwick developers")
        .arg(QStringLiteral(TARNWICK_VERSION));
}

bool CAboutDlg::OnInitDialog()
{
    SetDlgItemText(function_ids::IDC_ABOUT_TEXT, AboutText());
    if (auto* text = DlgItem<QLabel>(function_ids::IDC_ABOUT_TEXT))
        text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    OnClicked(ui::IDOK, [this] { OnOK(); });
    return true;
}
