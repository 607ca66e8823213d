#pragma once
// The join page's files, the one list of them: each file with its measured
// duration, in the order they are joined. The file list view shows this
// model ("Source File", "Time"); its rows move by the page's buttons and by
// dragging them within the view.

#include "media/graph/MediaTime.h"

#include <QAbstractTableModel>
#include <QString>

#include <string>
#include <vector>

class CJoinListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    struct Entry {
        QString path;
        REFERENCE_TIME duration = 0; // 0 when it could not be measured
    };
    enum Column { kPathColumn = 0, kTimeColumn = 1, kColumns };

    using QAbstractTableModel::QAbstractTableModel;

    void Append(const Entry& entry);
    // Removes the rows named (any order, duplicates allowed).
    void RemoveRows(std::vector<int> rows);
    // Swaps two rows; false when either is not there.
    bool Swap(int a, int b);

    const std::vector<Entry>& Entries() const { return m_entries; }
    int Count() const { return static_cast<int>(m_entries.size()); }
    std::vector<std::string> Paths() const;
    std::vector<REFERENCE_TIME> Durations() const;
    REFERENCE_TIME TotalDuration() const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    // The page names the columns (and their alignment) as it sets up the view.
    bool setHeaderData(int section, Qt::Orientation orientation, const QVariant& value,
                       int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // A drag within the view moves rows: Qt encodes the dragged rows (their
    // path and duration), inserts and fills them where they are dropped and
    // removes them where they were.
    Qt::DropActions supportedDropActions() const override { return Qt::MoveAction; }
    // A drop below the last row or on a row appends: the rows are inserted,
    // never written over another, so the ones the view then removes where
    // they were are not lost.
    bool dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                      const QModelIndex& parent) override;
    QMap<int, QVariant> itemData(const QModelIndex& index) const override;
    bool setItemData(const QModelIndex& index, const QMap<int, QVariant>& roles) override;
    bool insertRows(int row, int count, const QModelIndex& parent = {}) override;
    bool removeRows(int row, int count, const QModelIndex& parent = {}) override;

private:
    std::vector<Entry> m_entries;
    QVariant m_headings[kColumns];
    QVariant m_alignments[kColumns];
};
