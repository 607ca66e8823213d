#pragma once
// The about box (template 100): the program's icon and one button.

#include "DialogPage.h"

const ui::DialogTemplate& AboutDlgTemplate();

class CAboutDlg : public ui::CDialogPage {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);

protected:
    bool OnInitDialog() override;
};
