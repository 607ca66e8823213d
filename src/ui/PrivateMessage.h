#pragma once
// Private messages posted to a page. The message number is the event type,
// so WM_APP + 1 travels as QEvent type 0x8001 and WM_USER + 20 as 1044.

#include <QEvent>
#include <QtGlobal>

class QObject;

namespace ui {

class CMessageEvent : public QEvent {
public:
    CMessageEvent(int message, quintptr wParam, qintptr lParam)
        : QEvent(static_cast<QEvent::Type>(message)), m_message(message), m_wParam(wParam),
          m_lParam(lParam)
    {
    }
    int Message() const { return m_message; }
    quintptr WParam() const { return m_wParam; }
    qintptr LParam() const { return m_lParam; }

private:
    int m_message;
    quintptr m_wParam;
    qintptr m_lParam;
};

// Queues the message for `target` on the thread that owns it; safe to call
// from any thread.
void PostMessage(QObject* target, int message, quintptr wParam = 0, qintptr lParam = 0);

} // namespace ui
