// Playing on the tracks page: the preview player asked, the Play button,
// the position marker and the position label told.

#include "TracksPlayback.h"

#include "MessageBox.h"
#include "WaveformView.h"

#include <QFileInfo>
#include <QLabel>
#include <QPushButton>

#include <algorithm>

namespace {

constexpr tracktime::Time kEdge = 2 * tracktime::kSecond; // what "Play the cut" plays on each side

} // namespace

CTracksPlayback::CTracksPlayback(Parts parts) : m_parts(parts) {}

void CTracksPlayback::ShowPosition(Time position)
{
    m_parts.wave->SetPlayPosition(position);
    const QString text = tr("%1 of %2").arg(tracktime::Format(position), tracktime::Format(m_parts.duration));
    if (m_parts.positionLabel->text() != text)
        m_parts.positionLabel->setText(text);
}

void CTracksPlayback::SeekTo(Time t)
{
    m_stretches.clear();
    t = std::clamp<Time>(t, 0, m_parts.duration);
    if (m_parts.player.IsOpen() && !m_parts.player.Seek(t))
        qWarning("tracks page: %s", qUtf8Printable(m_parts.player.Reason()));
    ShowPosition(t);
}

bool CTracksPlayback::CanPlay()
{
    if (m_parts.player.IsOpen())
        return true;
    ui::MessageBox(m_parts.playButton->window(),
                   tr("Nothing can be played: %1 holds no sound that can be played.")
                       .arg(QFileInfo(m_parts.source).fileName()),
                   QString(), ui::MessageIcon::Error);
    return false;
}

void CTracksPlayback::PlayPause()
{
    if (!CanPlay())
        return;
    m_stretches.clear();
    CPreviewPlayer& player = m_parts.player;
    if (player.PlaybackState() == CPreviewPlayer::State::Playing) {
        if (!player.Pause())
            ui::MessageBox(m_parts.playButton->window(), player.Reason(), QString(), ui::MessageIcon::Error);
        m_parts.playButton->setText(tr("&Play"));
        return;
    }
    if (!player.Play()) {
        ui::MessageBox(m_parts.playButton->window(), tr("Cannot play: %1").arg(player.Reason()), QString(),
                       ui::MessageIcon::Error);
        return;
    }
    m_parts.playButton->setText(tr("&Pause"));
}

void CTracksPlayback::PlayAround(Time at)
{
    m_stretches = {{std::max<Time>(0, at - kEdge), std::min(m_parts.duration, at + kEdge)}};
    PlayStretch();
}

void CTracksPlayback::PlayEdgesOf(const PageTrack& track)
{
    m_stretches = {{track.start, std::min(track.end, track.start + kEdge)},
                   {std::max(track.start, track.end - kEdge), track.end}};
    PlayStretch();
}

void CTracksPlayback::PlayStretch()
{
    if (m_stretches.empty())
        return;
    const Stretch stretch = m_stretches.front();
    if (!m_parts.player.Seek(stretch.start) || !m_parts.player.Play()) {
        m_stretches.clear();
        ui::MessageBox(m_parts.playButton->window(), tr("Cannot play: %1").arg(m_parts.player.Reason()), QString(),
                       ui::MessageIcon::Error);
        return;
    }
    m_parts.playButton->setText(tr("&Pause"));
    ShowPosition(stretch.start);
}

void CTracksPlayback::OnPositionTick()
{
    CPreviewPlayer& player = m_parts.player;
    if (!player.IsOpen())
        return;
    const std::optional<Time> position = player.Position();
    if (!position)
        return;
    if (player.PlaybackState() == CPreviewPlayer::State::Playing)
        ShowPosition(*position);
    if (m_stretches.empty() || *position < m_stretches.front().end)
        return;
    // One stretch of "Play the cut" has been heard: on to the next, or stop.
    m_stretches.erase(m_stretches.begin());
    if (!m_stretches.empty())
        return PlayStretch();
    if (!player.Pause())
        qWarning("tracks page: %s", qUtf8Printable(player.Reason()));
    m_parts.playButton->setText(tr("&Play"));
}

void CTracksPlayback::OnEnded()
{
    m_stretches.clear();
    m_parts.playButton->setText(tr("&Play"));
}

void CTracksPlayback::Rest()
{
    CPreviewPlayer& player = m_parts.player;
    if (player.IsOpen() && player.PlaybackState() == CPreviewPlayer::State::Playing && !player.Pause())
        qWarning("tracks page: %s", qUtf8Printable(player.Reason()));
    m_parts.playButton->setText(tr("&Play"));
    m_stretches.clear();
}

void CTracksPlayback::EndWithPage()
{
    m_stretches.clear();
    m_parts.player.Close();
}
