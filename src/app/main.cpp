// Tarnwick: splits one MP3 or WAV file, or merges several into one MP3.

#include "FileNames.h"
#include "Resources.h"
#include "Screenshots.h"
#include "TarnwickVersion.h"
#include "SessionEnd.h"
#include "ToolApp.h"
#include "Translations.h"

#include <QApplication>

#include <cstdio>
#include <cstring>

namespace {

const char kUsage[] =
    "usage: tarnwick [FILE]\n"
    "       tarnwick [--merge] [FILE...]\n"
    "       tarnwick --tracks FILE | tarnwick SHEET.cue\n"
    "       tarnwick --help | --version\n"
    "\n"
    "  FILE       one file opens the split page with it, several open the merge page\n"
    "  --merge    opens the merge page (with the FILEs, if any)\n"
    "  --tracks   opens FILE on the tracks page; a cue sheet opens its source there\n"
    "  --help     prints this text\n"
    "  --version  prints the version\n"
    "\n"
    "environment: TARNWICK_AUDIO=null plays to no sound device,\n"
    "             TARNWICK_AUDIO=device fails playback when no device opens\n";

} // namespace

int main(int argc, char* argv[])
{
    // Answered before QApplication exists: no display is needed for them.
    for (int i = 1; i < argc && std::strcmp(argv[i], "--") != 0; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::puts("tarnwick " TARNWICK_VERSION);
            return 0;
        }
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        }
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tarnwick"));
    QGuiApplication::setDesktopFileName(QStringLiteral("tarnwick"));
    QApplication::setWindowIcon(LoadIconResource(128));
    // German under LANG=de_DE.UTF-8, and so on; English where Tarnwick has
    // no translation.
    CTranslations translations;
    translations.Install(QLocale::system());
    // The pages run their own modal loops; hiding one to show the next must
    // not end the program.
    QApplication::setQuitOnLastWindowClosed(false);

    // A closed terminal or the end of the session cancels what runs.
    ui::CancelPagesAtSessionEnd();

    // The arguments as the bytes they are (QApplication has taken its own
    // out of argv): a file name that is not UTF-8 still names its file.
    QStringList args;
    for (int i = 0; i < argc; ++i)
        args << ui::FileNameFromBytes(QByteArray(argv[i]));
    const qsizetype shots = args.indexOf(QStringLiteral("--screenshots"));
    if (shots >= 0)
        return RunScreenshots(args.value(shots + 1, QStringLiteral("/tmp/tarnwick-shots")),
                              args.value(shots + 2));

    CToolApp theApp;
    theApp.InitInstance(StartFiles(args), MergeRequested(args), TracksRequested(args));
    return theApp.ExitInstance();
}
