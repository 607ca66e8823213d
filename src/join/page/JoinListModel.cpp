#include "JoinListModel.h"

#include "FileNames.h"
#include "media/graph/TimeText.h"

#include <algorithm>

namespace {

constexpr int kDurationRole = Qt::UserRole;

} // namespace

void CJoinListModel::Append(const Entry& entry)
{
    const int row = Count();
    beginInsertRows({}, row, row);
    m_entries.push_back(entry);
    endInsertRows();
}

void CJoinListModel::RemoveRows(std::vector<int> rows)
{
    // From the last, so the rows still to go keep their numbers.
    std::sort(rows.begin(), rows.end(), std::greater<>());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    for (int row : rows)
        removeRows(row, 1);
}

bool CJoinListModel::Swap(int a, int b)
{
    if (a < 0 || b < 0 || a >= Count() || b >= Count())
        return false;
    if (a == b)
        return true;
    std::swap(m_entries[static_cast<std::size_t>(a)], m_entries[static_cast<std::size_t>(b)]);
    for (int row : {a, b})
        emit dataChanged(index(row, 0), index(row, kColumns - 1));
    return true;
}

std::vector<std::string> CJoinListModel::Paths() const
{
    std::vector<std::string> paths;
    for (const Entry& entry : m_entries)
        paths.push_back(ui::FileNameBytes(entry.path));
    return paths;
}

std::vector<REFERENCE_TIME> CJoinListModel::Durations() const
{
    std::vector<REFERENCE_TIME> durations;
    for (const Entry& entry : m_entries)
        durations.push_back(entry.duration);
    return durations;
}

REFERENCE_TIME CJoinListModel::TotalDuration() const
{
    REFERENCE_TIME total = 0;
    for (const Entry& entry : m_entries)
        total += entry.duration;
    return total;
}

int CJoinListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : Count();
}

int CJoinListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kColumns;
}

QVariant CJoinListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= Count())
        return {};
    const Entry& entry = m_entries[static_cast<std::size_t>(index.row())];
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole)
        return index.column() == kPathColumn ? entry.path : QString::fromStdString(FormatClock(entry.duration));
    if (role == kDurationRole && index.column() == kPathColumn)
        return QVariant::fromValue<qlonglong>(entry.duration);
    return {};
}

QVariant CJoinListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= kColumns)
        return {};
    if (role == Qt::DisplayRole)
        return m_headings[section];
    if (role == Qt::TextAlignmentRole)
        return m_alignments[section];
    return {};
}

bool CJoinListModel::setHeaderData(int section, Qt::Orientation orientation, const QVariant& value, int role)
{
    if (orientation != Qt::Horizontal || section < 0 || section >= kColumns)
        return false;
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        m_headings[section] = value;
    else if (role == Qt::TextAlignmentRole)
        m_alignments[section] = value;
    else
        return false;
    emit headerDataChanged(orientation, section, section);
    return true;
}

Qt::ItemFlags CJoinListModel::flags(const QModelIndex& index) const
{
    // Rows go between rows, never into one.
    if (!index.isValid())
        return Qt::ItemIsDropEnabled;
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsDragEnabled;
}

QMap<int, QVariant> CJoinListModel::itemData(const QModelIndex& index) const
{
    QMap<int, QVariant> roles;
    if (index.column() == kPathColumn && index.row() >= 0 && index.row() < Count()) {
        roles.insert(Qt::DisplayRole, data(index, Qt::DisplayRole));
        roles.insert(kDurationRole, data(index, kDurationRole));
    }
    return roles;
}

bool CJoinListModel::setItemData(const QModelIndex& index, const QMap<int, QVariant>& roles)
{
    if (!index.isValid() || index.row() >= Count())
        return false;
    if (index.column() != kPathColumn)
        return true; // the time column follows the duration
    Entry& entry = m_entries[static_cast<std::size_t>(index.row())];
    entry.path = roles.value(Qt::DisplayRole, entry.path).toString();
    entry.duration = roles.value(kDurationRole, QVariant::fromValue<qlonglong>(entry.duration)).toLongLong();
    emit dataChanged(index, this->index(index.row(), kColumns - 1));
    return true;
}

bool CJoinListModel::dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int /*column*/,
                                  const QModelIndex& parent)
{
    if (row < 0 || row > Count() || parent.isValid())
        row = Count();
    return QAbstractTableModel::dropMimeData(data, action, row, kPathColumn, {});
}

bool CJoinListModel::insertRows(int row, int count, const QModelIndex& parent)
{
    if (parent.isValid() || row < 0 || row > Count() || count <= 0)
        return false;
    beginInsertRows({}, row, row + count - 1);
    m_entries.insert(m_entries.begin() + row, static_cast<std::size_t>(count), Entry{});
    endInsertRows();
    return true;
}

bool CJoinListModel::removeRows(int row, int count, const QModelIndex& parent)
{
    if (parent.isValid() || row < 0 || count <= 0 || row + count > Count())
        return false;
    beginRemoveRows({}, row, row + count - 1);
    m_entries.erase(m_entries.begin() + row, m_entries.begin() + row + count);
    endRemoveRows();
    return true;
}
