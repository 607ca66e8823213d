#pragma once
// The cuts of the tracks page, edited on the waveform and in the table: a
// double-click places one, a drag moves it, the arrow keys nudge it, Delete
// removes it. The waveform's marks follow the tracks, and the waveform's
// selected cut and the table's selected row stay the same one (row r
// starts at cut r - 1; the first row has no cut).

#include "TrackListModel.h"

#include <QObject>

class QTableView;
class WaveformView;

class CTracksCutEditor : public QObject {
    Q_OBJECT
public:
    CTracksCutEditor(TrackListModel& model, WaveformView* wave, QTableView* table, QObject* parent);

    // A cut at the playing position, selected.
    void PlaceCut();
    // The selected cut removed.
    void DeleteCut();
    void SelectCut(int index);
    // The table's selected row; -1 when none is.
    int SelectedRow() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnTracksChanged();
    void SyncSelectionFromTable();

    TrackListModel& m_model;
    WaveformView* m_wave = nullptr;
    QTableView* m_table = nullptr;
};
