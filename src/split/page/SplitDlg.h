#pragma once
// The split page (template 129): the preview player, the breakpoints, the
// output directory and format, and the way back to the first page.
//
// The page holds one preview player and asks it; the breakpoints live in
// one model that the list box shows.

#include "BalloonTip.h"
#include "BreakpointList.h"
#include "BreakpointModel.h"
#include "DialogPage.h"
#include "PreviewPlayer.h"
#include "SkinButton.h"

#include <QString>
#include <string>

class QSlider;

const ui::DialogTemplate& SplitDlgTemplate();

class CSplitDlg : public ui::CDialogPage {
    Q_OBJECT
public:
    // Whether the page has set the player running. The player's own state
    // may differ: loading leaves it cued while this says stopped, and Back
    // stops it without changing this.
    enum class PlayState { Stopped, Running };

    explicit CSplitDlg(QWidget* parent = nullptr);
    ~CSplitDlg() override;

    // The source file, assigned by the first page before the page runs.
    QString m_strSourcePath;

    // Navigation and output.
    void OnBack();
    void OnNext();
    void OnBrowseOutputDir();
    void LoadSource();

    // Player.
    void OnPlay();
    void OnPause();
    void OnFastBackward();
    void OnFastForward();
    void OnSeekToBegin();
    void OnSeekToEnd();
    // Shows `position` (0: asks the player) and makes it the candidate.
    void ShowPosition(REFERENCE_TIME position);

    // Breakpoints.
    bool AddCandidateBreakpoint();
    void OnAddCurrentBreakpoint();
    void OnAddTypedBreakpoint();
    void OnDeleteBreakpoint(int row);
    void OnDeleteAllBreakpoints();
    void OnBreakpointDblClk();
    // Opens the tracks page for this source, the breakpoints as its first
    // cuts; Back there comes back here.
    void OnTracks();

    // What the page holds, for the split job and for the tests.
    const BreakpointList& Breakpoints() const { return m_breakpoints.Entries(); }
    PlayState GetPlayState() const { return m_playState; }
    REFERENCE_TIME Duration() const { return m_rtDuration; }
    bool HoldsGraph() const { return m_player.IsOpen(); }
    const CPreviewPlayer& Player() const { return m_player; }

protected:
    bool OnInitDialog() override;
    bool OnCommandHelp(quintptr wParam, qintptr lParam) override;
    void OnTimer(int id) override;

private:
    void SetupSkinButtons();
    void ConnectCommands();
    // The balloon tips of the page: the output directory and the breakpoint
    // list, and the output directory's text whenever it changes.
    void RegisterTips();
    void SetOutputDirTip(const QString& text);
    void SetOutputDir(const QString& dir);
    // Everything the player holds goes when the page ends, however it ends.
    void OnPageEnded();
    QSlider* Slider() const;

    // Player.
    void ReleaseGraph();
    void StopPlayback();
    void OpenSource(const QString& path);
    void ShowDuration();
    void StartPositionTimer();
    void StopPositionTimer();
    void RefreshPosition();
    void StartPlayback();
    void SeekToSlider();
    void OnGraphEvent();
    void SetSliderPos(qint64 ms);

    CBreakpointList m_listBreakpoints;
    CPreviewPlayer m_player;
    PlayState m_playState = PlayState::Stopped;
    REFERENCE_TIME m_rtDuration = 0;

    // The candidate breakpoint: the position last shown, or a typed time.
    qint64 m_llCandidateMs = 0;
    QString m_strCandidateText;
    CBreakpointModel m_breakpoints; // at most two

    int m_nPositionTimer = 0; // the position timer's id while it runs
    int m_nStartupTimer = 0;

    QString m_strOutputName; // the source's file name
    QString m_wszSourcePath; // the path the player was opened with
    QString m_strOutputDir;

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
    CBalloonTip m_balloon;
};
