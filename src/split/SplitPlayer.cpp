// The split page's preview player: a playback graph for the source, run,
// stopped and seeked from the page's buttons and slider; the position shown
// four times a second is also the candidate breakpoint.

#include "SplitDlg.h"

#include "GraphEventBridge.h"
#include "MessageBox.h"
#include "SplitDlgIds.h"
#include "media/graph/CFilterGraph.h"
#include "media/graph/TimeText.h"
#include "media/render/MediaGraph.h"
#include "media/render/MediaInit.h"

#include <QFile>
#include <QSlider>

#include <algorithm>
#include <climits>

using namespace split_ids;

namespace {

constexpr REFERENCE_TIME kUnitsPerMs = 10'000;
constexpr int kWindStepMs = 1000;

// The slider and the breakpoints count whole milliseconds.
qint64 ToMs(REFERENCE_TIME t)
{
    return std::max<REFERENCE_TIME>(0, t / kUnitsPerMs);
}

QString ClockText(qint64 ms)
{
    return QString::fromStdString(FormatClock(ms * kUnitsPerMs));
}

// The graph's facets are views of one object; asking for one is a cast.
template <class Facet>
std::shared_ptr<Facet> Query(const std::shared_ptr<IGraphBuilder>& graph)
{
    return std::dynamic_pointer_cast<Facet>(graph);
}

void PlayerError(QWidget* page, const char* text)
{
    ui::MessageBox(page, QString::fromLatin1(text), QString(), ui::MessageIcon::Error);
}

} // namespace

void CSplitDlg::ReleaseGraph()
{
    if (m_pEvent) {
        m_pEvent->SetNotifyWindow(nullptr);
        m_pEvent.reset();
    }
    m_pEventBridge->Detach();
    StopPlayback();
    m_pBasicVideo.reset();
    m_pBasicAudio.reset();
    m_pControl.reset();
    m_pSeeking.reset();
    m_pVideoWindow.reset();
    m_pFrameStep.reset();
    // The last facet takes the graph and its streaming threads with it.
    m_pGraph.reset();
    m_nPlayState = 0;
}

void CSplitDlg::StopPlayback()
{
    if (!m_pControl || m_nPlayState == 0)
        return;
    if (FAILED(m_pControl->Stop())) {
        ui::MessageBox(this, QStringLiteral("Cannot stop the play"), QStringLiteral("Error"));
        return;
    }
    m_nPlayState = 0;
}

void CSplitDlg::CreateGraph()
{
    MediaInitialize();
    std::shared_ptr<CFilterGraph> graph = CreateFilterGraph();
    if (!graph)
        return PlayerError(this, "Failed in create Filter graph");
    m_pGraph = graph;
    if (!(m_pControl = Query<IMediaControl>(m_pGraph)))
        return PlayerError(this, "Failed in create IMediaControl");
    if (!(m_pSeeking = Query<IMediaSeeking>(m_pGraph)))
        return PlayerError(this, "Failed in create IMediaSeeking");
    if (!(m_pEvent = Query<IMediaEventEx>(m_pGraph)))
        return PlayerError(this, "Failed in create IMediaEventEx");
    if (!(m_pBasicAudio = Query<IBasicAudio>(m_pGraph)))
        return PlayerError(this, "Failed in create IBasicAudio");
    if (!(m_pFrameStep = Query<IVideoFrameStep>(m_pGraph)))
        return PlayerError(this, "Failed in create IVideoFrameStep");
}

void CSplitDlg::RenderSource(const std::string& path)
{
    if (!m_pGraph || !m_pEvent)
        return;
    m_wszSourcePath = QFile::decodeName(QByteArray::fromStdString(path));
    const bool rendered =
        SUCCEEDED(m_bSourceIsMp3 ? RenderMpegChain(*m_pGraph, path, nullptr) : m_pGraph->RenderFile(path, nullptr));
    if (!rendered) {
        // Nothing of a graph that cannot play is kept: the buttons, the
        // slider and the breakpoint buttons then have nothing to act on.
        PlayerError(this, "Failed in RenderFile");
        ReleaseGraph();
        return;
    }
    if (!(m_pVideoWindow = Query<IVideoWindow>(m_pGraph)))
        return PlayerError(this, "Failed in IVideoWindow");
    m_pVideoWindow->SetWindowForeground(OAFALSE);
    if (!(m_pBasicVideo = Query<IBasicVideo>(m_pGraph)))
        return PlayerError(this, "Failed in IBasicVideo");
    m_pControl->Pause();
    if (FAILED(m_pEvent->SetNotifyWindow(m_pEventBridge->Rearm())))
        PlayerError(this, "Failed in Set Event");
}

