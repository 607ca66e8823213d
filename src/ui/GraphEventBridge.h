#pragma once
// Carries a media graph's "an event is queued" notices to the page that owns
// the graph. The graph calls its notify callback from its streaming threads;
// each call becomes the page's private message, posted to the GUI thread with
// the callback's generation as wParam. Every time the page releases or
// rebuilds its graph it takes a new generation, and messages still queued
// from an older one are dropped before they reach the page's OnMessage.

#include <QObject>
#include <QtGlobal>
#include <functional>
#include <memory>

namespace ui {

class CGraphEventBridge : public QObject {
    Q_OBJECT
public:
    // The graph's notify callback (IMediaEventEx::NotifyCallback).
    using NotifyCallback = std::function<void()>;

    // `page` owns the bridge and receives `message` (for instance 0x8001 or
    // 1044). The number is the bridge's alone: a message of that number whose
    // wParam is not the current generation never reaches the page.
    CGraphEventBridge(QObject* page, int message);
    ~CGraphEventBridge() override;

    int Message() const { return m_message; }

    // Starts a new generation and returns the callback to hand to the new
    // graph. Callbacks handed out before go silent, and their queued
    // messages are dropped.
    NotifyCallback Rearm();
    // Starts a new generation without a callback: for a released graph.
    void Detach();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Shared;

    std::shared_ptr<Shared> m_shared;
    QObject* m_page;
    int m_message;
};

} // namespace ui
