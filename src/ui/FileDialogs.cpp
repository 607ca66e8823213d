#include "FileDialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>

namespace ui {

namespace {

FileDialogHook& Hook()
{
    static FileDialogHook hook;
    return hook;
}

QString QtPatterns(const QString& windowsPatterns)
{
    QStringList patterns;
    for (const QString& p : windowsPatterns.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString trimmed = p.trimmed();
        patterns << (trimmed == QLatin1String("*.*") ? QStringLiteral("*") : trimmed);
    }
    return patterns.join(QLatin1Char(' '));
}

// In the standard configuration folder, whatever names the application set.
QSettings FolderSettings()
{
    return QSettings(QStringLiteral("tarnwick"), QStringLiteral("tarnwick"));
}

QString DefaultFolder()
{
    const QString music = QStandardPaths::writableLocation(QStandardPaths::MusicLocation);
    if (!music.isEmpty() && QFileInfo(music).isDir())
        return music;
    return QDir::homePath();
}

// Notes the folder of the answer (the chosen folder itself for a folder
// dialog) under the request's key.
void Remember(const QString& rememberKey, FileDialogKind kind,
              const std::optional<QStringList>& answer)
{
    if (rememberKey.isEmpty() || !answer || answer->isEmpty() || answer->first().isEmpty())
        return;
    const QString chosen = answer->first();
    if (!QDir::isAbsolutePath(chosen))
        return;   // not a place on disk
    const QString folder = kind == FileDialogKind::Folder ? QDir::cleanPath(chosen)
                                                          : QFileInfo(chosen).absolutePath();
    FolderSettings().setValue(rememberKey, folder);
}

std::optional<QStringList> Ask(const FileDialogRequest& request)
{
    if (Hook())
        return Hook()(request);

    const QString filter = request.filters.join(QStringLiteral(";;"));
    QString selected = request.filters.value(0);
    QStringList result;
    switch (request.kind) {
    case FileDialogKind::Open: {
        const QString file = QFileDialog::getOpenFileName(request.parent, request.caption,
                                                          request.startFolder, filter, &selected);
        if (!file.isEmpty())
            result << file;
        break;
    }
    case FileDialogKind::OpenMultiple:
        result = QFileDialog::getOpenFileNames(request.parent, request.caption, request.startFolder,
                                               filter, &selected);
        break;
    case FileDialogKind::Save: {
        QFileDialog dialog(request.parent, request.caption, request.startFolder, filter);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setDefaultSuffix(request.defaultSuffix);
        if (dialog.exec() == QDialog::Accepted)
            result = dialog.selectedFiles();
        break;
    }
    case FileDialogKind::Folder: {
        const QString dir = QFileDialog::getExistingDirectory(request.parent, request.caption,
                                                              request.startFolder);
        if (!dir.isEmpty())
            result << dir;
        break;
    }
    }
    if (result.isEmpty())
        return std::nullopt;
    return result;
}

std::optional<QStringList> Run(FileDialogRequest request, const QString& rememberKey)
{
    if (!rememberKey.isEmpty())
        request.startFolder = StartFolder(rememberKey);
    std::optional<QStringList> answer = Ask(request);
    Remember(rememberKey, request.kind, answer);
    return answer;
}

std::optional<QString> First(const std::optional<QStringList>& answer)
{
    if (!answer || answer->isEmpty())
        return std::nullopt;
    return answer->first();
}

} // namespace

FileDialogHook SetFileDialogHook(FileDialogHook hook)
{
    FileDialogHook old = std::move(Hook());
    Hook() = std::move(hook);
    return old;
}

QStringList ConvertWindowsFilter(const QString& windowsFilter)
{
    static const QRegularExpression trailingGroup(QStringLiteral("^(.*?)\\s*\\(([^()]*)\\)$"));
    const QStringList parts = windowsFilter.split(QLatin1Char('|'));
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        const QString description = parts[i].trimmed();
        const QString patterns = QtPatterns(parts[i + 1]);
        if (description.isEmpty() && patterns.isEmpty())
            continue;
        const QRegularExpressionMatch m = trailingGroup.match(description);
        if (m.hasMatch() && QtPatterns(m.captured(2)) == patterns)
            filters << QStringLiteral("%1 (%2)").arg(m.captured(1), patterns);
        else
            filters << QStringLiteral("%1 (%2)").arg(description, patterns);
    }
    return filters;
}

QString StartFolder(const QString& rememberKey)
{
    const QString last = FolderSettings().value(rememberKey).toString();
    if (!last.isEmpty() && QFileInfo(last).isDir())
        return last;
    return DefaultFolder();
}

std::optional<QString> GetOpenFileName(QWidget* parent, const QString& windowsFilter,
                                       const QString& rememberKey)
{
    return First(Run({FileDialogKind::Open, parent, QString(), ConvertWindowsFilter(windowsFilter), {}, {}},
                     rememberKey));
}

std::optional<QStringList> GetOpenFileNames(QWidget* parent, const QString& windowsFilter,
                                            const QString& rememberKey)
{
    auto answer = Run({FileDialogKind::OpenMultiple, parent, QString(),
                       ConvertWindowsFilter(windowsFilter), {}, {}},
                      rememberKey);
    if (answer && answer->isEmpty())
        return std::nullopt;
    return answer;
}

std::optional<QString> GetSaveFileName(QWidget* parent, const QString& windowsFilter,
                                       const QString& defaultSuffix, const QString& rememberKey)
{
    return First(Run({FileDialogKind::Save, parent, QString(), ConvertWindowsFilter(windowsFilter),
                      defaultSuffix, {}},
                     rememberKey));
}

std::optional<QString> BrowseForFolder(QWidget* parent, const QString& caption,
                                       const QString& rememberKey)
{
    return First(Run({FileDialogKind::Folder, parent, caption, {}, {}, {}}, rememberKey));
}

} // namespace ui
