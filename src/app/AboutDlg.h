#pragma once
// The about box (template 100): the program's icon, its name, version and
// copyright line, and an OK button.

#include "DialogPage.h"

const ui::DialogTemplate& AboutDlgTemplate();

class CAboutDlg : public ui::CDialogPage {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);

    // "Tarnwick <version>", a line on what it does, the copyright line.
    static QString AboutText();

protected:
    bool OnInitDialog() override;
};
