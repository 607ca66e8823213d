#include "TrackListModel.h"

#include <QUndoCommand>

#include <algorithm>

using tracktime::Time;

namespace {

// One step of the history: the whole list before and after. A list holds at
// most a few hundred short entries, so a snapshot is the simplest exact undo.
class TracksCommand : public QUndoCommand {
public:
    TracksCommand(TrackListModel& model, PageTracks before, PageTracks after, const QString& text)
        : QUndoCommand(text), m_model(model), m_before(std::move(before)), m_after(std::move(after))
    {
    }
    void undo() override { m_model.Assign(m_before); }
    void redo() override { m_model.Assign(m_after); }

private:
    TrackListModel& m_model;
    PageTracks m_before;
    PageTracks m_after;
};

// The smallest track the page makes: a cut never comes closer than this to
// its neighbours.
constexpr Time kMinTrack = tracktime::kMillisecond * 10;

} // namespace

TrackListModel::TrackListModel(QObject* parent) : QAbstractTableModel(parent)
{
    m_undo.setUndoLimit(1000);
}

void TrackListModel::Reset(Time duration)
{
    m_duration = std::max<Time>(0, duration);
    m_undo.clear();
    Assign({PageTrack{0, m_duration, {}, {}}});
}

void TrackListModel::Assign(const PageTracks& tracks)
{
    // Same rows: the cells change in place, so an editor that is being
    // closed (the change it commits lands here) and the selection stay valid.
    if (tracks.size() == m_tracks.size() && !tracks.empty()) {
        m_tracks = tracks;
        emit dataChanged(index(0, 0), index(rowCount() - 1, ColumnCount - 1));
    } else {
        beginResetModel();
        m_tracks = tracks;
        endResetModel();
    }
    emit tracksChanged();
}

bool TrackListModel::Commit(PageTracks after, const QString& what)
{
    if (after == m_tracks)
        return false;
    m_undo.push(new TracksCommand(*this, m_tracks, std::move(after), what));
    return true;
}

std::vector<Time> TrackListModel::Cuts() const
{
    std::vector<Time> cuts;
    for (std::size_t i = 1; i < m_tracks.size(); ++i)
        cuts.push_back(m_tracks[i].start);
    return cuts;
}

int TrackListModel::CutIndexAt(Time t) const
{
    for (std::size_t i = 1; i < m_tracks.size(); ++i) {
        if (m_tracks[i].start == t)
            return static_cast<int>(i) - 1;
    }
    return -1;
}

bool TrackListModel::PlaceCut(Time t)
{
    for (std::size_t i = 0; i < m_tracks.size(); ++i) {
        const PageTrack& track = m_tracks[i];
        if (t < track.start + kMinTrack || t > track.end - kMinTrack)
            continue;
        PageTracks after = m_tracks;
        PageTrack second{t, track.end, {}, {}};
        after[i].end = t;
        after.insert(after.begin() + static_cast<std::ptrdiff_t>(i) + 1, second);
        return Commit(std::move(after), tr("Place cut"));
    }
    return false;
}

bool TrackListModel::MoveCut(int index, Time to)
{
    const auto k = static_cast<std::size_t>(index) + 1; // the track the cut starts
    if (index < 0 || k >= m_tracks.size())
        return false;
    PageTrack& before = m_tracks[k - 1];
    const PageTrack& track = m_tracks[k];
    const bool shared = before.end == track.start;
    if (to < before.start + kMinTrack || to > track.end - kMinTrack)
        return false;
    PageTracks after = m_tracks;
    after[k].start = to;
    if (shared || to < before.end)
        after[k - 1].end = to;
    return Commit(std::move(after), tr("Move cut"));
}

bool TrackListModel::NudgeCut(int index, Time delta)
{
    const auto k = static_cast<std::size_t>(index) + 1;
    if (index < 0 || k >= m_tracks.size())
        return false;
    return MoveCut(index, m_tracks[k].start + delta);
}

bool TrackListModel::DeleteCut(int index)
{
    const auto k = static_cast<std::size_t>(index) + 1;
    if (index < 0 || k >= m_tracks.size())
        return false;
    PageTracks after = m_tracks;
    after[k - 1].end = after[k].end;
    after.erase(after.begin() + static_cast<std::ptrdiff_t>(k));
    return Commit(std::move(after), tr("Delete cut"));
}

