#include "Canvas.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPainter>

namespace resgen {

namespace {

QString g_family;

const char* const kFontFiles[] = {
    "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf",
    "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
};

}  // namespace

Look NormalLook()
{
    return {QColor(0, 0, 0), QColor(150, 150, 150), qRgb(0, 255, 0)};
}

Look HoverLook()
{
    return {QColor(208, 0, 0), QColor(208, 0, 0), qRgb(0, 0, 0)};
}

bool LoadFonts(QString* error)
{
    for (const char* file : kFontFiles) {
        const int id = QFontDatabase::addApplicationFont(QString::fromLatin1(file));
        if (id >= 0 && g_family.isEmpty())
            g_family = QFontDatabase::applicationFontFamilies(id).value(0);
    }
    if (!g_family.isEmpty())
        return true;
    // Elsewhere than Debian the files live in other folders: ask the system.
    if (QFontDatabase::families().contains(QStringLiteral("DejaVu Sans"))) {
        g_family = QStringLiteral("DejaVu Sans");
        return true;
    }
    *error = QStringLiteral("the DejaVu Sans font is missing (Debian: fonts-dejavu-core)");
    return false;
}

QFont CaptionFont(int pixelSize, bool bold)
{
    QFont font(g_family);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    font.setHintingPreference(QFont::PreferFullHinting);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

QFont FittedCaptionFont(const QString& text, int pixelSize, qreal width)
{
    for (int size = pixelSize; size >= 8; --size) {
        for (int stretch : {100, 94, 88}) {
            QFont font = CaptionFont(size);
            font.setStretch(stretch);
            if (QFontMetricsF(font).horizontalAdvance(text) <= width)
                return font;
        }
    }
    return CaptionFont(8);
}

void DrawCaption(QPainter& painter, const QRectF& box, const QString& text, const QFont& font,
                 const QColor& ink)
{
    const QFontMetricsF metrics(font);
    const qreal advance = metrics.horizontalAdvance(text);
    // Centre the capitals, not the full ascent: captions then look centred.
    const qreal capHeight = metrics.capHeight();
    const qreal x = box.left() + (box.width() - advance) / 2.0;
    const qreal baseline = box.top() + (box.height() + capHeight) / 2.0;
    painter.save();
    painter.setFont(font);
    painter.setPen(ink);
    painter.drawText(QPointF(qRound(x), qRound(baseline)), text);
    painter.restore();
}

QPainterPath OutlinePath(QSize size, Outline outline, qreal radius)
{
    QPainterPath path;
    const QRectF rect(0, 0, size.width(), size.height());
    if (outline == Outline::Circle)
        path.addEllipse(rect);
    else
        path.addRoundedRect(rect, radius, radius);
    return path;
}

QImage ButtonCanvas(QSize size, const QPainterPath& outline, const Look& look)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    // The border runs half a pixel inside the outline so it lands on whole
    // pixels along the straight edges.
    const QRectF bounds = outline.boundingRect();
    const qreal sx = (bounds.width() - 1.0) / bounds.width();
    const qreal sy = (bounds.height() - 1.0) / bounds.height();
    QTransform inset;
    inset.translate(0.5, 0.5);
    inset.scale(sx, sy);
    painter.setPen(QPen(look.border, 1.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(inset.map(outline));
    return image;
}

void KeyOutside(QImage& image, const QPainterPath& outline, QRgb key)
{
    QImage coverage(image.size(), QImage::Format_Alpha8);
    coverage.fill(0);
    {
        QPainter painter(&coverage);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.fillPath(outline, Qt::black);
    }
    for (int y = 0; y < image.height(); ++y) {
        const uchar* alpha = coverage.constScanLine(y);
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (alpha[x] < 128)
                line[x] = key | 0xff000000u;
        }
    }
}

}  // namespace resgen