void CSplitDlg::ShowDuration()
{
    QSlider* slider = Slider();
    slider->setEnabled(false);
    if (!m_pSeeking)
        return;
    m_rtDuration = 0;
    if (SUCCEEDED(m_pSeeking->GetDuration(&m_rtDuration)))
        slider->setEnabled(true);
    else
        m_rtDuration = 0;

    const qint64 ms = ToMs(m_rtDuration);
    m_llCandidateMs = ms;
    m_strCandidateText = ClockText(ms);
    SetDlgItemText(IDC_DURATION, QStringLiteral("Duration:") + m_strCandidateText);
    slider->setRange(0, static_cast<int>(std::min<qint64>(ms, INT_MAX)));
    slider->setPageStep(kWindStepMs);
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
    REFERENCE_TIME position = 0;
    if (!m_pSeeking || FAILED(m_pSeeking->GetCurrentPosition(&position)))
        return;
    SetSliderPos(ToMs(position));
    ShowPosition(position);
}

void CSplitDlg::ShowPosition(REFERENCE_TIME position)
{
    if (!m_pSeeking)
        return;
    if (position == 0 && FAILED(m_pSeeking->GetCurrentPosition(&position)))
        return;
    const qint64 ms = ToMs(position);
    m_llCandidateMs = ms;
    m_strCandidateText = ClockText(ms);
    // Written only when it changes: no flicker at four refreshes a second.
    const QString text = QStringLiteral("Current Time:") + m_strCandidateText;
    if (GetDlgItemText(IDC_CURRENT_TIME) != text)
        SetDlgItemText(IDC_CURRENT_TIME, text);
}

void CSplitDlg::StartPlayback()
{
    if (!m_pControl)
        return;
    if (FAILED(m_pControl->Run()))
        return PlayerError(this, "Cannot run");
    m_nPlayState = 2;
}

void CSplitDlg::SeekToSlider()
{
    if (!m_pControl || !m_pSeeking)
        return;
    // sliderPosition: during a slider action the value is not yet applied.
    REFERENCE_TIME position = REFERENCE_TIME(Slider()->sliderPosition()) * kUnitsPerMs;
    FILTER_STATE before = State_Stopped;
    m_pControl->GetState(10, &before);
    m_pControl->Pause();
    m_pSeeking->SetPositions(&position, AM_SEEKING_AbsolutePositioning, nullptr,
                             AM_SEEKING_NoPositioning);
    if (before == State_Stopped)
        m_pControl->Stop();
    else if (before == State_Running)
        m_pControl->Run();
    ShowPosition(position);
}

void CSplitDlg::SetSliderPos(qint64 ms)
{
    Slider()->setValue(static_cast<int>(std::clamp<qint64>(ms, 0, INT_MAX)));
}

void CSplitDlg::OnGraphEvent()
{
    // A message box of StopPlayback may let the page end meanwhile.
    const std::shared_ptr<IMediaEventEx> events = m_pEvent;
    if (!events)
        return;
    long code = 0, param1 = 0, param2 = 0;
    while (SUCCEEDED(events->GetEvent(&code, &param1, &param2, 0))) {
        if (code == EC_COMPLETE || code == EC_USERABORT || code == EC_ERRORABORT) {
            StopPlayback();
            if (m_pVideoWindow)
                m_pVideoWindow->put_Visible(OAFALSE);
        }
        events->FreeEventParams(code, param1, param2);
    }
}

void CSplitDlg::OnPlay()
{
    if (m_nPlayState != 2)
        StartPlayback();
}

void CSplitDlg::OnPause()
{
    if (m_nPlayState != 0)
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
