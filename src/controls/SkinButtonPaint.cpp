// The skinned button's painting: the parent's background or a fill, the
// border, the picture for the state, the caption and the focus frame.

#include "SkinButton.h"

#include <QStyle>
#include <QStyleOptionFocusRect>

void CSkinButton::RepaintNow()
{
    if (isVisible())
        repaint();
    else
        update();
}

void CSkinButton::DiscardSnapshot()
{
    m_background = QPixmap();
}

void CSkinButton::TakeSnapshot()
{
    const qreal ratio = devicePixelRatioF();
    m_background = QPixmap(size() * ratio);
    m_background.setDevicePixelRatio(ratio);
    QWidget* parent = parentWidget();
    if (!parent) {
        m_background.fill(palette().color(backgroundRole()));
        return;
    }
    m_background.fill(parent->palette().color(parent->backgroundRole()));
    const QRect here = geometry();
    // What the page itself paints there, without its controls...
    parent->render(&m_background, QPoint(), QRegion(here), QWidget::DrawWindowBackground);
    // ...and the controls it shows there (frames, pictures). Other skinned
    // buttons never lie under one another and are left out.
    for (QObject* child : parent->children()) {
        auto* sibling = qobject_cast<QWidget*>(child);
        if (!sibling || sibling == this || sibling->isWindow() || !sibling->isVisibleTo(parent)
            || qobject_cast<CSkinButton*>(sibling) || !sibling->geometry().intersects(here))
            continue;
        const QRect overlap = sibling->geometry().intersected(here);
        sibling->render(&m_background, overlap.topLeft() - here.topLeft(),
                        QRegion(overlap.translated(-sibling->pos())), QWidget::DrawChildren);
    }
}

void CSkinButton::PaintParentBackground(QPainter& painter)
{
    if (m_background.isNull() || m_background.size() != size() * devicePixelRatioF())
        TakeSnapshot();
    painter.drawPixmap(0, 0, m_background);
}

void CSkinButton::DrawBackground(QPainter& painter, const QRect& rect)
{
    const bool lit = m_bMouseOnButton || isDown();
    painter.fillRect(rect, lit ? m_activeBackground : m_inactiveBackground);
}

void CSkinButton::DrawBorder(QPainter& painter, const QRect& rect)
{
    const QColor light = palette().color(QPalette::Light);
    const QColor shadow = palette().color(QPalette::Dark);
    const bool sunken = isDown();
    const QColor topLeft = sunken ? shadow : light;
    const QColor bottomRight = sunken ? light : shadow;
    painter.fillRect(QRect(rect.left(), rect.top(), rect.width() - 1, 1), topLeft);
    painter.fillRect(QRect(rect.left(), rect.top(), 1, rect.height() - 1), topLeft);
    painter.fillRect(QRect(rect.right(), rect.top(), 1, rect.height()), bottomRight);
    painter.fillRect(QRect(rect.left(), rect.bottom(), rect.width(), 1), bottomRight);
}

QRect CSkinButton::ComputeImageRect(const ImageRecord& image, bool hasCaption, const QRect& item,
                                    QRect& caption, bool pressed) const
{
    QRect placed = item;
    if (hasCaption) {
        placed.setLeft(item.left() + 3);
        caption.setLeft(caption.left() + image.width + 3);
    } else {
        placed.setLeft(item.left() + ((item.width() - image.width) >> 1));
    }
    placed.setTop(item.top() + ((item.height() - image.height) >> 1));
    placed.setSize(QSize(image.width, image.height));
    if (pressed)
        placed.translate(1, 1);
    return placed;
}

void CSkinButton::DrawImage(QPainter& painter, bool hasCaption, const QRect& item, QRect& caption,
                            bool pressed)
{
    const bool useNormal = !m_bMouseOnButton && !pressed && m_normal.IsSet();
    const ImageRecord& image = useNormal ? m_normal : m_hover;
    const QRect placed = ComputeImageRect(image, hasCaption, item, caption, pressed);
    painter.drawPixmap(placed.topLeft(), isEnabled() ? image.pixmap : DisabledPixmap(image));
}

QPixmap CSkinButton::DisabledPixmap(const ImageRecord& image)
{
    // The normal image greyed and faded by the style, as it greys a
    // disabled icon; made once per image and style.
    if (m_disabled.isNull()) {
        QStyleOption option;
        option.initFrom(this);
        m_disabled = style()->generatedIconPixmap(QIcon::Disabled, image.pixmap, &option);
    }
    return m_disabled;
}

void CSkinButton::DrawFocusFrame(QPainter& painter)
{
    QStyleOptionFocusRect option;
    option.initFrom(this);
    option.rect = rect().adjusted(1, 1, -1, -1);
    option.backgroundColor = palette().color(QPalette::Window);
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
}

void CSkinButton::DrawCaption(QPainter& painter, const QString& caption, QRect rect, bool pressed)
{
    if (pressed)
        rect.translate(1, 1);
    const int flags = Qt::AlignHCenter | Qt::TextWordWrap;
    const QRect measured = painter.fontMetrics().boundingRect(QRect(0, 0, rect.width(), 0xFFFF), flags,
                                                              caption);
    const QRect centred(rect.left() + (rect.width() - measured.width()) / 2,
                        rect.top() + (rect.height() - measured.height()) / 2, measured.width(),
                        measured.height());
    if (!isEnabled()) {
        // Engraved: a highlight one pixel down-right, the shadow on top.
        painter.setPen(palette().color(QPalette::Light));
        painter.drawText(centred.translated(1, 1), flags, caption);
        painter.setPen(palette().color(QPalette::Dark));
        painter.drawText(centred, flags, caption);
        return;
    }
    const bool lit = m_bMouseOnButton || pressed;
    painter.setPen(lit ? m_activeText : m_inactiveText);
    painter.drawText(centred, flags, caption);
}

void CSkinButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const bool pressed = isDown();
    const QRect item = rect();

    if (m_bTransparent)
        PaintParentBackground(painter);
    else
        DrawBackground(painter, item);

    // No other frame: no 3D edge, no default frame.
    if (m_bDrawBorder && (pressed || m_bMouseOnButton))
        DrawBorder(painter, item);

    const QString caption = text();
    QRect captionRect = item;
    if (m_hover.IsSet())
        DrawImage(painter, !caption.isEmpty(), item, captionRect, pressed);
    if (!caption.isEmpty())
        DrawCaption(painter, caption, captionRect, pressed);
    // Over the picture, so the keyboard's place shows whatever the bitmap.
    if (hasFocus())
        DrawFocusFrame(painter);
}
