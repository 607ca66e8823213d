#pragma once
// Tooltip text broken into lines no wider than a tip may be.

#include <QFont>
#include <QString>

namespace controls {

// Largest width of a skinned button's tooltip window, in pixels.
constexpr int kMaxTooltipWidth = 400;

// Breaks `text` at word boundaries (words longer than a line are split) so
// that no line is wider than `maxWidth` pixels in `font`; existing line
// breaks are kept.
QString WrapTooltipText(const QString& text, const QFont& font, int maxWidth);

}  // namespace controls
