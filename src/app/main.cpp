// Tarnwick: splits one MP3 or WAV file, or merges several into one MP3.

#include "Resources.h"
#include "Screenshots.h"
#include "ToolApp.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tarnwick"));
    QGuiApplication::setDesktopFileName(QStringLiteral("tarnwick"));
    QApplication::setWindowIcon(LoadIconResource(128));
    // The pages run their own modal loops; hiding one to show the next must
    // not end the program.
    QApplication::setQuitOnLastWindowClosed(false);

    const QStringList args = QCoreApplication::arguments();
    const qsizetype shots = args.indexOf(QStringLiteral("--screenshots"));
    if (shots >= 0)
        return RunScreenshots(args.value(shots + 1, QStringLiteral("/tmp/tarnwick-shots")),
                              args.value(shots + 2));

    CToolApp theApp;
    theApp.InitInstance(StartFiles(args));
    return theApp.ExitInstance();
}
