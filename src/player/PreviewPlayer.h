#pragma once
// The preview player: one sound file played through a graph of the engine
// (the MPEG chain for MPEG audio, the sound-file chain otherwise), started,
// paused, stopped and sought from the GUI thread. No widgets: a page asks
// it and listens to its signals, as Qt's own media player is used.
//
// The graph streams on its own threads; its events reach the player as
// posted events, so every signal is emitted on the player's thread. Events
// of a graph that was closed or replaced are dropped.
//
// Times are media time (100 ns). The position is what has been heard: Pause
// and Stop freeze it, and Stop keeps it, so Play goes on from there (from
// the beginning when it stands at the end).

#include "media/graph/MediaTime.h"

#include <QObject>
#include <QString>

#include <memory>
#include <optional>

class CMediaGraph;
class QTimer;

class CPreviewPlayer : public QObject {
    Q_OBJECT
public:
    enum class State { Stopped, Paused, Playing };
    Q_ENUM(State)

    // The step of Open that failed.
    enum class OpenStep { None, CreateGraph, Render, Notify };
    struct [[nodiscard]] OpenResult {
        OpenStep failedStep = OpenStep::None;
        QString reason;
        bool Succeeded() const { return failedStep == OpenStep::None; }
    };

    explicit CPreviewPlayer(QObject* parent = nullptr);
    ~CPreviewPlayer() override;

    // Builds the graph for `path` and cues it (paused, not playing). A graph
    // that cannot play is not kept; one whose events cannot be watched is
    // kept (it plays, but its end goes unnoticed).
    OpenResult Open(const QString& path);
    // Lets go of the graph and its streaming threads.
    void Close();
    bool IsOpen() const;
    const QString& Source() const { return m_source; }

    // Each false when there is no graph or the graph refused; Reason() says
    // why.
    [[nodiscard]] bool Play();
    [[nodiscard]] bool Pause();
    [[nodiscard]] bool Stop();
    // Moves to `position` and keeps the state: a playing player plays on
    // from there, a paused or stopped one stays put.
    [[nodiscard]] bool Seek(REFERENCE_TIME position);

    State PlaybackState() const { return m_state; }
    // None when there is no graph or it cannot say.
    std::optional<REFERENCE_TIME> Position() const;
    std::optional<REFERENCE_TIME> Duration() const;
    // Why the last step failed.
    const QString& Reason() const { return m_reason; }
    // What the sound plays through (the audio device, or the silent output
    // that keeps real time); empty when no file is open.
    QString OutputName() const;

    // How often positionChanged is emitted while playing (default 100 ms).
    void SetPositionInterval(int ms);

signals:
    void stateChanged(CPreviewPlayer::State state);
    // While playing, every position interval; and after each seek.
    void positionChanged(REFERENCE_TIME position);
    // The stream reached its end (or was aborted); the player has stopped.
    void ended();
    // The stream failed; `reason` says why. ended() follows.
    void errorOccurred(const QString& reason);

protected:
    void customEvent(QEvent* event) override;

private:
    struct Mailbox;

    void SetState(State state);
    void DrainEvents();
    bool Failed(const QString& reason);

    std::unique_ptr<CMediaGraph> m_graph;
    std::shared_ptr<Mailbox> m_mailbox;
    QTimer* m_positionTimer = nullptr;
    State m_state = State::Stopped;
    QString m_source;
    QString m_reason;
};
