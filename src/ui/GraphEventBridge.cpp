#include "GraphEventBridge.h"

#include "PrivateMessage.h"

#include <mutex>

namespace ui {

// What the callbacks share with the bridge. A callback may outlive the
// bridge and the page (a graph's streaming thread can still hold it), so it
// holds this rather than either of them; the bridge clears `page` when it
// goes, under the lock a posting callback holds.
struct CGraphEventBridge::Shared {
    std::mutex mutex;
    QObject* page = nullptr;
    int message = 0;
    quintptr generation = 0;
};

CGraphEventBridge::CGraphEventBridge(QObject* page, int message)
    : QObject(page), m_shared(std::make_shared<Shared>()), m_page(page), m_message(message)
{
    Q_ASSERT(page);
    m_shared->page = page;
    m_shared->message = message;
    page->installEventFilter(this);
}

CGraphEventBridge::~CGraphEventBridge()
{
    // Messages already queued for the page go with it: Qt removes a
    // receiver's posted events when it is destroyed.
    std::lock_guard lock(m_shared->mutex);
    m_shared->page = nullptr;
}

CGraphEventBridge::NotifyCallback CGraphEventBridge::Rearm()
{
    std::lock_guard lock(m_shared->mutex);
    const quintptr generation = ++m_shared->generation;
    return [shared = m_shared, generation] {
        std::lock_guard sharedLock(shared->mutex);
        if (shared->page && shared->generation == generation)
            PostMessage(shared->page, shared->message, generation);
    };
}

void CGraphEventBridge::Detach()
{
    std::lock_guard lock(m_shared->mutex);
    ++m_shared->generation;
}

bool CGraphEventBridge::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_page || event->type() != static_cast<QEvent::Type>(m_message))
        return false;
    const auto* message = dynamic_cast<const CMessageEvent*>(event);
    if (!message)
        return false;
    std::lock_guard lock(m_shared->mutex);
    return message->WParam() != m_shared->generation;
}

} // namespace ui
