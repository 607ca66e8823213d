#pragma once
// The skinned-button bitmaps: which ids form a pair, their sizes, colour
// depths and what each one shows.

#include "Canvas.h"
#include "Symbols.h"

#include <QImage>
#include <QSize>
#include <QString>
#include <vector>

namespace resgen {

struct ButtonArt {
    int hoverId;
    int normalId;
    QSize size;
    int depth;            // bits per pixel of the saved bitmap: 8 or 24
    Outline outline;
    qreal radius;         // corner radius of a rounded rectangle
    QString caption;      // drawn across the button when not empty
    Symbol symbol;        // drawn centred, above `label` when one is given
    qreal symbolSize;     // edge of the symbol's square box in pixels
    QString label;        // small caption under the symbol
};

const std::vector<ButtonArt>& ButtonTable();

// Draws one look of a button: white inside, the key colour outside.
QImage RenderButton(const ButtonArt& art, const Look& look);

}  // namespace resgen
