#pragma once
// The tools of the tracks page, a row of buttons: the tracks taken from a
// cue sheet, a label file, the silences of the sound or equal parts, and
// saved as a cue sheet or a label file. Below them a line for what a
// reader wants the person to know (a sheet naming another file).

#include "TracksEngine.h"

#include <QCoreApplication>
#include <QList>
#include <QWidget>

class QLabel;
class QPushButton;

class CTracksTools : public QWidget {
    // No signals of its own; its texts are the page's, one context for the
    // translators.
    Q_DECLARE_TR_FUNCTIONS(CTracksPage)
public:
    using Time = tracktime::Time;

    // What the tools work on, all the page's: its engine, its tracks, its
    // waveform (silences are shaded on it), its source (set before the page
    // runs) and the source's length (known once the page has loaded it).
    struct Target {
        TracksEngine& engine;
        TrackListModel& model;
        WaveformView& wave;
        const QString& source;
        const Time& duration;
    };
    CTracksTools(Target target, QWidget* parent);

    // The commands of the buttons, each with its dialog.
    void OnImportCue();
    void OnImportLabels();
    void OnFindSilences();
    void OnEqualParts();
    void OnExportCue();
    void OnExportLabels();

    // Imports a cue sheet or label file without a dialog.
    bool ImportCue(const QString& path);
    bool ImportLabels(const QString& path);
    // What the tool dialogs apply: the silences found with these settings
    // (shaded; the tracks replaced when there are two or more), or equal
    // parts.
    bool ApplySilences(double thresholdDb, double minSeconds, bool trim);
    bool ApplyEqualParts(int count, Time every, double snapSeconds);

    QString Note() const;
    // While the pieces are written the tracks stay as they are.
    void SetBusy(bool writing);

private:
    Target m_target;
    QList<QPushButton*> m_buttons;
    QLabel* m_noteLabel = nullptr;
};
