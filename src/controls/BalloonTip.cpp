#include "BalloonTip.h"

#include <QApplication>
#include <QCursor>
#include <QFontMetrics>
#include <QPainter>
#include <QPolygon>
#include <algorithm>

namespace {

// Text margins inside the body.
constexpr int kMarginX = 12;
constexpr int kMarginY = 10;
// Corner ellipses of the body.
constexpr int kCornerWidth = 12;
constexpr int kCornerHeight = 10;
// The pointer: a vertical edge kPointerInset in from the body's right,
// reaching kPointerDepth below the body, and a slanted edge back to the body
// kPointerBase further left. The window reaches kBelowBody below the body.
constexpr int kPointerInset = 12;
constexpr int kPointerDepth = 15;
constexpr int kPointerBase = 25;
constexpr int kBelowBody = 25;
// Narrowest body that still carries the whole pointer base.
constexpr int kMinBodyWidth = kPointerInset + kPointerBase + kCornerWidth / 2;

constexpr int kCheckPeriodMs = 500;
constexpr int kFrameWidth = 3;

QRegion RoundRect(int width, int height)
{
    QRegion region = QRegion(kCornerWidth / 2, 0, width - kCornerWidth, height)
        | QRegion(0, kCornerHeight / 2, width, height - kCornerHeight);
    for (const int x : {0, width - kCornerWidth})
        for (const int y : {0, height - kCornerHeight})
            region |= QRegion(x, y, kCornerWidth, kCornerHeight, QRegion::Ellipse);
    return region;
}

// The pixels of `region` less than dx from its left or right edge or less
// than dy from its top or bottom: the band a frame of that width covers.
QRegion Frame(const QRegion& region, int dx, int dy)
{
    const QRegion inner = region & region.translated(dx, 0) & region.translated(-dx, 0)
        & region.translated(0, dy) & region.translated(0, -dy);
    return region - inner;
}

void FillRegion(QPainter& painter, const QRegion& region, const QColor& colour)
{
    for (const QRect& rect : region)
        painter.fillRect(rect, colour);
}

}  // namespace

CBalloonTip::CBalloonTip()
{
    m_showTimer.setSingleShot(true);
    connect(&m_showTimer, &QTimer::timeout, this, [this] { OnTimer(IDT_BALLOON_SHOW); });
    connect(&m_checkTimer, &QTimer::timeout, this, [this] { OnTimer(IDT_BALLOON_CHECK); });
}

CBalloonTip::~CBalloonTip()
{
    if (qApp)
        qApp->removeEventFilter(this);
}

bool CBalloonTip::Create(QWidget* owner)
{
    // A tool-tip window is one the window system lets a program place next to
    // the pointer, and never activates; input passes through it to the page.
    setParent(owner, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus
                         | Qt::WindowTransparentForInput);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    m_font = QApplication::font();
    m_pOwner = owner;
    // Widgets without mouse tracking get no plain mouse moves, but the
    // application's event filters still see them.
    qApp->removeEventFilter(this);
    if (owner)
        qApp->installEventFilter(this);
    return true;
}

void CBalloonTip::AddTool(QWidget* control, const QString& text)
{
    if (!control)
        return;
    const auto [entry, added] = m_tools.insert_or_assign(control, text);
    // A control deleted before the page must not lend its text to a new one
    // that happens to get its address.
    if (added)
        connect(control, &QObject::destroyed, this, [this](QObject* gone) { m_tools.erase(gone); });
}

void CBalloonTip::Show(const QString& text, const QPoint* point)
{
    m_ptOrigin = point ? *point : QCursor::pos();
    m_strText = text;
    SetTimer(IDT_BALLOON_SHOW, m_nShowDelay);
}

bool CBalloonTip::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if ((type == QEvent::MouseMove || type == QEvent::MouseButtonPress || type == QEvent::Leave)
        && m_pOwner && watched->isWidgetType()) {
        auto* widget = static_cast<QWidget*>(watched);
        if (widget == m_pOwner || m_pOwner->isAncestorOf(widget))
            RelayEvent(widget, event);
    }
    return false;
}

