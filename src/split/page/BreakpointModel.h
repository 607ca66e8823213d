#pragma once
// The split page's breakpoints, the one list of them: ascending by time, no
// two at the same millisecond, at most `capacity`. The breakpoint list box
// shows this model; the split settings dialog is handed a copy of its
// entries.

#include "Breakpoint.h"

#include <QAbstractListModel>

class CBreakpointModel : public QAbstractListModel {
    Q_OBJECT
public:
    enum class Insertion { Added, Duplicate, Full };

    explicit CBreakpointModel(std::size_t capacity, QObject* parent = nullptr);

    // Puts `breakpoint` where its time belongs. A full model refuses any
    // breakpoint, even one it already holds; otherwise one at a time already
    // held is dropped.
    Insertion Insert(const Breakpoint& breakpoint);
    // Removes entry `row`, if there is one.
    void Remove(int row);
    void Clear();

    const BreakpointList& Entries() const { return m_entries; }
    std::size_t Count() const { return m_entries.size(); }
    const Breakpoint& At(int row) const { return m_entries.at(static_cast<std::size_t>(row)); }

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    std::size_t m_capacity;
    BreakpointList m_entries;
};
