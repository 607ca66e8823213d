#pragma once
// The output part of the tracks page: the folder, the naming template with
// the name the first track would get, the format with a note on it, and
// the progress of Write all. It starts the run the page asks for, follows
// it with a timer and tells how it ended.

#include "TracksEngine.h"

#include <QCoreApplication>
#include <QWidget>

#include <functional>
#include <memory>

class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTimer;

namespace tracksoutput {
// The settings key of the last output folder: the page starts there, Browse
// and Write all remember it.
inline constexpr char kOutputFolderKey[] = "folders/tracksOutput";
} // namespace tracksoutput

class CTracksOutputPanel : public QWidget {
    // No signals of its own; its texts are the page's, one context for the
    // translators.
    Q_DECLARE_TR_FUNCTIONS(CTracksPage)
public:
    // `source` and `model` are the page's: the file the pieces are cut from
    // (set before the page runs) and its tracks. `busy` is told when a run
    // starts (true) and when it has ended (false, before the end is told).
    CTracksOutputPanel(TracksEngine& engine, const QString& source, const TrackListModel& model,
                       std::function<void(bool writing)> busy, QWidget* parent);

    QString OutputFolder() const;
    QString NameTemplate() const;
    TracksEngine::Format OutputFormat() const;
    void SetOutputFolder(const QString& folder);
    QString ExampleName() const;
    // The template last used, as the page opens.
    void RestoreNameTemplate();
    void UpdateExample();
    void UpdateFormatNote();
    void OnBrowseOutput();

    // Write all, in two steps with the page's own between them: the folder
    // is checked, made and remembered (false, told, when it cannot be)...
    bool PrepareFolder();
    // ...then the run starts (told when it cannot).
    void StartWrite();
    void OnCancelWrite();
    // The page is closing: a run is asked to stop and nothing more is told;
    // it ends on its own threads (see LetRunEnd).
    void EndWithPage();

private:
    void PollWrite();
    void FinishWrite();
    void SetBusy(bool writing);

    TracksEngine& m_engine;
    const QString& m_source;
    const TrackListModel& m_model;
    std::function<void(bool)> m_busy;

    QLineEdit* m_folderEdit = nullptr;
    QPushButton* m_browseButton = nullptr;
    QLineEdit* m_templateEdit = nullptr;
    QLabel* m_exampleLabel = nullptr;
    QRadioButton* m_keepRadio = nullptr;
    QRadioButton* m_mp3Radio = nullptr;
    QRadioButton* m_wavRadio = nullptr;
    QComboBox* m_bitrateCombo = nullptr;
    QComboBox* m_samplerateCombo = nullptr;
    QLabel* m_bitrateLabel = nullptr;
    QLabel* m_samplerateLabel = nullptr;
    QLabel* m_formatNote = nullptr;
    QProgressBar* m_progress = nullptr;
    QLabel* m_progressLabel = nullptr;
    QTimer* m_writeTimer = nullptr;
};

// A run whose page has gone, asked to stop: `engine` is kept and polled
// until the run has ended (the piece it was writing removed), then let go,
// so the page goes at once. A run still ending when the program ends is
// waited for then.
void LetRunEnd(std::unique_ptr<TracksEngine> engine);
// How many such runs have not ended yet.
int RunsStillEnding();
