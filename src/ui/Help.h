#pragma once
// The help manual and the home page, bound to the Help and Home Page buttons
// of every page and to F1. A launch that fails says so, and what to install.

#include <QLocale>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <functional>

class QWidget;

// Opens the manual in the desktop's viewer for HTML files: Brevlin.html,
// or its translation for the program's language, beside the executable.
void LaunchHelp();

// Opens the home page in the web browser; when the desktop cannot open it,
// starts the desktop's default HTML handler on it directly.
void OpenHomePage();

// The F1 handler of the pages: F1 (lParam 0) starts the help; the help
// request is always taken as handled.
bool OnCommandHelp(qintptr lParam);

namespace help {

// Opens a file or URL in the desktop's default program for it, through the
// launch hook below.
bool OpenUrl(const QUrl& url);

inline constexpr const char* kHomePageUrl = "https://tarnwick.example.org/";

// Where LaunchHelp looks for the manual: HelpFileIn(the executable's folder).
QString HelpFilePath();
// The manual beside the executable in `exeDir` (the build tree), else the
// installed one in exeDir/../share/doc/tarnwick; the first path when neither
// exists. A translation for one of the locale's languages (Brevlin_de.html,
// Brevlin_zh_CN.html) comes before the English Brevlin.html in each place.
QString HelpFileIn(const QString& exeDir, const QLocale& locale = QLocale());

// What the desktop failed to open, and the message that tells the user so,
// naming what to install (parent: the page the request came from).
enum class LaunchTarget { Manual, HomePage, AudioFile };
void TellLaunchFailed(QWidget* parent, LaunchTarget target, const QString& what);

// Every launch goes through one hook, so tests can record launches.
struct LaunchRequest {
    enum class Kind { OpenUrl, StartDetached };
    Kind kind = Kind::OpenUrl;
    QUrl url;              // OpenUrl
    QString program;       // StartDetached
    QStringList arguments; // StartDetached
};
using LaunchHook = std::function<bool(const LaunchRequest&)>;
LaunchHook SetLaunchHook(LaunchHook hook);

// The command-line template of the HTML handler cut before its placeholder:
// a quoted placeholder ("%1", "%u", "%U", "%f", "%F" in double quotes) is
// looked for first, then an unquoted one; the placeholder and all that
// follows are dropped. Without a placeholder the template stays whole. An
// escaped percent ("%%") is no placeholder.
QString CutAtPlaceholder(const QString& commandTemplate);

// The fallback command for `url`: the cut template, a blank and the URL,
// split into program and arguments by the desktop-entry quoting rules.
// Field codes left in the template are dropped and "%%" becomes "%".
// Empty when the template is malformed or names no program.
QStringList FallbackCommand(const QString& commandTemplate, const QUrl& url);

} // namespace help
