#pragma once
// The first page (template 102): choose the job, split one file or merge
// several, and for a split the source file; Next opens the page of the job.

#include "DialogPage.h"
#include "SkinButton.h"

#include <QIcon>

class QMenu;

const ui::DialogTemplate& FunctionDlgTemplate();

class CFunctionDlg : public ui::CDialogPage {
    Q_OBJECT
public:
    explicit CFunctionDlg(QWidget* parent = nullptr);
    ~CFunctionDlg() override;

    bool BrowseCancelled() const { return m_bBrowseCancelled; }

    void OnSplitChosen();
    void OnMergeChosen();
    void OnBrowse();
    void OnNext();
    // Window-menu commands; IDM_ABOUTBOX shows the about box.
    void OnSysCommand(int command);
    // The page's window menu: Minimize and Close, a separator, then the about
    // entry. The caller owns the menu.
    QMenu* CreateSystemMenu();

protected:
    bool OnInitDialog() override;
    // An IDOK command (Enter) does not close the first page.
    void OnOK() override {}
    bool OnCommandHelp(quintptr wParam, qintptr lParam) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void SetupSkinButtons();
    void ConnectCommands();

    QIcon m_hIcon;
    bool m_bBrowseCancelled = false;
    CSkinButton m_btnNext;
    CSkinButton m_btnBack;
    CSkinButton m_btnHelp;
    CSkinButton m_btnExit;
    CSkinButton m_btnSelectFile;
    CSkinButton m_btnHomePage;
};
