#include "SessionEnd.h"

#include <QApplication>
#include <QGuiApplication>
#include <QSessionManager>
#include <QSocketNotifier>

#include <csignal>

#include <sys/socket.h>
#include <unistd.h>

namespace ui {
namespace {

int g_signalSocket[2] = {-1, -1};

extern "C" void OnSessionSignal(int signal)
{
    const char byte = static_cast<char>(signal);
    [[maybe_unused]] const ssize_t written = ::write(g_signalSocket[0], &byte, 1);
}

void CloseEveryPage()
{
    // A page's close box is its Cancel: a running split or join stops and
    // removes what it had written. The modal runs end one by one, and with
    // the first page the program.
    QApplication::closeAllWindows();
}

} // namespace

void CancelPagesAtSessionEnd()
{
    if (g_signalSocket[0] >= 0)
        return;
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, g_signalSocket) != 0)
        return;
    auto* notifier = new QSocketNotifier(g_signalSocket[1], QSocketNotifier::Read, qApp);
    QObject::connect(notifier, &QSocketNotifier::activated, qApp, [] {
        char bytes[16];
        while (::read(g_signalSocket[1], bytes, sizeof bytes) > 0) {
        }
        CloseEveryPage();
    });
    struct sigaction action {};
    action.sa_handler = OnSessionSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : {SIGHUP, SIGTERM, SIGINT})
        sigaction(signal, &action, nullptr);
    QObject::connect(qApp, &QGuiApplication::commitDataRequest, qApp, [](QSessionManager&) { CloseEveryPage(); });
}

} // namespace ui
