#pragma once
// The split page (template 129): the preview player, the breakpoints, the
// output directory and format, and the way back to the first page.

#include "DialogPage.h"
#include "SkinButton.h"

#include <QString>

const ui::DialogTemplate& SplitDlgTemplate();

class CSplitDlg : public ui::CDialogPage {
    Q_OBJECT
public:
    explicit CSplitDlg(QWidget* parent = nullptr);
    ~CSplitDlg() override;

    // The source file, assigned by the first page before the page runs.
    QString m_strSourcePath;

    void OnBack();

protected:
    bool OnInitDialog() override;
    bool OnCommandHelp(quintptr wParam, qintptr lParam) override;

private:
    void SetupSkinButtons();
    void ConnectCommands();

    CSkinButton m_btnNext;
    CSkinButton m_btnBack;
    CSkinButton m_btnExit;
    CSkinButton m_btnHelp;
    CSkinButton m_btnBrowseOutput;
    CSkinButton m_btnAddTyped;
    CSkinButton m_btnAddCurrent;
    CSkinButton m_btnPause;
    CSkinButton m_btnPlay;
    CSkinButton m_btnSeekBegin;
    CSkinButton m_btnSeekEnd;
    CSkinButton m_btnFastBackward;
    CSkinButton m_btnFastForward;
    CSkinButton m_btnHomePage;
};
