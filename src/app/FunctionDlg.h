#pragma once
// The first page (template 102): choose the job, split one file or merge
// several, and for a split the source file; Next opens the page of the job.

#include "DialogPage.h"
#include "SkinButton.h"

#include <QIcon>
#include <QStringList>
#include <memory>

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
    // Files handed to the program at start (the desktop's "Open with"): one
    // file opens the split page for it, several open the join page, as if
    // chosen here before Next; `merge` opens the join page whatever the
    // count. One file with `tracks`, or one cue sheet, opens the tracks page
    // (a cue sheet with the source it names and its tracks); several files
    // with `tracks` open it with the first, and a box says so. False when
    // that page ended the program.
    bool OpenStartFiles(const QStringList& files, bool merge = false, bool tracks = false);
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
    // The page Next leads to; null when no source file was chosen.
    std::unique_ptr<ui::CDialogPage> CreateSecondPage();
    // Runs the tracks page on `file` (a cue sheet: on the source it names,
    // with its tracks); false when that page ended the program.
    bool OpenTracksPage(const QString& file);
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
