#pragma once
// The tracks of the tracks page: an ordered list of stretches of the source
// (start, end, title, performer), shown as a table (number, start, end,
// length, title, performer) whose title, performer, start and end are
// edited in place. Consecutive tracks normally share their boundary: that
// boundary is a cut, and the page places, moves, nudges and deletes cuts.
// Every change goes through an undo stack.

#include "TrackTime.h"

#include <QAbstractTableModel>
#include <QString>
#include <QUndoStack>

#include <vector>

struct PageTrack {
    tracktime::Time start = 0;
    tracktime::Time end = 0;
    QString title;
    QString performer;
    bool operator==(const PageTrack&) const = default;
};
using PageTracks = std::vector<PageTrack>;

class TrackListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using Time = tracktime::Time;
    enum Column { ColNumber, ColStart, ColEnd, ColLength, ColTitle, ColPerformer, ColumnCount };

    explicit TrackListModel(QObject* parent = nullptr);

    // A new source: one track over all of it, and no history.
    void Reset(Time duration);
    Time Duration() const { return m_duration; }
    const PageTracks& Tracks() const { return m_tracks; }
    QUndoStack& UndoStack() { return m_undo; }

    // The starts of every track after the first: the cut marks.
    std::vector<Time> Cuts() const;
    // The cut at `t`'s place in the track list, if any.
    int CutIndexAt(Time t) const;

    // Each records one undoable step and returns false when nothing changed
    // (a time outside every track, a move past a neighbour, ...).
    bool PlaceCut(Time t);
    bool MoveCut(int index, Time to);
    bool NudgeCut(int index, Time delta);
    bool DeleteCut(int index);
    bool SetTrackStart(int row, Time t);
    bool SetTrackEnd(int row, Time t);
    bool SetTitle(int row, const QString& title);
    bool SetPerformer(int row, const QString& performer);
    // The whole list at once (an import, silences, equal parts).
    bool ReplaceAll(PageTracks tracks, const QString& what);

    // Sets the list without recording a step (the undo commands use it).
    void Assign(const PageTracks& tracks);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

signals:
    // After every change of the list (also undo and redo).
    void tracksChanged();

private:
    bool Commit(PageTracks after, const QString& what);
    bool SetText(int row, QString PageTrack::*field, const QString& text, const QString& what);

    Time m_duration = 0;
    PageTracks m_tracks;
    QUndoStack m_undo;
};
