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
    // Between the icon and the button, in the box's own font and size.
    auto* text = new QLabel(AboutText(), this);
    text->setProperty("controlId", function_ids::IDC_ABOUT_TEXT);
    text->setObjectName(QStringLiteral("id%1").arg(function_ids::IDC_ABOUT_TEXT));
    text->setTextFormat(Qt::PlainText);
    text->setWordWrap(true);
    text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    text->setGeometry(MapDialogRect(QRect(40, 10, 134, 36)));
    text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    OnClicked(ui::IDOK, [this] { OnOK(); });
    return true;
}
