// The cuts of the tracks page on the waveform and in the table, kept in step
// through the track list.

#include "TracksCutEditor.h"

#include "WaveformView.h"

#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QTableView>

#include <algorithm>

CTracksCutEditor::CTracksCutEditor(TrackListModel& model, WaveformView* wave, QTableView* table, QObject* parent)
    : QObject(parent), m_model(model), m_wave(wave), m_table(table)
{
    using Time = tracktime::Time;
    connect(&m_model, &TrackListModel::tracksChanged, this, &CTracksCutEditor::OnTracksChanged);
    connect(m_table->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &CTracksCutEditor::SyncSelectionFromTable);
    connect(m_wave, &WaveformView::cutRequested, this, [this](qint64 t) {
        if (m_model.PlaceCut(t))
            SelectCut(m_model.CutIndexAt(t));
    });
    connect(m_wave, &WaveformView::cutSelected, this, &CTracksCutEditor::SelectCut);
    connect(m_wave, &WaveformView::cutDragged, this, [this](int index, qint64 /*from*/, qint64 to) {
        if (!m_model.MoveCut(index, to))
            m_wave->SetCuts(m_model.Cuts()); // refused: the mark goes back
        SelectCut(m_model.CutIndexAt(to));
    });
    connect(m_wave, &WaveformView::deleteCutRequested, this, [this](int index) {
        m_model.DeleteCut(index);
    });
    connect(m_wave, &WaveformView::nudgeRequested, this, [this](int index, qint64 delta) {
        const Time to = m_model.Cuts()[static_cast<std::size_t>(index)] + delta;
        if (m_model.NudgeCut(index, delta))
            SelectCut(m_model.CutIndexAt(to));
    });
    m_table->installEventFilter(this);
}

void CTracksCutEditor::OnTracksChanged()
{
    const int keep = m_wave->SelectedCut();
    m_wave->SetCuts(m_model.Cuts());
    if (keep >= 0)
        SelectCut(std::min(keep, static_cast<int>(m_model.Cuts().size()) - 1));
}

int CTracksCutEditor::SelectedRow() const
{
    const QModelIndexList rows = m_table->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void CTracksCutEditor::SyncSelectionFromTable()
{
    const int row = SelectedRow();
    if (row < 0)
        return;
    // Row r starts at cut r - 1; the first row has no cut.
    m_wave->SetSelectedCut(row - 1);
    const PageTrack& track = m_model.Tracks()[static_cast<std::size_t>(row)];
    m_wave->EnsureVisible(track.start);
}

void CTracksCutEditor::SelectCut(int index)
{
    m_wave->SetSelectedCut(index);
    if (index < 0)
        return;
    // The row of the track the cut starts; the current cell moves only when
    // it is on another row (an edit in this row stays open).
    const QModelIndex cell = m_model.index(index + 1, TrackListModel::ColStart);
    if (SelectedRow() != index + 1)
        m_table->selectionModel()->select(cell, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    if (m_table->currentIndex().row() != index + 1)
        m_table->selectionModel()->setCurrentIndex(cell, QItemSelectionModel::NoUpdate);
    m_table->scrollTo(cell);
}

void CTracksCutEditor::PlaceCut()
{
    const tracktime::Time t = m_wave->PlayPosition();
    if (m_model.PlaceCut(t))
        SelectCut(m_model.CutIndexAt(t));
}

void CTracksCutEditor::DeleteCut()
{
    const int cut = m_wave->SelectedCut();
    if (cut >= 0)
        m_model.DeleteCut(cut);
}

bool CTracksCutEditor::eventFilter(QObject* watched, QEvent* event)
{
    // While a cell is edited its editor has the keys, not the table.
    if (watched == m_table && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Delete && m_wave->SelectedCut() >= 0) {
            DeleteCut();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}
