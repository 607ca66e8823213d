#include "DialogConstants.h"
#include "DialogPage.h"
#include "GraphEventBridge.h"

#include <QCoreApplication>
#include <QThread>
#include <atomic>
#include <thread>
#include <vector>
#include <gtest/gtest.h>

using namespace ui;

namespace {

constexpr int kGraphMessage = WM_APP + 1;
constexpr int kOtherMessage = WM_APP + 2;

const DialogTemplate& EmptyTemplate()
{
    static const DialogTemplate t{950, QStringLiteral("Graph"), true, false,
                                  QStringLiteral("MS Sans Serif"), 8, QSize(60, 20), {}};
    return t;
}

// Records the private messages it is handed and the thread they arrive on.
class GraphPage : public CDialogPage {
public:
    GraphPage() : CDialogPage(EmptyTemplate()), bridge(new CGraphEventBridge(this, kGraphMessage)) {}
    CGraphEventBridge* bridge;
    std::vector<int> messages;
    std::vector<QThread*> threads;

protected:
    bool OnMessage(int message, quintptr /*wParam*/, qintptr /*lParam*/) override
    {
        messages.push_back(message);
        threads.push_back(QThread::currentThread());
        return true;
    }
};

} // namespace

TEST(GraphEventBridge, MessagesOfAReplacedOrReleasedGraphAreDropped)
{
    GraphPage page;
    const auto oldGraph = page.bridge->Rearm();
    oldGraph();
    const auto newGraph = page.bridge->Rearm();
    oldGraph(); // a late call from the old graph's thread
    QCoreApplication::sendPostedEvents(&page);
    EXPECT_TRUE(page.messages.empty());

    newGraph();
    page.PostMessage(kOtherMessage);
    QCoreApplication::sendPostedEvents(&page);
    EXPECT_EQ(page.messages, (std::vector<int>{kGraphMessage, kOtherMessage}));

    newGraph();
    page.bridge->Detach();
    QCoreApplication::sendPostedEvents(&page);
    EXPECT_EQ(page.messages.size(), 2u);
}

TEST(GraphEventBridge, CallFromAStreamingThreadArrivesOnTheGuiThread)
{
    GraphPage page;
    std::thread streaming(page.bridge->Rearm());
    streaming.join();
    EXPECT_TRUE(page.messages.empty()); // posted, never called directly
    QCoreApplication::sendPostedEvents(&page);
    ASSERT_EQ(page.messages.size(), 1u);
    EXPECT_EQ(page.threads[0], QCoreApplication::instance()->thread());
}

TEST(GraphEventBridge, PageMayGoWhileItsGraphKeepsCalling)
{
    auto* page = new GraphPage;
    const auto notify = page->bridge->Rearm();
    notify(); // still queued when the page goes
    std::atomic<bool> stop = false;
    std::atomic<int> calls = 0;
    std::thread streaming([&] {
        while (!stop) {
            notify();
            ++calls;
        }
    });
    while (calls < 100)
        std::this_thread::yield();
    delete page;
    const int callsAtDelete = calls;
    while (calls < callsAtDelete + 100)
        std::this_thread::yield();
    stop = true;
    streaming.join();
    notify();
    QCoreApplication::sendPostedEvents();
}
