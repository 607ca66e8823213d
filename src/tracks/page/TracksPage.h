#pragma once
// The tracks page: the whole source as a waveform, the cuts that divide it
// into tracks, a table of the tracks, the tools that make cuts (cue sheet,
// label file, silences, equal parts), the output settings and Write all.
//
// Built with Qt layouts and resizable. The page owns a preview player for
// hearing a cut's edges, a background scan of the source that fills the
// waveform as it goes, and, while writing, the tracks job; the page polls
// both with timers and never waits for them. Its parts: the cut editing
// (TracksCutEditor), playing (TracksPlayback), the tools (TracksTools) and
// the output with Write all (TracksOutputPanel).

#include "DialogPage.h"
#include "PreviewPlayer.h"
#include "TrackListModel.h"
#include "TracksCutEditor.h"
#include "TracksOutputPanel.h"
#include "TracksPlayback.h"
#include "TracksTools.h"
#include "WaveformView.h"

#include <QElapsedTimer>
#include <QString>

#include <memory>
#include <vector>

class QLabel;
class QPushButton;
class QTableView;
class QTimer;

class CTracksPage : public ui::CDialogPage {
    Q_OBJECT
public:
    using Time = tracktime::Time;

    explicit CTracksPage(QWidget* parent = nullptr);
    ~CTracksPage() override;

    // Set before the page runs: the source and, optionally, first cuts
    // (the split page's breakpoints) or a cue sheet to import at once.
    QString m_strSourcePath;
    std::vector<Time> m_initialCuts;
    QString m_strCueSheet;

    // What the page holds, for the tests.
    TrackListModel& Model() { return m_model; }
    WaveformView* Waveform() const { return m_wave; }
    QTableView* Table() const { return m_table; }
    CPreviewPlayer& Player() { return m_player; }
    TracksEngine& Engine() { return *m_engine; }
    QString Note() const { return m_tools->Note(); }
    bool IsWriting() const;
    // Until the waveform holds every block of the scan.
    bool IsScanning() const;
    // Loads the source now (normally done just after the page shows).
    void LoadSource();

    // Commands, also reached by the page's buttons.
    void OnPlayPause() { m_playback->PlayPause(); }
    void OnPlayCut();
    void OnPlaceCut() { m_cuts->PlaceCut(); }
    void OnDeleteCut() { m_cuts->DeleteCut(); }
    void OnImportCue() { m_tools->OnImportCue(); }
    void OnImportLabels() { m_tools->OnImportLabels(); }
    void OnFindSilences() { m_tools->OnFindSilences(); }
    void OnEqualParts() { m_tools->OnEqualParts(); }
    void OnExportCue() { m_tools->OnExportCue(); }
    void OnExportLabels() { m_tools->OnExportLabels(); }
    void OnBrowseOutput() { m_output->OnBrowseOutput(); }
    void OnWriteAll();
    void OnCancelWrite() { m_output->OnCancelWrite(); }
    void OnBack();

    // The output settings as the job takes them.
    QString OutputFolder() const { return m_output->OutputFolder(); }
    QString NameTemplate() const { return m_output->NameTemplate(); }
    using Format = TracksEngine::Format;
    Format OutputFormat() const { return m_output->OutputFormat(); }
    void SetOutputFolder(const QString& folder) { m_output->SetOutputFolder(folder); }
    QString ExampleName() const { return m_output->ExampleName(); }

    // Imports a cue sheet or label file without a dialog.
    bool ImportCue(const QString& path) { return m_tools->ImportCue(path); }
    bool ImportLabels(const QString& path) { return m_tools->ImportLabels(path); }
    // What the tool dialogs apply: the silences found with these settings
    // (shaded; the tracks replaced when there are two or more), or equal
    // parts.
    bool ApplySilences(double thresholdDb, double minSeconds, bool trim)
    {
        return m_tools->ApplySilences(thresholdDb, minSeconds, trim);
    }
    bool ApplyEqualParts(int count, Time every, double snapSeconds)
    {
        return m_tools->ApplyEqualParts(count, every, snapSeconds);
    }

protected:
    bool OnInitDialog() override;
    bool OnCommandHelp(quintptr wParam, qintptr lParam) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void BuildLayout();
    void ConnectSignals();
    void OnPageEnded();
    void ShowPosition(Time position) { m_playback->ShowPosition(position); }
    void PollScan();
    void UpdateExample() { m_output->UpdateExample(); }
    void UpdateFormatNote() { m_output->UpdateFormatNote(); }
    void SetBusy(bool writing);

    CPreviewPlayer m_player;
    TrackListModel m_model;
    std::unique_ptr<TracksEngine> m_engine;
    Time m_duration = 0;

    // The parts: playing is the page's own; the others are its children.
    std::unique_ptr<CTracksPlayback> m_playback;
    CTracksCutEditor* m_cuts = nullptr;
    CTracksTools* m_tools = nullptr;
    CTracksOutputPanel* m_output = nullptr;

    WaveformView* m_wave = nullptr;
    QTableView* m_table = nullptr;
    QLabel* m_positionLabel = nullptr;
    QLabel* m_scanLabel = nullptr;
    QPushButton* m_playButton = nullptr;
    QPushButton* m_playCutButton = nullptr;
    QPushButton* m_placeCutButton = nullptr;
    QPushButton* m_deleteCutButton = nullptr;
    QPushButton* m_undoButton = nullptr;
    QPushButton* m_redoButton = nullptr;
    QPushButton* m_writeButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
    QPushButton* m_helpButton = nullptr;
    QPushButton* m_backButton = nullptr;
    QPushButton* m_exitButton = nullptr;

    QTimer* m_positionTimer = nullptr;
    QTimer* m_scanTimer = nullptr;
    bool m_loaded = false;
    std::size_t m_exactShown = 0; // blocks of the full decode on the waveform
    bool m_sketchShown = false;
    QElapsedTimer m_scanClock; // since the scan started
};

// The audio file a cue sheet belongs to: the first FILE it names that
// exists beside it, else a file beside it with the sheet's own name and an
// .mp3 or .wav ending, else the first name the sheet gives (the page then
// says it cannot be played).
QString CueSheetSource(const QString& cuePath);
