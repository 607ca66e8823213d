#pragma once
// Dialog units to pixels. A page's controls are laid out in dialog units;
// one horizontal unit is a quarter of the page font's average character
// width, one vertical unit an eighth of its height (the "base units").

#include <QFont>
#include <QRect>
#include <QString>

namespace ui {

struct BaseUnits {
    int x = 8;
    int y = 16;
    friend bool operator==(const BaseUnits&, const BaseUnits&) = default;
};

// The base units the pages are drawn for: one dialog unit is two pixels both
// ways, so a 38 x 11 unit button holds its 67 x 21 bitmap and the 47 x 125
// unit banner is exactly its 94 x 250 pixels.
inline constexpr BaseUnits kPageBaseUnits{8, 16};

// Base units of a font, measured as Windows measures them: the average
// advance of the 52 letters A-Z and a-z, rounded, and the font height.
BaseUnits ComputeBaseUnits(const QFont& font);

struct DialogFont {
    QFont font;
    BaseUnits units;
    bool unitsMeasured = false;  // false: the font gives other units, fixed ones are used
};

// The installed font that stands in for a template's face and size, with the
// base units the page is laid out in. Sans faces take the first installed
// sans size whose measured units are (8, 16); serif faces take the template
// size at 96 dpi, because the templates' serif labels are sized for a face
// narrower than any installed serif. Where the measured units are not
// (8, 16), the page still uses (8, 16) so that its bitmaps fit.
DialogFont ChooseDialogFont(const QString& face, int pointSize);

// Windows rounding of a * b / c (half away from zero).
int MulDiv(int a, int b, int c);

QRect MapDialogRect(const QRect& dlu, BaseUnits units);
QSize MapDialogSize(const QSize& dlu, BaseUnits units);

} // namespace ui
