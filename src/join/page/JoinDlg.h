#pragma once
// The join page (template 219): the list of files to merge, their order,
// the encoder settings, and starting and stopping the merge.

#include "DialogPage.h"
#include "JoinListModel.h"
#include "SkinButton.h"
#include "TagFields.h"

#include <QStringList>
#include <memory>
#include <string>
#include <vector>

class CBaseFilter;
class CJoinJob;
class QProgressBar;
class QTreeView;
namespace ui {
class CGraphEventBridge;
}

const ui::DialogTemplate& JoinDlgTemplate();

class CJoinDlg : public ui::CDialogPage {
    Q_OBJECT
public:
    explicit CJoinDlg(QWidget* parent = nullptr);
    ~CJoinDlg() override;

    // Enables or disables the buttons that must rest while a merge runs:
    // begin, add, delete, move up, move down and play.
    virtual void EnableControls(bool enable);

    // Files to list once the page has appeared (the command line's).
    void SetStartFiles(const QStringList& files) { m_startFiles = files; }
    // Lists the files in order, each measured; one that cannot be measured
    // is listed with 00:00:00 and duration 0.
    void AddFiles(const QStringList& paths);

    // The files to join, as the list shows them.
    const CJoinListModel& FileList() const { return m_files; }
    const std::shared_ptr<CBaseFilter>& Encoder() const { return m_encoder; }
    // The merged file's tags as the settings page left them.
    const tags::MergeTagChoices& TagChoices() const { return m_tagChoices; }
    bool IsJoining() const { return m_job != nullptr; }

    void OnBack();
    void OnAddFiles();
    void OnDeleteFile();
    void OnMoveUp();
    void OnMoveDown();
    void OnPlayFile();
    void OnSettings();
    void OnBeginJoin();
    void OnStopJoin();

protected:
    bool OnInitDialog() override;
    // Enter goes back, as the Back button does.
    void OnOK() override { OnBack(); }
    void OnCancel() override;
    void OnTimer(int id) override;
    bool OnMessage(int message, quintptr wParam, qintptr lParam) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum class JoinState { Running, Ended };

    void SetupSkinButtons();
    void ConnectCommands();
    void DescribeControls();
    void SetupDragAndDrop();
    // Drops from the file manager: MP3 and WAV files are added in the order
    // dropped, anything else is refused by name.
    bool DropFiles(const QList<QUrl>& urls);
    // The rows chosen in the list, in ascending order.
    std::vector<int> SelectedRows() const;
    void SwapRows(int a, int b);
    void ShowTotalDuration();
    // Whether the list can be joined; says why not when it cannot.
    bool CheckListForJoin();
    // Looks at the running join after its news: whether it has ended (and
    // then says how).
    JoinState HandleGraphEvents();
    void EndJoin();
    // Ends a running join without keeping anything and lets go of the
    // graph and the encoder: every way of closing the page.
    void ReleaseAll();

    QProgressBar* m_progress = nullptr;
    QTreeView* m_list = nullptr;
    CJoinListModel m_files;
    REFERENCE_TIME m_jobDuration = 0;
    int m_timerId = 0;
    std::shared_ptr<CBaseFilter> m_encoder;
    tags::MergeTagChoices m_tagChoices; // set on the encoder's settings page
    std::unique_ptr<CJoinJob> m_job;
    ui::CGraphEventBridge* m_bridge = nullptr;
    QStringList m_startFiles;

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
