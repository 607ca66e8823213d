#include "Buttons.h"

#include <QPainter>

namespace resgen {

namespace {

ButtonArt Caption(int hover, int normal, QSize size, const char* text, qreal radius = 6)
{
    return {hover, normal, size, 24, Outline::RoundedRect, radius, QString::fromUtf8(text),
            Symbol::None, 0, {}};
}

ButtonArt Transport(int hover, int normal, Symbol symbol)
{
    return {hover, normal, QSize(19, 19), 24, Outline::Circle, 0, {}, symbol, 11, {}};
}

ButtonArt ListTool(int hover, int normal, Symbol symbol, const char* label)
{
    return {hover, normal, QSize(45, 45), 24, Outline::RoundedRect, 8, {}, symbol, 20,
            QString::fromUtf8(label)};
}

}  // namespace

const std::vector<ButtonArt>& ButtonTable()
{
    static const std::vector<ButtonArt> table = {
        // Navigation row shared by the pages.
        Caption(157, 158, {67, 21}, "Next"),
        Caption(161, 160, {67, 21}, "Back"),
        Caption(163, 162, {67, 21}, "Exit"),
        Caption(165, 164, {67, 21}, "Help"),
        Caption(216, 217, {67, 21}, "Home Page"),
        // Source file and output folder choosers.
        {174, 175, {30, 30}, 8, Outline::RoundedRect, 6, {}, Symbol::Folder, 18, {}},
        {181, 180, {30, 30}, 24, Outline::RoundedRect, 6, {}, Symbol::Folder, 18, {}},
        // Split page: breakpoints and the player.
        Caption(185, 184, {36, 24}, "Add"),
        Caption(187, 186, {192, 19}, "Add breakpoint at current time", 9.5),
        Transport(190, 189, Symbol::Pause),
        Transport(191, 192, Symbol::Play),
        Transport(202, 204, Symbol::SeekBegin),
        Transport(195, 196, Symbol::SeekEnd),
        Transport(197, 198, Symbol::FastBackward),
        Transport(199, 200, Symbol::FastForward),
        // Split settings dialog.
        Caption(210, 209, {67, 21}, "Split"),
        Caption(211, 212, {67, 21}, "Cancel"),
        // Join page.
        ListTool(226, 225, Symbol::Plus, "Add"),
        ListTool(228, 227, Symbol::Trash, "Delete"),
        ListTool(230, 229, Symbol::ArrowUp, "Up"),
        ListTool(231, 232, Symbol::ArrowDown, "Down"),
        ListTool(234, 233, Symbol::Stop, "Stop"),
        ListTool(242, 241, Symbol::Play, "Play"),
        {237, 238, {26, 28}, 24, Outline::RoundedRect, 6, {}, Symbol::Gear, 18, {}},
        Caption(240, 239, {64, 18}, "Join", 6),
    };
    return table;
}

QImage RenderButton(const ButtonArt& art, const Look& look)
{
    const QPainterPath outline = OutlinePath(art.size, art.outline, art.radius);
    QImage image = ButtonCanvas(art.size, outline, look);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        const QRectF whole(0, 0, art.size.width(), art.size.height());
        if (!art.caption.isEmpty()) {
            const qreal padding = std::max<qreal>(3.0, art.radius / 2);
            const QFont font = FittedCaptionFont(art.caption, 11, art.size.width() - 2 * padding);
            DrawCaption(painter, whole, art.caption, font, look.ink);
        }
        if (art.symbol != Symbol::None) {
            const qreal s = art.symbolSize;
            qreal top = (art.size.height() - s) / 2.0;
            if (!art.label.isEmpty())
                top = 5;
            const QRectF box(qRound((art.size.width() - s) / 2.0), qRound(top), s, s);
            DrawSymbol(painter, art.symbol, box, look.ink);
        }
        if (!art.label.isEmpty()) {
            const QRectF labelBox(0, art.size.height() - 16, art.size.width(), 12);
            DrawCaption(painter, labelBox, art.label, CaptionFont(10), look.ink);
        }
    }
    KeyOutside(image, outline, look.key);
    return image;
}

}  // namespace resgen
