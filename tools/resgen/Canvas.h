#pragma once
// Shared drawing helpers of the resource generator: the two looks of a
// skinned button (normal and hover), their outlines, captions, and the step
// that turns everything outside a button's outline into its exact
// transparent key colour.

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainterPath>
#include <QRectF>
#include <QString>

namespace resgen {

// One look of a button image: ink for caption and symbol, its outline
// colour, and the key colour the button treats as transparent.
struct Look {
    QColor ink;
    QColor border;
    QRgb key;
};

Look NormalLook();   // black on white, grey outline, key RGB(0,255,0)
Look HoverLook();    // red on white, red outline, key RGB(0,0,0)

enum class Outline { RoundedRect, Circle };

// The button's outline inside an image of the given size.
QPainterPath OutlinePath(QSize size, Outline outline, qreal radius);

// A white image with the outline's one-pixel border drawn in the look's
// border colour; the caller paints the content, then calls KeyOutside.
QImage ButtonCanvas(QSize size, const QPainterPath& outline, const Look& look);

// Sets every pixel that the outline covers by less than half to exactly the
// key colour, so antialiasing never blends into it.
void KeyOutside(QImage& image, const QPainterPath& outline, QRgb key);

// DejaVu Sans Bold (loaded from the installed font file), fully hinted.
QFont CaptionFont(int pixelSize, bool bold = true);

// The largest caption font up to `pixelSize` (narrowing the glyphs a little
// before shrinking them) whose text fits `width`.
QFont FittedCaptionFont(const QString& text, int pixelSize, qreal width);

// Draws `text` centred in `box`, vertically centred on its cap height so
// that captions sit optically in the middle of the button.
void DrawCaption(QPainter& painter, const QRectF& box, const QString& text, const QFont& font,
                 const QColor& ink);

// Loads the caption fonts; false when the font files are missing.
bool LoadFonts(QString* error);

}  // namespace resgen
