#include "BreakpointModel.h"

CBreakpointModel::CBreakpointModel(std::size_t capacity, QObject* parent)
    : QAbstractListModel(parent), m_capacity(capacity)
{
}

CBreakpointModel::Insertion CBreakpointModel::Insert(const Breakpoint& breakpoint)
{
    if (m_entries.size() >= m_capacity)
        return Insertion::Full;
    std::size_t at = 0;
    for (; at < m_entries.size(); ++at) {
        if (m_entries[at].timeMs == breakpoint.timeMs)
            return Insertion::Duplicate;
        if (m_entries[at].timeMs > breakpoint.timeMs)
            break;
    }
    const int row = static_cast<int>(at);
    beginInsertRows({}, row, row);
    m_entries.insert(m_entries.begin() + static_cast<std::ptrdiff_t>(at), breakpoint);
    endInsertRows();
    return Insertion::Added;
}

void CBreakpointModel::Remove(int row)
{
    if (row < 0 || row >= rowCount())
        return;
    beginRemoveRows({}, row, row);
    m_entries.erase(m_entries.begin() + row);
    endRemoveRows();
}

void CBreakpointModel::Clear()
{
    beginResetModel();
    m_entries.clear();
    endResetModel();
}

int CBreakpointModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_entries.size());
}

QVariant CBreakpointModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const Breakpoint& entry = At(index.row());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        return entry.text;
    case Qt::UserRole:
        return QVariant::fromValue<qint64>(entry.timeMs);
    default:
        return {};
    }
}
