#pragma once
// The split settings dialog (template 131): MP3 bit rate and sample rate,
// the start and cancel buttons, and the labels and progress bar of a run.
// For MP3 pieces of an MP3 source it also offers to keep the original sound:
// the pieces copy the source's frames instead of being re-encoded.
//
// A run never blocks the GUI thread: each piece is a CSplitJob streaming on
// its graph's threads, and a timer plus the graph's posted events move the
// bar and notice when the piece ends. Cancel, Esc, closing or destroying the
// dialog stops the running piece and removes what it had written.

#include "Breakpoint.h"
#include "DialogPage.h"
#include "JobResult.h"
#include "SkinButton.h"

#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <memory>

class CSplitJob;
class QComboBox;
class QProgressBar;

namespace ui {
class CGraphEventBridge;
}

const ui::DialogTemplate& ConvertDlgTemplate();

class CConvertDlg : public ui::CDialogPage {
    Q_OBJECT
public:
    explicit CConvertDlg(QWidget* parent = nullptr);
    ~CConvertDlg() override;

    // Handed over by the split page before the dialog runs.
    bool m_bMp3Output = true;
    QString m_strOutputName;
    QString m_wszSourcePath;
    QString m_strOutputDir;
    BreakpointList m_breakpoints; // ascending by time

    // Set by the start button from the two settings boxes.
    qint32 m_nBitRate = 0;    // kbps
    qint32 m_nSampleRate = 0; // Hz

    // True from a successful start until the last piece ends, fails or is
    // cancelled.
    bool IsRunning() const { return m_job != nullptr; }

protected:
    bool OnInitDialog() override;
    // The end of a run closes the dialog; Enter during a run does not.
    void OnOK() override;
    // Esc, the close box and the cancel button: a running piece is stopped
    // and removed first.
    void OnCancel() override;
    void OnTimer(int id) override;
    bool OnMessage(int message, quintptr wParam, qintptr lParam) override;

private:
    void OnStartButton();
    // The keep-original check box changed: the rates apply only to pieces
    // that are re-encoded, and label 1030 says which are, and why.
    void OnKeepOriginal();
    // Whether the pieces copy the source's frames: the check box is offered and checked.
    bool KeepOriginalSound() const;
    void OnCancelButton();

    // Starts the first piece; the rest follow from OnPieceEnded.
    void RunSplit();
    // Builds and starts the piece of the breakpoint pair (index, index + 1)
    // and advances the index. False when the piece could not start (told).
    [[nodiscard]] bool ExtractSegment(int& index);
    // Polls the running piece: its progress, and whether it has ended.
    void CheckRunningPiece();
    void OnPieceEnded(JobStatus status);
    // The last piece is done: the dialog closes, unless there is something
    // to tell about the pieces' tags; label 1030 tells it then and the
    // dialog stays until it is closed.
    void EndRun(const QString& lastPiece);
    // Stops and drops the running piece; a piece that did not complete is
    // removed.
    void ReleaseJob();
    void FailRun(const QString& reason);
    // Start and the settings boxes are usable only between runs.
    void EnableSettings(bool enable);

    QComboBox* m_cbSampleRate = nullptr;
    QComboBox* m_cbBitRate = nullptr;
    QProgressBar* m_progress = nullptr;
    CSkinButton m_btnStart;
    CSkinButton m_btnCancel;

    bool m_bCopyEveryPiece = false;   // keeping the original sound, and no piece has to be re-encoded
    std::unique_ptr<CSplitJob> m_job; // the piece running now, if any
    int m_nPairIndex = 0;             // the next breakpoint pair to extract
    QStringList m_tagWarnings;        // what the run's pieces told about their tags
    ui::CGraphEventBridge* m_graphEvents = nullptr;
};
