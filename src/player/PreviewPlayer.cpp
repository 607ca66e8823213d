#include "PreviewPlayer.h"

#include "FileNames.h"

#include "media/graph/FilterGraph.h"
#include "media/render/MediaGraph.h"
#include "media/render/MediaInit.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QTimer>

#include <mutex>

namespace {

// Tells the player's thread that its graph has events; carries the graph's
// generation so that the news of a replaced graph can be told apart.
class GraphNewsEvent : public QEvent {
public:
    explicit GraphNewsEvent(quint64 generation) : QEvent(Type()), m_generation(generation) {}
    static QEvent::Type Type()
    {
        static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
        return type;
    }
    quint64 Generation() const { return m_generation; }

private:
    quint64 m_generation;
};

constexpr int kDefaultPositionIntervalMs = 100;

} // namespace

// What the graph's notify callback shares with the player. The callback may
// run on a streaming thread after the player is gone, so it holds this and
// not the player; the player clears `player` under the lock the callback
// posts under.
struct CPreviewPlayer::Mailbox {
    std::mutex mutex;
    CPreviewPlayer* player = nullptr;
    quint64 generation = 0;
};

CPreviewPlayer::CPreviewPlayer(QObject* parent)
    : QObject(parent), m_mailbox(std::make_shared<Mailbox>()), m_positionTimer(new QTimer(this))
{
    m_mailbox->player = this;
    m_positionTimer->setInterval(kDefaultPositionIntervalMs);
    connect(m_positionTimer, &QTimer::timeout, this, [this] {
        if (const auto position = Position())
            emit positionChanged(*position);
    });
}

CPreviewPlayer::~CPreviewPlayer()
{
    {
        std::lock_guard lock(m_mailbox->mutex);
        m_mailbox->player = nullptr;
    }
    Close();
}

void CPreviewPlayer::SetPositionInterval(int ms)
{
    m_positionTimer->setInterval(ms);
}

bool CPreviewPlayer::IsOpen() const
{
    return m_graph && m_graph->control;
}

CPreviewPlayer::OpenResult CPreviewPlayer::Open(const QString& path)
{
    Close();
    m_source = path;
    MediaInitialize();
    auto graph = std::make_unique<CMediaGraph>();
    if (FAILED(graph->CreateGraph()) || !graph->control || !graph->seeking || !graph->events)
        return {OpenStep::CreateGraph, QStringLiteral("cannot create a filter graph")};
    if (FAILED(graph->RenderSource(ui::FileNameBytes(path))))
        return {OpenStep::Render, ui::FileNameFromBytes(graph->LastError())};
    m_graph = std::move(graph);

    // Cued: the first Play is heard at once. A graph that cannot cue says
    // why when it is played.
    if (SUCCEEDED(m_graph->control->Pause()))
        SetState(State::Paused);

    quint64 generation = 0;
    {
        std::lock_guard lock(m_mailbox->mutex);
        generation = ++m_mailbox->generation;
    }
    auto notify = [mailbox = m_mailbox, generation] {
        std::lock_guard lock(mailbox->mutex);
        if (mailbox->player && mailbox->generation == generation)
            QCoreApplication::postEvent(mailbox->player, new GraphNewsEvent(generation));
    };
    if (FAILED(m_graph->events->SetNotifyWindow(notify)))
        return {OpenStep::Notify, QStringLiteral("the graph's events cannot be watched")};
    return {};
}

void CPreviewPlayer::Close()
{
    {
        // News still on its way from the old graph is dropped.
        std::lock_guard lock(m_mailbox->mutex);
        ++m_mailbox->generation;
    }
    m_positionTimer->stop();
    if (m_graph) {
        // Releasing the graph stops it and joins its streaming threads.
        m_graph->ReleaseAll();
        m_graph.reset();
    }
    SetState(State::Stopped);
}

bool CPreviewPlayer::Failed(const QString& reason)
{
    m_reason = reason;
    return false;
}

bool CPreviewPlayer::Play()
{
    if (!IsOpen())
        return Failed(QStringLiteral("no file is open"));
    if (FAILED(m_graph->control->Run()))
        return Failed(QString::fromStdString(m_graph->graph->LastError()));
    SetState(State::Playing);
    return true;
}

