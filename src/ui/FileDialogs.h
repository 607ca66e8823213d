#pragma once
// Open, save and folder dialogs. Filters are given in the Windows form
// ("Description|patterns|..."), rewritten for Qt with the same entries in the
// same order. Tests install a hook that answers the dialogs.
//
// A dialog given a remember key opens in the folder the person last chose in
// it (kept with QSettings under that key), or in the music folder the first
// time (the home folder when there is no music folder).

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class QWidget;

namespace ui {

enum class FileDialogKind { Open, OpenMultiple, Save, Folder };

struct FileDialogRequest {
    FileDialogKind kind = FileDialogKind::Open;
    QWidget* parent = nullptr;
    QString caption;
    QStringList filters;       // Qt syntax, first entry preselected
    QString defaultSuffix;     // save dialogs
    QString startFolder;       // where the dialog opens; empty: the dialog's own choice
};

// The chosen paths, or nullopt when the dialog is cancelled.
using FileDialogHook = std::function<std::optional<QStringList>(const FileDialogRequest&)>;

FileDialogHook SetFileDialogHook(FileDialogHook hook);

// "Audio File (*.mp3;*.wav)|*.mp3;*.wav|*.*|*.*" becomes
// {"Audio File (*.mp3 *.wav)", "*.* (*)"}: a description that already ends in
// its own pattern list gets it in Qt syntax, any other description gets the
// patterns appended; "*.*" matches every file, as it does on Windows.
QStringList ConvertWindowsFilter(const QString& windowsFilter);

// Remember keys of the pages' dialogs.
inline constexpr char kOpenFolderKey[] = "folders/open";
inline constexpr char kSplitOutputFolderKey[] = "folders/splitOutput";
inline constexpr char kJoinAddFolderKey[] = "folders/joinAdd";
inline constexpr char kJoinSaveFolderKey[] = "folders/joinSave";

// The folder a dialog with this remember key opens in.
QString StartFolder(const QString& rememberKey);

// An existing file.
std::optional<QString> GetOpenFileName(QWidget* parent, const QString& windowsFilter,
                                       const QString& rememberKey = QString());
// One or more existing files, in the order the dialog returns them.
std::optional<QStringList> GetOpenFileNames(QWidget* parent, const QString& windowsFilter,
                                            const QString& rememberKey = QString());
// A file to write; the dialog asks before an existing file is overwritten.
std::optional<QString> GetSaveFileName(QWidget* parent, const QString& windowsFilter,
                                       const QString& defaultSuffix,
                                       const QString& rememberKey = QString());
std::optional<QString> BrowseForFolder(QWidget* parent, const QString& caption = QString(),
                                       const QString& rememberKey = QString());

} // namespace ui
