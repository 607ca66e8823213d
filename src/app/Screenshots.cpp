#include "Screenshots.h"

#include "AboutDlg.h"
#include "ConvertDlg.h"
#include "FunctionDlg.h"
#include "JoinDlg.h"
#include "MessageBox.h"
#include "SplitDlg.h"
#include "SplitDlgIds.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>

#include <functional>

namespace {

// Lets the window system map the page and the page paint itself.
void Settle()
{
    const QDeadlineTimer deadline(300);
    while (!deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

bool Shoot(ui::CDialogPage& page, const QString& path, const std::function<void()>& prepare = {})
{
    page.EnsureInitDialog();
    page.show();
    Settle();
    if (prepare) {
        prepare();
        Settle();
    }
    const bool saved = page.grab().save(path, "PNG");
    page.hide();
    QTextStream(saved ? stdout : stderr) << (saved ? "wrote " : "cannot write ") << path << '\n';
    return saved;
}

// The split page once its source has loaded: paused, with two breakpoints.
void PrepareSplitPage(CSplitDlg& page)
{
    using namespace split_ids;
    const QString loaded = QStringLiteral("Tarnwick --") + page.m_strSourcePath;
    const QDeadlineTimer deadline(10000);
    while (page.windowTitle() != loaded && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    page.OnPause();
    for (const char* time : {"00:00:10", "00:00:40"}) {
        page.SetDlgItemText(IDC_TYPED_TIME, QString::fromLatin1(time));
        page.OnAddTypedBreakpoint();
    }
}

} // namespace

int RunScreenshots(const QString& folder, const QString& splitSource)
{
    // Nothing may wait for a person: messages go to stderr, and the preview
    // plays to no device.
    ui::SetMessageBoxHook([](const ui::MessageBoxRequest& request) {
        QTextStream(stderr) << "message: " << request.text << '\n';
        return ui::IDOK;
    });
    if (qEnvironmentVariableIsEmpty("TARNWICK_AUDIO"))
        qputenv("TARNWICK_AUDIO", "null");

    if (!QDir().mkpath(folder)) {
        QTextStream(stderr) << "cannot create " << folder << '\n';
        return 1;
    }
    const QDir dir(folder);
    bool ok = true;

    CFunctionDlg first;
    ok &= Shoot(first, dir.filePath(QStringLiteral("1-first-page.png")));

    CAboutDlg about(&first);
    ok &= Shoot(about, dir.filePath(QStringLiteral("2-about-box.png")));

    CSplitDlg split(&first);
    if (!splitSource.isEmpty())
        split.m_strSourcePath = QFileInfo(splitSource).absoluteFilePath();
    ok &= Shoot(split, dir.filePath(QStringLiteral("3-split-page.png")), [&split] {
        if (!split.m_strSourcePath.isEmpty())
            PrepareSplitPage(split);
    });

    CConvertDlg settings;
    settings.m_bMp3Output = true;
    settings.m_strOutputName = QStringLiteral("Song.mp3");
    ok &= Shoot(settings, dir.filePath(QStringLiteral("4-split-settings.png")));

    CJoinDlg join(&first);
    ok &= Shoot(join, dir.filePath(QStringLiteral("5-join-page.png")));

    return ok ? 0 : 1;
}
