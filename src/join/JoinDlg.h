#pragma once
// The join page (template 219): the list of files to merge, their order,
// the encoder settings, and starting and stopping the merge.

#include "DialogPage.h"
#include "SkinButton.h"

const ui::DialogTemplate& JoinDlgTemplate();

class CJoinDlg : public ui::CDialogPage {
    Q_OBJECT
public:
    explicit CJoinDlg(QWidget* parent = nullptr);
    ~CJoinDlg() override;

    // Enables or disables the buttons that must rest while a merge runs:
    // begin, add, delete, move up, move down and play.
    virtual void EnableControls(bool enable);

    void OnBack();

protected:
    bool OnInitDialog() override;
    // Enter goes back, as the Back button does.
    void OnOK() override { OnBack(); }

private:
    void SetupSkinButtons();
    void ConnectCommands();

    CSkinButton m_btnBack;
    CSkinButton m_btnExit;
    CSkinButton m_btnHelp;
    CSkinButton m_btnHomePage;
    CSkinButton m_btnAdd;
    CSkinButton m_btnDelete;
    CSkinButton m_btnMoveUp;
    CSkinButton m_btnMoveDown;
    CSkinButton m_btnStop;
    CSkinButton m_btnPlay;
    CSkinButton m_btnSettings;
    CSkinButton m_btnBegin;
};
