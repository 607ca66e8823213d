#include "ContactSheet.h"

#include "Artwork.h"
#include "Buttons.h"
#include "Canvas.h"

#include <QPainter>

namespace resgen {

namespace {

constexpr int kScale = 3;
const QColor kSheet(222, 222, 222);

// What the page shows: the key colour replaced by the page's white.
QImage OnPage(const QImage& image, QRgb key)
{
    QImage shown = image.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < shown.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(shown.scanLine(y));
        for (int x = 0; x < shown.width(); ++x)
            if ((line[x] & 0xffffffu) == (key & 0xffffffu))
                line[x] = qRgb(255, 255, 255);
    }
    return shown;
}

QImage Scaled(const QImage& image)
{
    return image.scaled(image.size() * kScale, Qt::IgnoreAspectRatio, Qt::FastTransformation);
}

}  // namespace

QImage ContactSheet()
{
    const std::vector<ButtonArt>& table = ButtonTable();
    int height = 16;
    int buttonsWidth = 0;
    for (const ButtonArt& art : table) {
        height += art.size.height() * kScale + 12;
        buttonsWidth = std::max(buttonsWidth, 80 + 4 * (art.size.width() * kScale + 12) + art.size.width() + 40);
    }
    height = std::max(height, 16 + 250 * kScale + 10 + 250 + 20);
    const int right = buttonsWidth + 20;

    QImage sheet(right + 94 * kScale + 40, height, QImage::Format_RGB32);
    sheet.fill(kSheet);
    QPainter p(&sheet);
    p.setFont(CaptionFont(12, false));
    int y = 16;
    for (const ButtonArt& art : table) {
        const QImage normal = RenderButton(art, NormalLook());
        const QImage hover = RenderButton(art, HoverLook());
        p.setPen(Qt::black);
        p.drawText(QPoint(8, y + 14), QStringLiteral("%1/%2").arg(art.normalId).arg(art.hoverId));
        // Raw images, then as the page shows them, then at their real size.
        const int step = art.size.width() * kScale + 12;
        int x = 80;
        p.drawImage(x, y, Scaled(normal));
        p.drawImage(x + step, y, Scaled(hover));
        x += 2 * step;
        p.fillRect(QRect(x - 6, y - 4, 2 * step + art.size.width() + 30, art.size.height() * kScale + 8), Qt::white);
        p.drawImage(x, y, Scaled(OnPage(normal, NormalLook().key)));
        p.drawImage(x + step, y, Scaled(OnPage(hover, HoverLook().key)));
        x += 2 * step;
        p.drawImage(x, y, OnPage(normal, NormalLook().key));
        p.drawImage(x, y + art.size.height() + 4, OnPage(hover, HoverLook().key));
        y += art.size.height() * kScale + 12;
    }
    p.drawImage(right, 16, Scaled(RenderBanner()));
    const int below = 16 + 250 * kScale + 10;
    p.drawImage(right, below, RenderBanner());
    int iconX = right + 110;
    for (int size : {16, 32, 48}) {
        p.drawImage(iconX, below, Scaled(RenderIcon(size)));
        iconX += size * kScale + 10;
    }
    iconX = right + 110;
    for (int size : {16, 32, 48}) {
        p.drawImage(iconX, below + 160, RenderIcon(size));
        iconX += size + 10;
    }
    p.drawImage(right + 110, below + 160 + 60, Scaled(RenderHandCursor()));
    return sheet;
}

}  // namespace resgen
