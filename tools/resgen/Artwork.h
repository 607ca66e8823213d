#pragma once
// The program's pictures other than buttons: the side banner, the window
// icon and the hand cursor.

#include <QImage>
#include <QPoint>

namespace resgen {

QImage RenderBanner();              // 94 x 250, full colour (saved at 8 bpp)
QImage RenderIcon(int size);        // square, with alpha
QImage RenderHandCursor();          // 32 x 32, black outline, white fill, alpha outside
QPoint HandCursorHotSpot();         // the fingertip

}  // namespace resgen