bool CPreviewPlayer::Pause()
{
    if (!IsOpen())
        return Failed(QStringLiteral("no file is open"));
    if (FAILED(m_graph->control->Pause()))
        return Failed(QString::fromStdString(m_graph->graph->LastError()));
    SetState(State::Paused);
    return true;
}

bool CPreviewPlayer::Stop()
{
    if (!IsOpen())
        return Failed(QStringLiteral("no file is open"));
    if (FAILED(m_graph->control->Stop()))
        return Failed(QString::fromStdString(m_graph->graph->LastError()));
    SetState(State::Stopped);
    return true;
}

bool CPreviewPlayer::Seek(REFERENCE_TIME position)
{
    if (!IsOpen())
        return Failed(QStringLiteral("no file is open"));
    IMediaControl& control = *m_graph->control;
    // The graph is paused for the seek and put back as it was, so a seek
    // neither starts nor stops the sound.
    FILTER_STATE before = State_Stopped;
    if (FAILED(control.GetState(10, &before)))
        before = m_state == State::Playing ? State_Running : m_state == State::Paused ? State_Paused : State_Stopped;
    const bool paused = SUCCEEDED(control.Pause());
    const bool sought = SUCCEEDED(
        m_graph->seeking->SetPositions(&position, AM_SEEKING_AbsolutePositioning, nullptr, AM_SEEKING_NoPositioning));
    bool restored = true;
    if (before == State_Stopped)
        restored = SUCCEEDED(control.Stop());
    else if (before == State_Running)
        restored = SUCCEEDED(control.Run());
    if (!paused || !sought || !restored)
        return Failed(QString::fromStdString(m_graph->graph->LastError()));
    if (const auto now = Position())
        emit positionChanged(*now);
    return true;
}

std::optional<REFERENCE_TIME> CPreviewPlayer::Position() const
{
    REFERENCE_TIME position = 0;
    if (!IsOpen() || FAILED(m_graph->seeking->GetCurrentPosition(&position)))
        return std::nullopt;
    return position;
}

std::optional<REFERENCE_TIME> CPreviewPlayer::Duration() const
{
    REFERENCE_TIME duration = 0;
    if (!IsOpen() || FAILED(m_graph->seeking->GetDuration(&duration)))
        return std::nullopt;
    return duration;
}

QString CPreviewPlayer::OutputName() const
{
    if (!IsOpen())
        return {};
    for (const auto& filter : m_graph->graph->EnumFilters())
        if (filter->IsRenderer())
            return QString::fromStdString(filter->Describe());
    return {};
}

void CPreviewPlayer::SetState(State state)
{
    if (state == State::Playing)
        m_positionTimer->start();
    else
        m_positionTimer->stop();
    if (state == m_state)
        return;
    m_state = state;
    emit stateChanged(state);
}

void CPreviewPlayer::customEvent(QEvent* event)
{
    if (event->type() != GraphNewsEvent::Type())
        return QObject::customEvent(event);
    quint64 current = 0;
    {
        std::lock_guard lock(m_mailbox->mutex);
        current = m_mailbox->generation;
    }
    if (static_cast<GraphNewsEvent*>(event)->Generation() == current)
        DrainEvents();
}

void CPreviewPlayer::DrainEvents()
{
    if (!m_graph || !m_graph->events)
        return;
    // A receiver of the signals below may close the player meanwhile.
    const std::shared_ptr<IMediaEventEx> events = m_graph->events;
    long code = 0, param1 = 0, param2 = 0;
    while (SUCCEEDED(events->GetEvent(&code, &param1, &param2, 0))) {
        (void)events->FreeEventParams(code, param1, param2);
        if (code != EC_COMPLETE && code != EC_USERABORT && code != EC_ERRORABORT)
            continue;
        const QString reason = QString::fromStdString(events->ErrorReason());
        // The end is where the stream stopped: stopped there, Play starts
        // again from the beginning.
        if (m_graph && SUCCEEDED(m_graph->control->Stop()))
            SetState(State::Stopped);
        if (code == EC_ERRORABORT)
            emit errorOccurred(reason.isEmpty() ? QStringLiteral("the stream failed") : reason);
        emit ended();
    }
}
