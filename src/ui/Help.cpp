#include "Help.h"

#include "DesktopEntry.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QProcess>

namespace help {

namespace {

LaunchHook& Hook()
{
    static LaunchHook hook;
    return hook;
}

bool Launch(const LaunchRequest& request)
{
    if (Hook())
        return Hook()(request);
    if (request.kind == LaunchRequest::Kind::OpenUrl)
        return QDesktopServices::openUrl(request.url);
    return QProcess::startDetached(request.program, request.arguments);
}

} // namespace

bool OpenUrl(const QUrl& url)
{
    return Launch({LaunchRequest::Kind::OpenUrl, url, {}, {}});
}

namespace {

bool IsPlaceholderCode(QChar c)
{
    return c == QLatin1Char('1') || c == QLatin1Char('u') || c == QLatin1Char('U')
        || c == QLatin1Char('f') || c == QLatin1Char('F');
}

// Position where the template is cut, or -1 when it holds no placeholder.
qsizetype FindPlaceholder(const QString& t, bool quoted)
{
    for (qsizetype i = 0; i + 1 < t.size(); ++i) {
        if (t[i] != QLatin1Char('%'))
            continue;
        if (t[i + 1] == QLatin1Char('%')) {
            ++i;
            continue;
        }
        if (!IsPlaceholderCode(t[i + 1]))
            continue;
        if (!quoted)
            return i;
        if (i > 0 && t[i - 1] == QLatin1Char('"') && i + 2 < t.size() && t[i + 2] == QLatin1Char('"'))
            return i - 1;
    }
    return -1;
}

// Field codes that expand to nothing once the file or URL placeholder is gone.
bool IsFieldCode(const QString& arg)
{
    return arg.size() == 2 && arg[0] == QLatin1Char('%') && arg[1] != QLatin1Char('%');
}

} // namespace

QString HelpFileIn(const QString& exeDir)
{
    const QDir dir(exeDir);
    const QString beside = dir.filePath(QStringLiteral("Brevlin.html"));
    if (QFileInfo::exists(beside))
        return beside;
    const QString installed =
        QDir::cleanPath(dir.filePath(QStringLiteral("../share/doc/tarnwick/Brevlin.html")));
    return QFileInfo::exists(installed) ? installed : beside;
}

QString HelpFilePath()
{
    return HelpFileIn(QCoreApplication::applicationDirPath());
}

LaunchHook SetLaunchHook(LaunchHook hook)
{
    LaunchHook old = std::move(Hook());
    Hook() = std::move(hook);
    return old;
}

QString CutAtPlaceholder(const QString& commandTemplate)
{
    qsizetype at = FindPlaceholder(commandTemplate, true);
    if (at < 0)
        at = FindPlaceholder(commandTemplate, false);
    return at < 0 ? commandTemplate : commandTemplate.left(at);
}

QStringList FallbackCommand(const QString& commandTemplate, const QUrl& url)
{
    const QString line = CutAtPlaceholder(commandTemplate) + QLatin1Char(' ')
                       + QString::fromUtf8(url.toEncoded());
    const std::optional<QStringList> split = desktop::SplitCommandLine(line);
    if (!split)
        return {};
    QStringList argv;
    for (const QString& arg : *split) {
        if (IsFieldCode(arg))
            continue;
        argv << QString(arg).replace(QLatin1String("%%"), QLatin1String("%"));
    }
    return argv;
}

} // namespace help

void LaunchHelp()
{
    help::Launch({help::LaunchRequest::Kind::OpenUrl, QUrl::fromLocalFile(help::HelpFilePath()), {}, {}});
}

void OpenHomePage()
{
    using help::LaunchRequest;
    const QUrl url(QString::fromLatin1(help::kHomePageUrl));
    if (help::Launch({LaunchRequest::Kind::OpenUrl, url, {}, {}}))
        return;
    const QString handler = desktop::DefaultApplication(QStringLiteral("text/html"));
    const std::optional<QString> exec = desktop::ExecTemplate(handler, desktop::DataDirs());
    if (!exec)
        return;
    const QStringList argv = help::FallbackCommand(*exec, url);
    if (argv.isEmpty())
        return;
    help::Launch({LaunchRequest::Kind::StartDetached, {}, argv.first(), argv.mid(1)});
}

bool OnCommandHelp(qintptr lParam)
{
    if (lParam == 0)
        LaunchHelp();
    return true;
}