void CBalloonTip::RelayEvent(QObject* receiver, QEvent* event)
{
    auto* widget = receiver && receiver->isWidgetType() ? static_cast<QWidget*>(receiver)
                                                        : m_pOwner.data();
    switch (event->type()) {
    case QEvent::MouseMove: {
        const QPoint pos = QCursor::pos();
        if (pos == m_ptOrigin)
            break;   // no real move, e.g. the same position reported again
        if (const QString* text = widget ? ToolTextAt(widget, pos) : nullptr)
            Show(*text, &pos);
        else
            Hide();
        break;
    }
    case QEvent::MouseButtonPress:
        Hide();
        break;
    case QEvent::Leave:
        // The pointer left the owner's window. Where the window system tells
        // the cursor position only over our own windows, the periodic check
        // would never see it go.
        if (widget && widget == m_pOwner && widget->isWindow())
            Hide();
        break;
    default:
        break;
    }
}

const QString* CBalloonTip::ToolTextAt(const QWidget* receiver, QPoint globalPos) const
{
    const QWidget* window = receiver->window();
    const QPoint local = window->mapFromGlobal(globalPos);
    if (!window->rect().contains(local))
        return nullptr;
    // A control's own children (a list's viewport and scroll bars) count as
    // the control; a disabled control is passed over for its parent.
    const QWidget* under = window->childAt(local);
    for (const QWidget* w = under ? under : window; w; w = w->isWindow() ? nullptr : w->parentWidget()) {
        if (!w->isEnabled())
            continue;
        if (const auto it = m_tools.find(w); it != m_tools.end())
            return &it->second;
    }
    return nullptr;
}

QRegion CBalloonTip::MakeRegion(const QFont& font, const QString& text, QSize& size)
{
    const QSize extent =
        QFontMetrics(font).boundingRect(QRect(), Qt::AlignLeft | Qt::AlignTop, text).size();
    const int width = std::max(extent.width() + 2 * kMarginX, kMinBodyWidth);
    const int height = extent.height() + 2 * kMarginY;
    const QPoint tip(width - kPointerInset, height + kPointerDepth);
    const QPolygon pointer({QPoint(tip.x(), height - kCornerHeight), tip,
                            QPoint(tip.x() - kPointerBase, height - kCornerHeight)});
    size = QSize(width, height + kBelowBody);
    return RoundRect(width, height) | QRegion(pointer, Qt::OddEvenFill);
}

void CBalloonTip::OnTimer(int id)
{
    if (id == IDT_BALLOON_SHOW) {
        KillTimer(IDT_BALLOON_SHOW);
        QSize size;
        setMask(MakeRegion(m_font, m_strText, size));
        // The pointer's tip lies on the origin.
        const QPoint topLeft = m_ptOrigin
            - QPoint(size.width() - kPointerInset, size.height() - kBelowBody + kPointerDepth);
        setGeometry(QRect(topLeft, size));
        show();
        raise();
        update();
        SetTimer(IDT_BALLOON_CHECK, kCheckPeriodMs);
    } else if (id == IDT_BALLOON_CHECK) {
        if (QCursor::pos() != m_ptOrigin)
            Hide();
    }
}

void CBalloonTip::SetTimer(int id, int periodMs)
{
    (id == IDT_BALLOON_SHOW ? m_showTimer : m_checkTimer).start(periodMs);
}

void CBalloonTip::KillTimer(int id)
{
    (id == IDT_BALLOON_SHOW ? m_showTimer : m_checkTimer).stop();
}

void CBalloonTip::Hide()
{
    // A pending show must not bring the balloon back after a press or after
    // the pointer left the controls; the check has nothing left to watch.
    KillTimer(IDT_BALLOON_SHOW);
    KillTimer(IDT_BALLOON_CHECK);
    hide();
}

void CBalloonTip::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    const QRegion shape = mask();
    const QPalette& pal = palette();
    // The colours of a text window (an edit's background and text) inside,
    // a 3-pixel frame in a mid grey, as scroll bars have, and the outermost
    // pixel in the text colour.
    FillRegion(painter, shape, pal.color(QPalette::Base));
    FillRegion(painter, Frame(shape, kFrameWidth, kFrameWidth), pal.color(QPalette::Mid));
    FillRegion(painter, Frame(shape, 1, 1), pal.color(QPalette::Text));
    painter.setFont(m_font);
    painter.setPen(pal.color(QPalette::Text));
    painter.drawText(rect().adjusted(kMarginX, kMarginY, 0, 0), Qt::AlignLeft | Qt::AlignTop,
                     m_strText);
}
