// The skinned button: taking a template button's place, its bitmaps,
// cursor and tooltip, and lighting up under the pointer. Its painting is in
// SkinButtonPaint.cpp.

#include "SkinButton.h"

#include "Resources.h"
#include "TooltipText.h"

#include <QApplication>
#include <QEnterEvent>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <QToolTip>

namespace {

constexpr QRgb kHoverTransparent = qRgb(0, 0, 0);
constexpr QRgb kNormalTransparent = qRgb(0, 255, 0);

// Padding of the tooltip window around its text (frame and label margin).
constexpr int kTooltipPadding = 12;

}  // namespace

CSkinButton::CSkinButton(QWidget* parent)
    : QAbstractButton(parent)
{
    const QPalette& pal = palette();
    m_activeBackground = pal.color(QPalette::Button);
    m_activeText = pal.color(QPalette::ButtonText);
    m_inactiveBackground = pal.color(QPalette::Button);
    m_inactiveText = pal.color(QPalette::ButtonText);
    // Every paint covers the whole button (background snapshot or fill), so
    // the parent need not be painted beneath it.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
}

CSkinButton::~CSkinButton() = default;

bool CSkinButton::SubclassDlgItem(int id, QWidget* page)
{
    if (!page)
        return false;
    QWidget* old = nullptr;
    for (QWidget* w : page->findChildren<QWidget*>()) {
        const QVariant controlId = w->property("controlId");
        if (w != this && !w->isWindow() && controlId.isValid() && controlId.toInt() == id) {
            old = w;
            break;
        }
    }
    if (!old)
        return false;

    QWidget* parent = old->parentWidget();
    const bool shown = !old->isHidden() || !old->testAttribute(Qt::WA_WState_ExplicitShowHide);
    setParent(parent);
    setGeometry(old->geometry());
    setProperty("controlId", id);
    setObjectName(old->objectName());
    setEnabled(old->isEnabledTo(parent));
    setFocusPolicy(old->focusPolicy());
    if (auto* oldButton = qobject_cast<QAbstractButton*>(old))
        setText(oldButton->text());
    if (auto* push = qobject_cast<QPushButton*>(old)) {
        // Not a QPushButton itself: the page reads these to find its default.
        setProperty("default", push->isDefault());
        setProperty("autoDefault", push->autoDefault());
    }
    // Take the old button's place in the stacking and in the tab order.
    stackUnder(old);
    QWidget::setTabOrder(old, this);
    if (old->hasFocus())
        setFocus();
    delete old;
    if (!shown)
        hide();
    else if (parent->isVisible())
        show();
    return true;
}

CSkinButton::BitmapResult CSkinButton::SetBitmaps(int hoverId, QRgb hoverTransparent, int normalId,
                                                  QRgb normalTransparent)
{
    const QImage hover = LoadBitmapResource(hoverId & 0xFFFF);
    const QImage normal = normalId != 0 ? LoadBitmapResource(normalId & 0xFFFF) : QImage();
    if (hover.isNull()) {
        // A missing hover bitmap leaves the button without images, and says so.
        FreeBitmaps();
        RepaintNow();
        return BitmapResult::Unreadable;
    }
    const BitmapResult result = SetBitmapHandles(hover, hoverTransparent, normal, normalTransparent);
    if (result == BitmapResult::Loaded && normalId != 0 && normal.isNull())
        return BitmapResult::Unreadable; // the hover image alone is shown in every state
    return result;
}

CSkinButton::BitmapResult CSkinButton::SetBitmapHandles(const QImage& hover, QRgb hoverTransparent,
                                                        const QImage& normal, QRgb normalTransparent)
{
    FreeBitmaps();
    if (!hover.isNull()) {
        if (const BitmapResult result = MakeImageRecord(hover, hoverTransparent, m_hover);
            result != BitmapResult::Loaded) {
            FreeBitmaps();
            return result;
        }
        if (!normal.isNull()) {
            if (const BitmapResult result = MakeImageRecord(normal, normalTransparent, m_normal);
                result != BitmapResult::Loaded) {
                FreeBitmaps();
                return result;
            }
        }
    }
    RepaintNow();
    return BitmapResult::Loaded;
}

CSkinButton::BitmapResult CSkinButton::MakeImageRecord(const QImage& image, QRgb transparent, ImageRecord& record)
{
    QImage masked = image.convertToFormat(QImage::Format_ARGB32);
    if (masked.isNull() || masked.width() <= 0 || masked.height() <= 0)
        return BitmapResult::Unreadable;
    // Pixels of exactly the transparent colour let the background through.
    const QRgb key = transparent & 0xffffffu;
    for (int y = 0; y < masked.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(masked.scanLine(y));
        for (int x = 0; x < masked.width(); ++x)
            if ((line[x] & 0xffffffu) == key)
                line[x] = 0;
    }
    const QBitmap mask = QBitmap::fromImage(masked.createAlphaMask());
    if (mask.isNull())
        return BitmapResult::NoMask;
    record.pixmap = QPixmap::fromImage(masked);
    record.mask = mask;
    record.transparent = transparent;
    record.width = masked.width();
    record.height = masked.height();
    return BitmapResult::Loaded;
}

