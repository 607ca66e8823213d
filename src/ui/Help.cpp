#include "Help.h"

#include "DesktopEntry.h"
#include "MessageBox.h"

#include <QApplication>
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

namespace {

// Brevlin_de_AT.html, Brevlin_de.html, ... for each language of the
// locale in its order of preference, then Brevlin.html.
QStringList ManualNames(const QLocale& locale)
{
    QStringList names;
    for (QString language : locale.uiLanguages()) {
        language.replace(QLatin1Char('-'), QLatin1Char('_'));
        for (;;) {
            const QString name = QStringLiteral("Brevlin_%1.html").arg(language);
            if (!names.contains(name))
                names << name;
            const qsizetype cut = language.lastIndexOf(QLatin1Char('_'));
            if (cut <= 0)
                break;
            language.truncate(cut);
        }
    }
    names << QStringLiteral("Brevlin.html");
    return names;
}

} // namespace

QString HelpFileIn(const QString& exeDir, const QLocale& locale)
{
    const QDir dir(exeDir);
    const QDir installed(QDir::cleanPath(dir.filePath(QStringLiteral("../share/doc/tarnwick"))));
    for (const QDir& place : {dir, installed})
        for (const QString& name : ManualNames(locale))
            if (QFileInfo::exists(place.filePath(name)))
                return place.filePath(name);
    return dir.filePath(QStringLiteral("Brevlin.html"));
}

void TellLaunchFailed(QWidget* parent, LaunchTarget target, const QString& what)
{
    QString text;
    switch (target) {
    case LaunchTarget::Manual:
        text = QFileInfo::exists(what)
            ? QCoreApplication::translate(
                  "help", "The manual %1 could not be opened: no program to show web pages is set up.\n"
                          "Install a web browser (for example the package firefox-esr) or choose one for "
                          "HTML files, then press Help again.")
            : QCoreApplication::translate("help", "The manual %1 is missing.\nInstall Tarnwick again to get it back.");
        break;
    case LaunchTarget::HomePage:
        text = QCoreApplication::translate(
            "help", "The home page %1 could not be opened: no web browser is set up.\n"
                    "Install one (for example the package firefox-esr) or choose one as the default, then try again.");
        break;
    case LaunchTarget::AudioFile:
        text = QCoreApplication::translate(
            "help", "%1 could not be played: no program to play audio files is set up.\n"
                    "Install a player (for example the package vlc) or choose one for MP3 and WAV files, "
                    "then try again.");
        break;
    }
    ui::MessageBox(parent, text.arg(what), QString(), ui::MessageIcon::Warning);
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
    const QString manual = help::HelpFilePath();
    if (!help::Launch({help::LaunchRequest::Kind::OpenUrl, QUrl::fromLocalFile(manual), {}, {}}))
        help::TellLaunchFailed(QApplication::activeWindow(), help::LaunchTarget::Manual,
                               QDir::toNativeSeparators(manual));
}

void OpenHomePage()
{
    using help::LaunchRequest;
    const QUrl url(QString::fromLatin1(help::kHomePageUrl));
    if (help::Launch({LaunchRequest::Kind::OpenUrl, url, {}, {}}))
        return;
    const QString handler = desktop::DefaultApplication(QStringLiteral("text/html"));
    const std::optional<QString> exec = desktop::ExecTemplate(handler, desktop::DataDirs());
    const QStringList argv = exec ? help::FallbackCommand(*exec, url) : QStringList();
    if (argv.isEmpty() || !help::Launch({LaunchRequest::Kind::StartDetached, {}, argv.first(), argv.mid(1)}))
        help::TellLaunchFailed(QApplication::activeWindow(), help::LaunchTarget::HomePage, url.toString());
}

bool OnCommandHelp(qintptr lParam)
{
    if (lParam == 0)
        LaunchHelp();
    return true;
}
