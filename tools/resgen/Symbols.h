#pragma once
// Vector symbols of the skinned buttons, each drawn in one ink colour into
// a square box (its size in pixels decides the detail).

#include <QColor>
#include <QPainter>
#include <QRectF>

namespace resgen {

enum class Symbol {
    None,
    Play,
    Pause,
    FastBackward,
    FastForward,
    SeekBegin,
    SeekEnd,
    Plus,
    Trash,
    ArrowUp,
    ArrowDown,
    Stop,
    Folder,
    Gear,
};

void DrawSymbol(QPainter& painter, Symbol symbol, const QRectF& box, const QColor& ink);

}  // namespace resgen
