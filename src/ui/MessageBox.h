#pragma once
// The program's one message box: exact text, caption, icon and buttons.
// Tests install a hook that records each box and answers it instead of
// showing it.

#include <QString>
#include <functional>
#include <optional>

class QWidget;

namespace ui {

enum class MessageIcon { None, Error, Warning, Information, Question };
enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel };

struct MessageBoxRequest {
    QWidget* parent = nullptr;
    QString text;
    QString caption;
    MessageIcon icon = MessageIcon::None;
    MessageButtons buttons = MessageButtons::Ok;
};

// Returns IDOK, IDCANCEL, IDYES or IDNO.
using MessageBoxHook = std::function<int(const MessageBoxRequest&)>;

// Installs a hook (an empty one restores the real box); returns the old one.
MessageBoxHook SetMessageBoxHook(MessageBoxHook hook);

// The executable's base name: the caption of boxes that name no caption.
QString ApplicationName();

// A null caption stands for the application name.
int MessageBox(QWidget* parent, const QString& text, const QString& caption = QString(),
               MessageIcon icon = MessageIcon::None, MessageButtons buttons = MessageButtons::Ok);

// The framework box: application name as caption; without an explicit icon
// an OK box shows the warning icon and a yes/no box the question icon.
int AfxMessageBox(const QString& text, MessageButtons buttons = MessageButtons::Ok,
                  std::optional<MessageIcon> icon = std::nullopt);

} // namespace ui
