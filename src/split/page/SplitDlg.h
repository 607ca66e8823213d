#pragma once
// The split page (template 129): the preview player, the breakpoints, the
// output directory and format, and the way back to the first page.
//
// The page's code lies in several files: SplitDlg.cpp (set-up, loading,
// output directory, navigation), SplitPlayer.cpp (the preview player) and
// SplitBreakpoints.cpp (adding, deleting and jumping to breakpoints).

#include "BalloonTip.h"
#include "BreakpointList.h"
#include "Breakpoint.h"
#include "DialogPage.h"
#include "SkinButton.h"
#include "media/graph/FilterGraph.h"

#include <QString>
#include <memory>
#include <string>

class QSlider;

namespace ui {
class CGraphEventBridge;
}

const ui::DialogTemplate& SplitDlgTemplate();

class CSplitDlg : public ui::CDialogPage {
    Q_OBJECT
public:
    explicit CSplitDlg(QWidget* parent = nullptr);
    ~CSplitDlg() override;

    // The source file, assigned by the first page before the page runs.
    QString m_strSourcePath;

    // Navigation and output (SplitDlg.cpp).
    void OnBack();
    void OnNext();
    void OnBrowseOutputDir();
    void LoadSource();

    // Player (SplitPlayer.cpp).
    void OnPlay();
    void OnPause();
    void OnFastBackward();
    void OnFastForward();
    void OnSeekToBegin();
    void OnSeekToEnd();
    // Shows `position` (0: asks the graph) and makes it the candidate.
    void ShowPosition(REFERENCE_TIME position);

    // Breakpoints (SplitBreakpoints.cpp).
    bool AddCandidateBreakpoint();
    void OnAddCurrentBreakpoint();
    void OnAddTypedBreakpoint();
    qintptr OnDeleteBreakpoints(quintptr wParam, qintptr lParam);
    void OnBreakpointDblClk();

    // What the page holds, for the split job and for the tests.
    const BreakpointList& Breakpoints() const { return m_breakpoints; }
    int PlayState() const { return m_nPlayState; }
    REFERENCE_TIME Duration() const { return m_rtDuration; }
    bool HoldsGraph() const { return m_pGraph != nullptr; }

protected:
    bool OnInitDialog() override;
    bool OnCommandHelp(quintptr wParam, qintptr lParam) override;
    void OnTimer(int id) override;
    bool OnMessage(int message, quintptr wParam, qintptr lParam) override;

private:
    void SetupSkinButtons();
    void ConnectCommands();
    // The balloon tips of the page: CBalloonTip's Create and AddTool calls
    // go here once it exists (the output directory and the breakpoint list,
    // and the output directory's text whenever it changes).
    void RegisterTips();
    void SetOutputDirTip(const QString& text);
    void SetOutputDir(const QString& dir);
    // Everything the player holds goes when the page ends, however it ends.
    void OnPageEnded();
    QSlider* Slider() const;

    // Player (SplitPlayer.cpp).
    void ReleaseGraph();
    void StopPlayback();
    void CreateGraph();
    void RenderSource(const std::string& path);
    void ShowDuration();
    void StartPositionTimer();
    void StopPositionTimer();
    void RefreshPosition();
    void StartPlayback();
    void SeekToSlider();
    void OnGraphEvent();
    void SetSliderPos(qint64 ms);

    CBreakpointList m_listBreakpoints;

    // The source and whether its content is MPEG audio (chooses the chain).
    bool m_bSourceIsMp3 = false;

    // The playback graph's facets, all of one graph; empty when not held.
    std::shared_ptr<IGraphBuilder> m_pGraph;
    std::shared_ptr<IBasicVideo> m_pBasicVideo;
    std::shared_ptr<IBasicAudio> m_pBasicAudio;
    std::shared_ptr<IMediaControl> m_pControl;
    std::shared_ptr<IMediaSeeking> m_pSeeking;
    std::shared_ptr<IMediaEventEx> m_pEvent;
    std::shared_ptr<IVideoWindow> m_pVideoWindow;
    std::shared_ptr<IVideoFrameStep> m_pFrameStep;
    int m_nPlayState = 0; // 0 stopped, 2 running
    REFERENCE_TIME m_rtDuration = 0;
    // Posts the graph's notices as WM_SPLIT_GRAPHEVENT; drops stale ones.
    ui::CGraphEventBridge* m_pEventBridge = nullptr;

    // The candidate breakpoint: the position last shown, or a typed time.
    qint64 m_llCandidateMs = 0;
    QString m_strCandidateText;
    BreakpointList m_breakpoints; // ascending, distinct, at most two

    int m_nPositionTimer = 0;
    int m_nStartupTimer = 0;

    std::string m_szSourcePath;   // the path handed to the renderer (UTF-8)
    QString m_strOutputName;      // the source's file name
    QString m_wszSourcePath;      // the path the graph was built for
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