void CSkinButton::FreeBitmaps()
{
    m_hover = {};
    m_normal = {};
    m_disabled = QPixmap();
}

void CSkinButton::SetDrawBorder(bool draw)
{
    m_bDrawBorder = draw;
}

void CSkinButton::SetTransparent(bool repaint)
{
    m_bTransparent = true;
    DiscardSnapshot();
    if (repaint)
        update();
}

bool CSkinButton::SetButtonCursor(int cursorId)
{
    m_cursor.reset();
    unsetCursor();
    if (cursorId == 0)
        return true;
    if (!HasCursorResource(cursorId & 0xFFFF))
        return false;
    m_cursor = LoadCursorResource(cursorId & 0xFFFF);
    setCursor(*m_cursor);
    return true;
}

void CSkinButton::SetTooltipText(const QString* text, bool activate)
{
    if (!text)
        return;
    m_tooltipText = *text;
    m_bTooltipActive = activate;
    setToolTip(m_tooltipText);
    // The picture is the button's only caption: a screen reader says the tip.
    setAccessibleName(m_tooltipText);
    if (!activate && QToolTip::isVisible())
        QToolTip::hideText();
}

bool CSkinButton::SetupStandardSkin(int id, QWidget* page, int hoverBitmapId, int normalBitmapId,
                                    const QString& tooltip)
{
    if (!SubclassDlgItem(id, page))
        return false;
    // A button whose pictures are missing still works; it shows its page's
    // background, and the log says which picture is missing.
    if (SetBitmaps(hoverBitmapId, kHoverTransparent, normalBitmapId, kNormalTransparent) != BitmapResult::Loaded)
        qWarning("button %d: bitmap %d or %d cannot be shown", id, hoverBitmapId, normalBitmapId);
    SetDrawBorder(false);
    SetTransparent(true);
    SetButtonCursor(res::kCursorHand);
    SetTooltipText(tooltip, true);
    return true;
}

// --- hover -----------------------------------------------------------------

bool CSkinButton::CanLightUp() const
{
    return isEnabled() && parentWidget() && QApplication::activeWindow();
}

void CSkinButton::SetHover(bool hover)
{
    if (m_bMouseOnButton == hover)
        return;
    m_bMouseOnButton = hover;
    update();
}

void CSkinButton::CancelHover()
{
    SetHover(false);
}

void CSkinButton::mouseMoveEvent(QMouseEvent* event)
{
    QAbstractButton::mouseMoveEvent(event);
    const bool leftHeld = event->buttons() & Qt::LeftButton;
    // Dragging in with the left button held does not light the button up.
    if (leftHeld && !m_bMouseOnButton)
        return;
    if (rect().contains(event->position().toPoint())) {
        if (!m_bMouseOnButton && CanLightUp())
            SetHover(true);
    } else {
        // Pressed here and dragged off: the pointer is over another window.
        CancelHover();
    }
}

void CSkinButton::enterEvent(QEnterEvent* event)
{
    QAbstractButton::enterEvent(event);
    if (!(QGuiApplication::mouseButtons() & Qt::LeftButton) && CanLightUp())
        SetHover(true);
}

void CSkinButton::leaveEvent(QEvent* event)
{
    QAbstractButton::leaveEvent(event);
    CancelHover();
}

void CSkinButton::focusOutEvent(QFocusEvent* event)
{
    QAbstractButton::focusOutEvent(event);
    CancelHover();
}

void CSkinButton::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The second press of a double click is a press like any other, so a
    // fast double click gives the page two clicks.
    mousePressEvent(event);
}

void CSkinButton::changeEvent(QEvent* event)
{
    QAbstractButton::changeEvent(event);
    switch (event->type()) {
    case QEvent::EnabledChange:
        if (!isEnabled())
            CancelHover();
        break;
    case QEvent::ActivationChange:
        if (!isActiveWindow())
            CancelHover();
        break;
    case QEvent::PaletteChange:
    case QEvent::StyleChange:
        // Colours changed: take the parent's background again at the next
        // paint, and grey the picture anew.
        DiscardSnapshot();
        m_disabled = QPixmap();
        break;
    default:
        break;
    }
}

bool CSkinButton::event(QEvent* event)
{
    switch (event->type()) {
    case QEvent::ToolTip: {
        const auto* help = static_cast<QHelpEvent*>(event);
        if (m_bTooltipActive && !m_tooltipText.isEmpty()) {
            const QString text = controls::WrapTooltipText(
                m_tooltipText, QToolTip::font(), controls::kMaxTooltipWidth - kTooltipPadding);
            QToolTip::showText(help->globalPos(), text, this, rect());
        } else {
            QToolTip::hideText();
        }
        return true;
    }
    case QEvent::ApplicationPaletteChange:
        DiscardSnapshot();
        update();
        break;
    default:
        break;
    }
    return QAbstractButton::event(event);
}

void CSkinButton::moveEvent(QMoveEvent* event)
{
    QAbstractButton::moveEvent(event);
    DiscardSnapshot();
}

void CSkinButton::resizeEvent(QResizeEvent* event)
{
    QAbstractButton::resizeEvent(event);
    DiscardSnapshot();
}
