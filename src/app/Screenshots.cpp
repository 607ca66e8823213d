#include "Screenshots.h"

#include "AboutDlg.h"
#include "ConvertDlg.h"
#include "FunctionDlg.h"
#include "JoinDlg.h"
#include "SplitDlg.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QTextStream>

namespace {

// Lets the window system map the page and the page paint itself.
void Settle()
{
    const QDeadlineTimer deadline(300);
    while (!deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

bool Shoot(ui::CDialogPage& page, const QString& path)
{
    page.EnsureInitDialog();
    page.show();
    Settle();
    const bool saved = page.grab().save(path, "PNG");
    page.hide();
    QTextStream(saved ? stdout : stderr) << (saved ? "wrote " : "cannot write ") << path << '\n';
    return saved;
}

} // namespace

int RunScreenshots(const QString& folder)
{
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
    split.m_strSourcePath = QDir::homePath() + QStringLiteral("/Music/Song.mp3");
    ok &= Shoot(split, dir.filePath(QStringLiteral("3-split-page.png")));

    CConvertDlg settings;
    settings.m_bMp3Output = true;
    settings.m_strOutputName = QStringLiteral("Song.mp3");
    ok &= Shoot(settings, dir.filePath(QStringLiteral("4-split-settings.png")));

    CJoinDlg join(&first);
    ok &= Shoot(join, dir.filePath(QStringLiteral("5-join-page.png")));

    return ok ? 0 : 1;
}
