// The split page's preview player: opening the source, the duration and
// the position on the slider, playing, pausing and winding.

#include "SplitDlg.h"

#include "MessageBox.h"
#include "SplitDlgIds.h"
#include "media/graph/TimeText.h"

#include <QCoreApplication>
#include <QDir>
#include <QSlider>

#include <algorithm>
#include <climits>

using namespace split_ids;

namespace {

constexpr int kWindStepMs = 1000;

// The slider and the breakpoints count whole milliseconds.
qint64 ToMs(REFERENCE_TIME t)
{
    return std::max<qint64>(0, TimeToMs(t));
}

QString ClockText(qint64 ms)
{
    return QString::fromStdString(FormatClock(MsToTime(ms)));
}

void PlayerError(QWidget* page, const QString& text)
{
    ui::MessageBox(page, text, QString(), ui::MessageIcon::Error);
}

void PlayerError(QWidget* page, const char* text)
{
    PlayerError(page, QCoreApplication::translate("CSplitDlg", text));
}

} // namespace

void CSplitDlg::ReleaseGraph()
{
    StopPlayback();
    m_player.Close();
    m_playState = PlayState::Stopped;
}

void CSplitDlg::StopPlayback()
{
    if (!m_player.IsOpen() || m_playState == PlayState::Stopped)
        return;
    if (!m_player.Stop()) {
        ui::MessageBox(this, tr("Cannot stop the play"), tr("Error"));
        return;
    }
    m_playState = PlayState::Stopped;
}

// Creating the graph, building its chain and watching its events, each
// with its own message. The player is one object, so the control, seeking
// and event facets the page would query one by one cannot be missing; it
// plays no video and the page sets neither volume nor frame steps, so
// those facets (and their messages) are not asked for.
void CSplitDlg::OpenSource(const QString& path)
{
    m_wszSourcePath = path;
    const CPreviewPlayer::OpenResult opened = m_player.Open(path);
    switch (opened.failedStep) {
    case CPreviewPlayer::OpenStep::None:
        break;
    case CPreviewPlayer::OpenStep::CreateGraph:
        return PlayerError(this, QT_TRANSLATE_NOOP("CSplitDlg", "Failed in create Filter graph"));
    case CPreviewPlayer::OpenStep::Render:
        // Nothing of a graph that cannot play is kept: the buttons, the
        // slider and the breakpoint buttons then have nothing to act on.
        // Under the page's own words: which file, and why.
        return PlayerError(this, tr("Failed in RenderFile\n%1\n%2")
                                     .arg(QDir::toNativeSeparators(path),
                                          opened.reason.isEmpty() ? tr("It cannot be played.")
                                                                  : opened.reason));
    case CPreviewPlayer::OpenStep::Notify:
        return PlayerError(this, QT_TRANSLATE_NOOP("CSplitDlg", "Failed in Set Event"));
    }
}

void CSplitDlg::ShowDuration()
{
    QSlider* slider = Slider();
    slider->setEnabled(false);
    if (!m_player.IsOpen())
        return;
    const std::optional<REFERENCE_TIME> duration = m_player.Duration();
    m_rtDuration = duration.value_or(0);
    slider->setEnabled(duration.has_value());

    const qint64 ms = ToMs(m_rtDuration);
    m_llCandidateMs = ms;
    m_strCandidateText = ClockText(ms);
    SetDlgItemText(IDC_DURATION, tr("Duration:") + m_strCandidateText);
    slider->setRange(0, static_cast<int>(std::min<qint64>(ms, INT_MAX)));
    slider->setPageStep(kWindStepMs);
    slider->setSingleStep(kWindStepMs); // an arrow key winds as far as the buttons do
    slider->setValue(0);
}

void CSplitDlg::StopPositionTimer()
{
    if (m_nPositionTimer == 0)
        return;
    KillTimer(m_nPositionTimer);
    m_nPositionTimer = 0;
}

void CSplitDlg::StartPositionTimer()
{
    StopPositionTimer();
    m_nPositionTimer = SetTimer(IDT_POSITION, 250);
}

void CSplitDlg::RefreshPosition()
{
    const std::optional<REFERENCE_TIME> position = m_player.Position();
    if (!position)
        return;
    SetSliderPos(ToMs(*position));
    ShowPosition(*position);
}

void CSplitDlg::ShowPosition(REFERENCE_TIME position)
{
    if (!m_player.IsOpen())
        return;
    if (position == 0) {
        const std::optional<REFERENCE_TIME> current = m_player.Position();
        if (!current)
            return;
        position = *current;
    }
    const qint64 ms = ToMs(position);
    m_llCandidateMs = ms;
    m_strCandidateText = ClockText(ms);
    // Written only when it changes: no flicker at four refreshes a second.
    const QString text = tr("Current Time:") + m_strCandidateText;
    if (GetDlgItemText(IDC_CURRENT_TIME) != text)
        SetDlgItemText(IDC_CURRENT_TIME, text);
}

void CSplitDlg::StartPlayback()
{
    if (!m_player.IsOpen())
        return;
    if (!m_player.Play())
        return PlayerError(this, QT_TRANSLATE_NOOP("CSplitDlg", "Cannot run"));
    m_playState = PlayState::Running;
}

void CSplitDlg::SeekToSlider()
{
    if (!m_player.IsOpen())
        return;
    // sliderPosition: during a slider action the value is not yet applied.
    const REFERENCE_TIME position = MsToTime(Slider()->sliderPosition());
    // The player keeps its run state across the seek. Where the seek was
    // refused, the position the player really has is shown.
    ShowPosition(m_player.Seek(position) ? position : 0);
}

void CSplitDlg::SetSliderPos(qint64 ms)
{
    Slider()->setValue(static_cast<int>(std::clamp<qint64>(ms, 0, INT_MAX)));
}

// The stream has ended, been aborted or failed.
void CSplitDlg::OnGraphEvent()
{
    StopPlayback();
}

void CSplitDlg::OnPlay()
{
    if (m_playState != PlayState::Running)
        StartPlayback();
}

// Pause stops the player: Stop keeps the position, so Play goes on there.
void CSplitDlg::OnPause()
{
    if (m_playState != PlayState::Stopped)
        StopPlayback();
}

void CSplitDlg::OnFastBackward()
{
    SetSliderPos(Slider()->value() - kWindStepMs);
    SeekToSlider();
}

void CSplitDlg::OnFastForward()
{
    SetSliderPos(std::min<qint64>(Slider()->value() + kWindStepMs, ToMs(m_rtDuration)));
    SeekToSlider();
}

void CSplitDlg::OnSeekToBegin()
{
    SetSliderPos(0);
    SeekToSlider();
}

void CSplitDlg::OnSeekToEnd()
{
    SetSliderPos(ToMs(m_rtDuration));
    SeekToSlider();
}
