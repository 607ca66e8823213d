#include "DialogPage.h"

#include "PrivateMessage.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QEventLoop>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QStringListModel>
#include <QPainter>
#include <QRadioButton>
#include <QShortcut>
#include <QTimer>

namespace ui {

namespace {

ModalRunHook& RunHook()
{
    static ModalRunHook hook;
    return hook;
}

Qt::WindowFlags PageFlags(const DialogTemplate& t)
{
    if (!t.hasCaption)
        return Qt::Dialog | Qt::CustomizeWindowHint;
    return Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
         | Qt::WindowCloseButtonHint | Qt::WindowMinimizeButtonHint;
}

bool IsPushButton(const QWidget* w)
{
    const auto* button = qobject_cast<const QAbstractButton*>(w);
    return button && !button->isCheckable();
}

} // namespace

ModalRunHook SetModalRunHook(ModalRunHook hook)
{
    ModalRunHook old = std::move(RunHook());
    RunHook() = std::move(hook);
    return old;
}

void PostMessage(QObject* target, int message, quintptr wParam, qintptr lParam)
{
    QCoreApplication::postEvent(target, new CMessageEvent(message, wParam, lParam));
}

CDialogPage::CDialogPage(const DialogTemplate& dialogTemplate, QWidget* parent)
    : QDialog(dialogTemplate.appWindow ? nullptr : parent, PageFlags(dialogTemplate)),
      m_template(dialogTemplate),
      m_font(ChooseDialogFont(dialogTemplate.fontFace, dialogTemplate.fontPointSize)),
      m_units(m_font.units),
      m_parentWnd(parent)
{
    setObjectName(QStringLiteral("dialog%1").arg(m_template.resourceId));
    setWindowTitle(m_template.caption);
    setFont(m_font.font);
    // Every page is white, and so are its labels, radio buttons, frames and
    // read-only edits: they all paint with the window colour.
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    white.setColor(QPalette::Base, Qt::white);
    setPalette(white);
    setAutoFillBackground(true);
    setFixedSize(MapDialogSize(m_template.size, m_units));
    for (const DialogControl& control : m_template.controls)
        CreateControl(control);
}

CDialogPage::~CDialogPage() = default;

int CDialogPage::DoModal()
{
    if (RunHook())
        return RunHook()(*this);
    EnsureInitDialog();
    m_ended = false;
    setWindowModality(Qt::ApplicationModal);
    show();
    if (!m_ended) {
        QEventLoop loop;
        m_loop = &loop;
        loop.exec(QEventLoop::DialogExec);
        m_loop = nullptr;
    }
    return m_result;
}

void CDialogPage::EndDialog(int result)
{
    m_result = result;
    m_ended = true;
    setResult(result);
    hide();
    if (m_loop)
        m_loop->exit();
    emit finished(result);
}

void CDialogPage::EnsureInitDialog()
{
    if (m_initialized)
        return;
    m_initialized = true;
    const bool focusFirst = OnInitDialog();
    NameFieldsByLabels();
    if (focusFirst) {
        // The first tab stop takes the focus, as a dialog does when it opens.
        for (QWidget* w = nextInFocusChain(); w && w != this; w = w->nextInFocusChain()) {
            if (w->isEnabled() && !w->isHidden() && (w->focusPolicy() & Qt::TabFocus)
                && isAncestorOf(w)) {
                w->setFocus(Qt::TabFocusReason);
                break;
            }
        }
    }
}

void CDialogPage::setVisible(bool visible)
{
    if (visible)
        EnsureInitDialog();
    QDialog::setVisible(visible);
}

void CDialogPage::reject()
{
    OnCancel();
}

void CDialogPage::keyPressEvent(QKeyEvent* event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && event->modifiers() == Qt::NoModifier) {
        QWidget* focus = focusWidget();
        const QVariant focusId = focus ? focus->property("controlId") : QVariant();
        const auto bound = focusId.isValid() ? m_enterButtons.find(focusId.toInt()) : m_enterButtons.end();
        if (bound != m_enterButtons.end()) {
            if (auto* button = DlgItem<QAbstractButton>(bound->second); button && button->isEnabled())
                button->click();
        } else if (focus && IsPushButton(focus) && focus->isEnabled()) {
            static_cast<QAbstractButton*>(focus)->click();
        } else {
            OnOK();
        }
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

QWidget* CDialogPage::GetDlgItem(int id) const
{
    // The latest control carrying the id wins: a skinned button takes the
    // place of its template button.
    QWidget* found = nullptr;
    for (QObject* child : children()) {
        auto* w = qobject_cast<QWidget*>(child);
        if (w && !w->isWindow() && w->property("controlId").toInt() == id
            && w->property("controlId").isValid())
            found = w;
    }
    return id == IDC_STATIC ? nullptr : found;
}

void CDialogPage::SetDlgItemText(int id, const QString& text)
{
    QWidget* w = GetDlgItem(id);
    if (auto* label = qobject_cast<QLabel*>(w))
        label->setText(text);
    else if (auto* edit = qobject_cast<QLineEdit*>(w))
        edit->setText(text);
    else if (auto* button = qobject_cast<QAbstractButton*>(w))
        button->setText(text);
    else if (auto* combo = qobject_cast<QComboBox*>(w); combo && combo->isEditable())
        combo->setEditText(text);
    else if (auto* group = qobject_cast<QGroupBox*>(w))
        group->setTitle(text);
}

QString CDialogPage::GetDlgItemText(int id) const
{
    QWidget* w = GetDlgItem(id);
    if (auto* label = qobject_cast<QLabel*>(w))
        return label->text();
    if (auto* edit = qobject_cast<QLineEdit*>(w))
        return edit->text();
    if (auto* button = qobject_cast<QAbstractButton*>(w))
        return button->text();
    if (auto* combo = qobject_cast<QComboBox*>(w))
        return combo->currentText();
    if (auto* group = qobject_cast<QGroupBox*>(w))
        return group->title();
    return QString();
}

bool CDialogPage::IsDlgButtonChecked(int id) const
{
    auto* button = DlgItem<QAbstractButton>(id);
    return button && button->isChecked();
}

void CDialogPage::CheckRadioButton(int firstId, int lastId, int checkId)
{
    for (int id = firstId; id <= lastId; ++id) {
        auto* button = DlgItem<QAbstractButton>(id);
        if (!button)
            continue;
        // An exclusive radio button refuses to be unchecked on its own.
        const bool exclusive = button->autoExclusive();
        button->setAutoExclusive(false);
        button->setChecked(id == checkId);
        button->setAutoExclusive(exclusive);
    }
}

void CDialogPage::EnableWindow(int id, bool enable)
{
    if (QWidget* w = GetDlgItem(id))
        w->setEnabled(enable);
}

void CDialogPage::ShowWindow(int id, bool show)
{
    if (QWidget* w = GetDlgItem(id))
        w->setVisible(show);
}

namespace {

// Where `text` goes among `count` items read by `itemText`.
template <class ItemText>
int SortedPosition(int count, const QString& text, ItemText itemText)
{
    int at = 0;
    while (at < count && QString::compare(itemText(at), text, Qt::CaseInsensitive) <= 0)
        ++at;
    return at;
}

} // namespace

int CDialogPage::AddComboString(int id, const QString& text)
{
    auto* combo = DlgItem<QComboBox>(id);
    if (!combo)
        return -1;
    const int at = combo->property("sorted").toBool()
        ? SortedPosition(combo->count(), text, [combo](int i) { return combo->itemText(i); })
        : combo->count();
    combo->insertItem(at, text);
    return at;
}

int CDialogPage::AddListString(int id, const QString& text)
{
    auto* list = DlgItem<QListView>(id);
    auto* strings = list ? qobject_cast<QStringListModel*>(list->model()) : nullptr;
    if (!strings)
        return -1;
    const int count = strings->rowCount();
    const int at = list->property("sorted").toBool()
        ? SortedPosition(count, text, [strings](int i) { return strings->index(i).data().toString(); })
        : count;
    strings->insertRows(at, 1);
    strings->setData(strings->index(at), text);
    return at;
}

int CDialogPage::SetTimer(int id, int periodMs)
{
    QTimer*& timer = m_timers[id];
    if (!timer) {
        timer = new QTimer(this);
        connect(timer, &QTimer::timeout, this, [this, id] { OnTimer(id); });
    }
    timer->start(periodMs);
    return id;
}

bool CDialogPage::KillTimer(int id)
{
    const auto it = m_timers.find(id);
    if (it == m_timers.end() || !it->second->isActive())
        return false;
    it->second->stop();
    return true;
}

bool CDialogPage::IsTimerRunning(int id) const
{
    const auto it = m_timers.find(id);
    return it != m_timers.end() && it->second->isActive();
}

void CDialogPage::PostMessage(int message, quintptr wParam, qintptr lParam)
{
    ui::PostMessage(this, message, wParam, lParam);
}

void CDialogPage::CentreOn(const QWidget& other)
{
    // A window's position is its frame's. Before its first showing a page
    // has no frame yet: the other window's frame around its own size
    // stands for it (the window manager gives both the same).
    const QRect there = other.frameGeometry();
    const QRect inner = other.geometry();
    QSize size = frameGeometry().size();
    if (frameGeometry() == geometry())
        size += there.size() - inner.size();
    move(there.center() - QPoint(size.width() / 2, size.height() / 2));
}

void CDialogPage::EnableCommandHelp()
{
    auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), this);
    f1->setContext(Qt::WindowShortcut);
    connect(f1, &QShortcut::activated, this, [this] { OnCommandHelp(0, 0); });
}

void CDialogPage::OnClicked(int id, std::function<void()> handler)
{
    if (auto* button = DlgItem<QAbstractButton>(id))
        connect(button, &QAbstractButton::clicked, this, [h = std::move(handler)] { h(); });
}

void CDialogPage::paintEvent(QPaintEvent* event)
{
    QDialog::paintEvent(event);
    if (m_template.hasCaption)
        return;
    // A dialog without a title bar gets no frame from most window managers:
    // draw its modal frame along the edge so it stands out from what lies
    // behind it.
    QPainter painter(this);
    painter.setPen(QColor(0x80, 0x80, 0x80));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    painter.setPen(QColor(0xd4, 0xd4, 0xd4));
    painter.drawRect(rect().adjusted(1, 1, -2, -2));
}

bool CDialogPage::event(QEvent* event)
{
    if (event->type() >= QEvent::User && event->type() <= QEvent::MaxUser) {
        if (auto* message = dynamic_cast<CMessageEvent*>(event)) {
            OnMessage(message->Message(), message->WParam(), message->LParam());
            return true;
        }
    }
    return QDialog::event(event);
}

} // namespace ui
