#pragma once
// Turns a full-colour picture into an 8-bit palette image that saves as an
// 8 bits per pixel bitmap.

#include <QImage>

namespace resgen {

// Exact when the picture has at most 256 colours (key colours survive
// unchanged); otherwise a weighted median cut to 256 colours. The palette is
// always padded to 256 entries so the bitmap writer keeps 8 bits per pixel.
QImage ToIndexed8(const QImage& picture);

}  // namespace resgen
