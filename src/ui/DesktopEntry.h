#pragma once
// Reading desktop entries: the default handler of a MIME type, its Exec
// command-line template, and the quoting rules of that template.

#include <QString>
#include <QStringList>
#include <optional>

namespace desktop {

// $XDG_DATA_HOME followed by $XDG_DATA_DIRS, with their standard defaults.
QStringList DataDirs();

// The desktop file id of the default application for `mimeType`, as
// `xdg-mime query default` reports it; empty when there is none.
QString DefaultApplication(const QString& mimeType);

// The unescaped Exec value of the [Desktop Entry] group of the desktop file
// `desktopId`, looked up under "applications/" of each data dir in order.
std::optional<QString> ExecTemplate(const QString& desktopId, const QStringList& dataDirs);

// Undoes the string escapes of a desktop-entry value (\s \n \t \r \\).
QString UnescapeValue(const QString& value);

// Splits an Exec command line into arguments: blanks separate arguments,
// double quotes group them, and inside quotes a backslash escapes ", `, $
// and \. No shell is involved. Nullopt for an unterminated quote.
std::optional<QStringList> SplitCommandLine(const QString& commandLine);

} // namespace desktop