bool TrackListModel::SetTrackStart(int row, Time t)
{
    if (row < 0 || row >= static_cast<int>(m_tracks.size()))
        return false;
    if (row > 0)
        return MoveCut(row - 1, t);
    if (t < 0 || t > m_tracks[0].end - kMinTrack)
        return false;
    PageTracks after = m_tracks;
    after[0].start = t;
    return Commit(std::move(after), tr("Change start"));
}

bool TrackListModel::SetTrackEnd(int row, Time t)
{
    if (row < 0 || row >= static_cast<int>(m_tracks.size()))
        return false;
    const auto r = static_cast<std::size_t>(row);
    if (r + 1 < m_tracks.size() && m_tracks[r].end == m_tracks[r + 1].start)
        return MoveCut(row, t);
    const Time limit = r + 1 < m_tracks.size() ? m_tracks[r + 1].start : m_duration;
    if (t < m_tracks[r].start + kMinTrack || t > limit)
        return false;
    PageTracks after = m_tracks;
    after[r].end = t;
    return Commit(std::move(after), tr("Change end"));
}

bool TrackListModel::SetText(int row, QString PageTrack::*field, const QString& text, const QString& what)
{
    if (row < 0 || row >= static_cast<int>(m_tracks.size()))
        return false;
    PageTracks after = m_tracks;
    after[static_cast<std::size_t>(row)].*field = text;
    return Commit(std::move(after), what);
}

bool TrackListModel::SetTitle(int row, const QString& title)
{
    return SetText(row, &PageTrack::title, title, tr("Change title"));
}

bool TrackListModel::SetPerformer(int row, const QString& performer)
{
    return SetText(row, &PageTrack::performer, performer, tr("Change performer"));
}

bool TrackListModel::ReplaceAll(PageTracks tracks, const QString& what)
{
    if (tracks.empty())
        return false;
    return Commit(std::move(tracks), what);
}

int TrackListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_tracks.size());
}

int TrackListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant TrackListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= static_cast<int>(m_tracks.size()))
        return {};
    const PageTrack& track = m_tracks[static_cast<std::size_t>(index.row())];
    if (role == Qt::TextAlignmentRole && index.column() <= ColLength)
        return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
    // A screen reader names a cell by its text: an empty title or performer
    // says that it is empty rather than nothing.
    if (role == Qt::AccessibleTextRole) {
        if (index.column() == ColTitle && track.title.isEmpty())
            return tr("No title");
        if (index.column() == ColPerformer && track.performer.isEmpty())
            return tr("No performer");
        return {};
    }
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return {};
    switch (index.column()) {
    case ColNumber:
        return index.row() + 1;
    case ColStart:
        return tracktime::Format(track.start);
    case ColEnd:
        return tracktime::Format(track.end);
    case ColLength:
        return tracktime::Format(track.end - track.start);
    case ColTitle:
        return track.title;
    case ColPerformer:
        return track.performer;
    default:
        return {};
    }
}

QVariant TrackListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case ColNumber:
        return tr("No.");
    case ColStart:
        return tr("Start");
    case ColEnd:
        return tr("End");
    case ColLength:
        return tr("Length");
    case ColTitle:
        return tr("Title");
    case ColPerformer:
        return tr("Performer");
    default:
        return {};
    }
}

Qt::ItemFlags TrackListModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    switch (index.column()) {
    case ColStart:
    case ColEnd:
    case ColTitle:
    case ColPerformer:
        f |= Qt::ItemIsEditable;
        break;
    default:
        break;
    }
    return f;
}

bool TrackListModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::EditRole || !index.isValid())
        return false;
    const int row = index.row();
    switch (index.column()) {
    case ColTitle:
        return SetTitle(row, value.toString());
    case ColPerformer:
        return SetPerformer(row, value.toString());
    case ColStart:
    case ColEnd: {
        const std::optional<Time> t = tracktime::Parse(value.toString());
        if (!t)
            return false;
        return index.column() == ColStart ? SetTrackStart(row, *t) : SetTrackEnd(row, *t);
    }
    default:
        return false;
    }
}
