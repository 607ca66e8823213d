#include "MessageBox.h"

#include "DialogConstants.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFileInfo>
#include <QMessageBox>

namespace ui {

namespace {

MessageBoxHook& Hook()
{
    static MessageBoxHook hook;
    return hook;
}

QMessageBox::Icon ToQt(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Error: return QMessageBox::Critical;
    case MessageIcon::Warning: return QMessageBox::Warning;
    case MessageIcon::Information: return QMessageBox::Information;
    case MessageIcon::Question: return QMessageBox::Question;
    case MessageIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons ToQt(MessageButtons buttons)
{
    switch (buttons) {
    case MessageButtons::OkCancel: return QMessageBox::Ok | QMessageBox::Cancel;
    case MessageButtons::YesNo: return QMessageBox::Yes | QMessageBox::No;
    case MessageButtons::YesNoCancel: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MessageButtons::Ok: break;
    }
    return QMessageBox::Ok;
}

int ShowBox(const MessageBoxRequest& request)
{
    QMessageBox box(ToQt(request.icon), request.caption, request.text, ToQt(request.buttons),
                    request.parent);
    switch (box.exec()) {
    case QMessageBox::Cancel: return IDCANCEL;
    case QMessageBox::Yes: return IDYES;
    case QMessageBox::No: return IDNO;
    case QMessageBox::Ok: return IDOK;
    default: break;
    }
    // Closed with Esc or the close box: the answer of the box's cancel button.
    return request.buttons == MessageButtons::YesNo ? IDNO
         : request.buttons == MessageButtons::Ok   ? IDOK
                                                   : IDCANCEL;
}

} // namespace

MessageBoxHook SetMessageBoxHook(MessageBoxHook hook)
{
    MessageBoxHook old = std::move(Hook());
    Hook() = std::move(hook);
    return old;
}

QString ApplicationName()
{
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
}

int MessageBox(QWidget* parent, const QString& text, const QString& caption, MessageIcon icon,
               MessageButtons buttons)
{
    const MessageBoxRequest request{parent, text, caption.isNull() ? ApplicationName() : caption,
                                    icon, buttons};
    if (Hook())
        return Hook()(request);
    return ShowBox(request);
}

int AfxMessageBox(const QString& text, MessageButtons buttons, std::optional<MessageIcon> icon)
{
    const MessageIcon shown = icon.value_or(
        buttons == MessageButtons::Ok || buttons == MessageButtons::OkCancel ? MessageIcon::Warning
                                                                             : MessageIcon::Question);
    return MessageBox(QApplication::activeWindow(), text, ApplicationName(), shown, buttons);
}

} // namespace ui
