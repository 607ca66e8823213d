#pragma once
// The tracks page: the whole source as a waveform, the cuts that divide it
// into tracks, a table of the tracks, the tools that make cuts (cue sheet,
// label file, silences, equal parts), the output settings and Write all.
//
// Built with Qt layouts and resizable. The page owns a preview player for
// hearing a cut's edges, a background scan of the source that fills the
// waveform as it goes, and, while writing, the tracks job; the page polls
// both with timers and never waits for them.

#include "DialogPage.h"
#include "PreviewPlayer.h"
#include "TrackListModel.h"
#include "WaveformView.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class QButtonGroup;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTableView;
class QTimer;

class TracksEngine;

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
    QString Note() const;
    bool IsWriting() const;
    // Until the waveform holds every block of the scan.
    bool IsScanning() const;
    // Loads the source now (normally done just after the page shows).
    void LoadSource();

    // Commands, also reached by the page's buttons.
    void OnPlayPause();
    void OnPlayCut();
    void OnPlaceCut();
    void OnDeleteCut();
    void OnImportCue();
    void OnImportLabels();
    void OnFindSilences();
    void OnEqualParts();
    void OnExportCue();
    void OnExportLabels();
    void OnBrowseOutput();
    void OnWriteAll();
    void OnCancelWrite();
    void OnBack();

    // The output settings as the job takes them.
    QString OutputFolder() const;
    QString NameTemplate() const;
    enum class Format { Keep, Mp3, Wav };
    Format OutputFormat() const;
    void SetOutputFolder(const QString& folder);
    QString ExampleName() const;

    // Imports a cue sheet or label file without a dialog.
    bool ImportCue(const QString& path);
    bool ImportLabels(const QString& path);
    // What the tool dialogs apply: the silences found with these settings
    // (shaded; the tracks replaced when `accept`), or equal parts.
    bool ApplySilences(double thresholdDb, double minSeconds, bool trim);
    bool ApplyEqualParts(int count, Time every, double snapSeconds);

protected:
    bool OnInitDialog() override;
    bool OnCommandHelp(quintptr wParam, qintptr lParam) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildLayout();
    void ConnectSignals();
    void OnPageEnded();
    void OnTracksChanged();
    void SyncSelectionFromTable();
    void SelectCut(int index);
    int SelectedRow() const;
    void ShowPosition(Time position);
    void OnPositionTick();
    void PollScan();
    void PollWrite();
    void UpdateExample();
    void UpdateFormatNote();
    void SetBusy(bool writing);
    void FinishWrite();
    void SeekTo(Time t);
    void PlaySegment();
    // False (told) when the source could not be opened for playing.
    bool CanPlay();

    CPreviewPlayer m_player;
    TrackListModel m_model;
    std::unique_ptr<TracksEngine> m_engine;
    Time m_duration = 0;

    WaveformView* m_wave = nullptr;
    QTableView* m_table = nullptr;
    QLabel* m_positionLabel = nullptr;
    QLabel* m_scanLabel = nullptr;
    QLabel* m_noteLabel = nullptr;
    QPushButton* m_playButton = nullptr;
    QPushButton* m_playCutButton = nullptr;
    QPushButton* m_placeCutButton = nullptr;
    QPushButton* m_deleteCutButton = nullptr;
    QPushButton* m_undoButton = nullptr;
    QPushButton* m_redoButton = nullptr;
    QList<QPushButton*> m_toolButtons;
    QLineEdit* m_folderEdit = nullptr;
    QPushButton* m_browseButton = nullptr;
    QLineEdit* m_templateEdit = nullptr;
    QLabel* m_exampleLabel = nullptr;
    QRadioButton* m_keepRadio = nullptr;
    QRadioButton* m_mp3Radio = nullptr;
    QRadioButton* m_wavRadio = nullptr;
    QComboBox* m_bitrateCombo = nullptr;
    QComboBox* m_samplerateCombo = nullptr;
    QLabel* m_formatNote = nullptr;
    QProgressBar* m_progress = nullptr;
    QLabel* m_progressLabel = nullptr;
    QPushButton* m_writeButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
    QPushButton* m_helpButton = nullptr;
    QPushButton* m_backButton = nullptr;
    QPushButton* m_exitButton = nullptr;

    QTimer* m_positionTimer = nullptr;
    QTimer* m_scanTimer = nullptr;
    QTimer* m_writeTimer = nullptr;
    // "Play the cut": the stretches still to play, in order.
    struct Segment {
        Time start = 0;
        Time end = 0;
    };
    std::vector<Segment> m_segments;
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
