#include "Artwork.h"

#include "Canvas.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>
#include <vector>

namespace resgen {

namespace {

const QColor kDeep(22, 48, 82);
const QColor kSea(30, 112, 138);

QLinearGradient Backdrop(qreal top, qreal bottom)
{
    QLinearGradient gradient(0, top, 0, bottom);
    gradient.setColorAt(0.0, kDeep);
    gradient.setColorAt(1.0, kSea);
    return gradient;
}

// Deterministic "music": bar loudness from a fixed pseudo-random sequence,
// smoothed a little and shaped by the phrase it belongs to.
std::vector<qreal> Loudness(int bars, quint32 seed)
{
    std::vector<qreal> values(bars);
    quint32 state = seed;
    qreal previous = 0.5;
    for (int i = 0; i < bars; ++i) {
        state = state * 1664525u + 1013904223u;
        const qreal noise = (state >> 8) / qreal(1 << 24);
        previous = 0.2 * previous + 0.8 * noise;
        const qreal phrase = std::sin(M_PI * (i + 0.5) / bars);
        values[i] = qBound<qreal>(0.08, (0.12 + 0.88 * std::pow(previous, 1.4)) * (0.45 + 0.55 * phrase), 1.0);
    }
    return values;
}

}  // namespace

QImage RenderBanner()
{
    const int w = 94, h = 250;
    QImage image(w, h, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(image.rect(), Backdrop(0, h));

    // A vertical waveform, cut in two by a breakpoint marker: the part
    // above the cut bright, the part below it quieter.
    const qreal centre = w / 2.0;
    const int top = 16, bottom = 170, cut = 96;
    const std::vector<qreal> above = Loudness((cut - 4 - top) / 3, 0x7a11u);
    const std::vector<qreal> below = Loudness((bottom - cut - 4) / 3, 0x2c93u);
    for (int i = 0; i < static_cast<int>(above.size()); ++i) {
        const qreal half = 3 + 36 * above[i];
        p.fillRect(QRectF(centre - half, top + 3 * i, 2 * half, 2), QColor(255, 255, 255, 230));
    }
    for (int i = 0; i < static_cast<int>(below.size()); ++i) {
        const qreal half = 3 + 36 * below[i];
        p.fillRect(QRectF(centre - half, cut + 5 + 3 * i, 2 * half, 2), QColor(255, 255, 255, 140));
    }
    QPen dash(QColor(255, 196, 92), 1.0, Qt::DashLine);
    dash.setDashPattern({3, 2});
    p.setPen(dash);
    p.drawLine(QPointF(8, cut + 0.5), QPointF(w - 8, cut + 0.5));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 196, 92));
    p.drawPolygon(QPolygonF{QPointF(2, cut - 3.5), QPointF(2, cut + 4.5), QPointF(7, cut + 0.5)});
    p.drawPolygon(QPolygonF{QPointF(w - 2, cut - 3.5), QPointF(w - 2, cut + 4.5), QPointF(w - 7, cut + 0.5)});

    // The name, and a quiet line of what the program does.
    QFont name = CaptionFont(17);
    p.setFont(name);
    p.setPen(Qt::white);
    p.drawText(QRectF(0, 190, w, 26), Qt::AlignHCenter | Qt::AlignVCenter, QStringLiteral("Tarnwick"));
    p.fillRect(QRectF(22, 219, w - 44, 1), QColor(255, 255, 255, 110));
    QFont tagline = CaptionFont(10, false);
    p.setFont(tagline);
    p.setPen(QColor(255, 255, 255, 200));
    p.drawText(QRectF(0, 222, w, 16), Qt::AlignHCenter | Qt::AlignVCenter,
               QString::fromUtf8("split \u00b7 join"));
    return image;
}

QImage RenderIcon(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal radius = size * 0.2;
    p.setPen(Qt::NoPen);
    p.setBrush(Backdrop(0, size));
    p.drawRoundedRect(QRectF(0, 0, size, size), radius, radius);

    // Waveform bars; fewer and bolder at the smallest size.
    const std::vector<qreal> heights = size <= 16 ? std::vector<qreal>{0.45, 0.8, 0.55}
                                                  : std::vector<qreal>{0.38, 0.7, 0.5, 0.82, 0.44};
    const int count = static_cast<int>(heights.size());
    const qreal bar = size <= 16 ? 2 : std::round(size / 9.0);
    const qreal gap = size <= 16 ? 2 : std::round(size / 16.0);
    const qreal total = count * bar + (count - 1) * gap;
    qreal x = std::round((size - total) / 2);
    // The breakpoint: one bar in the banner's warm marker colour.
    const int marked = count / 2;
    for (int i = 0; i < count; ++i) {
        const qreal barHeight = std::round(size * heights[i]);
        const qreal y = std::round((size - barHeight) / 2);
        p.setBrush(i == marked ? QColor(255, 196, 92) : QColor(Qt::white));
        p.drawRoundedRect(QRectF(x, y, bar, barHeight), bar / 3, bar / 3);
        x += bar + gap;
    }
    return image;
}

QImage RenderHandCursor()
{
    // '#' black outline, 'o' white inside, anything else transparent.
    static const char* const kHand[] = {
        "     ##            ",
        "    #oo#           ",
        "    #oo#           ",
        "    #oo#           ",
        "    #oo#           ",
        "    #oo###         ",
        "    #oo#oo###      ",
        "    #oo#oo#oo##    ",
        "    #oo#oo#oo#o#   ",
        " ## #oo#oo#oo#oo#  ",
        "#oo##oo#oo#oo#oo#  ",
        "#ooo#ooooooooooo#  ",
        " #oooooooooooooo#  ",
        "  #ooooooooooooo#  ",
        "  #ooooooooooooo#  ",
        "   #oooooooooooo#  ",
        "   #ooooooooooo#   ",
        "    #oooooooooo#   ",
        "    #oooooooooo#   ",
        "     #oooooooo#    ",
        "     #oooooooo#    ",
        "     ##########    ",
    };
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    int y = 0;
    for (const char* row : kHand) {
        for (int x = 0; row[x] != '\0'; ++x) {
            if (row[x] == '#')
                image.setPixel(x, y, qRgba(0, 0, 0, 255));
            else if (row[x] == 'o')
                image.setPixel(x, y, qRgba(255, 255, 255, 255));
        }
        ++y;
    }
    return image;
}

QPoint HandCursorHotSpot()
{
    return {5, 0};
}

}  // namespace resgen
