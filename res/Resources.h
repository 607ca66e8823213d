#pragma once
// Tarnwick's picture resources by the numbers the pages use: button
// bitmaps and the banner, the window icon and the hand cursor. Linking
// tarnwick_res is all a target needs; the loaders register the compiled
// resources themselves.

#include <QCursor>
#include <QIcon>
#include <QImage>

namespace res {
constexpr int kIconApp = 128;
constexpr int kCursorHand = 159;
constexpr int kBitmapBanner = 243;
}  // namespace res

// The bitmap with that id as stored (24 bits per pixel, or 8 with a
// palette); a null image when there is none.
QImage LoadBitmapResource(int id);

// True when a cursor with that id exists.
bool HasCursorResource(int id);

// The cursor with that id and its hot spot; the arrow when there is none.
// Needs a QGuiApplication.
QCursor LoadCursorResource(int id);

// The icon with that id in every size it comes in (128: 16, 32 and 48
// pixels); a null icon when there is none. Needs a QGuiApplication.
QIcon LoadIconResource(int id);
