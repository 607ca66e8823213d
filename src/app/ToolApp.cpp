#include "ToolApp.h"

#include "FunctionDlg.h"
#include "media/render/MediaInit.h"

#include <QFileInfo>

QStringList StartFiles(const QStringList& arguments)
{
    QStringList files;
    bool options = true;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (options && argument == QLatin1String("--")) {
            options = false;
            continue;
        }
        if (options && argument.size() > 1 && argument.startsWith(QLatin1Char('-')))
            continue;
        // The pages derive the output folder from the path: it must be whole.
        files << QFileInfo(argument).absoluteFilePath();
    }
    return files;
}

namespace {

bool OptionGiven(const QStringList& arguments, QLatin1String option)
{
    for (qsizetype i = 1; i < arguments.size() && arguments[i] != QLatin1String("--"); ++i) {
        if (arguments[i] == option)
            return true;
    }
    return false;
}

} // namespace

bool MergeRequested(const QStringList& arguments)
{
    return OptionGiven(arguments, QLatin1String("--merge"));
}

bool TracksRequested(const QStringList& arguments)
{
    return OptionGiven(arguments, QLatin1String("--tracks"));
}

bool CToolApp::InitInstance(const QStringList& files, bool merge, bool tracks)
{
    StartMediaLayer();
    CFunctionDlg page;
    if (page.OpenStartFiles(files, merge, tracks))
        page.DoModal();
    return false;
}

int CToolApp::ExitInstance()
{
    StopMediaLayer();
    return 0;
}

// The media layer's process-wide start-up and shutdown: the built-in
// filters are registered, and the audio back end is closed at the end.
void CToolApp::StartMediaLayer()
{
    MediaInitialize();
}

void CToolApp::StopMediaLayer()
{
    MediaUninitialize();
}
