#include "WaveformView.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace {

constexpr WaveformView::Time kSecond = 10'000'000;
constexpr WaveformView::Time kNudge = kSecond / 100; // 10 ms
constexpr int kGrabPixels = 4;                        // a mark is grabbed within this distance
constexpr int kLabelHeight = 14;                      // strip above the waveform for the track numbers

} // namespace

WaveformView::WaveformView(QWidget* parent) : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAccessibleName(tr("Waveform"));
    setAccessibleDescription(
        tr("Click to move the playing position; double-click or M places a cut; drag a mark to move it; "
           "Left and Right nudge the selected cut, Delete removes it; the wheel zooms, Ctrl+0 shows all."));
}

QSize WaveformView::sizeHint() const
{
    return {800, 180};
}

QSize WaveformView::minimumSizeHint() const
{
    return {200, 80};
}

void WaveformView::SetDuration(Time duration, Time blockLength)
{
    m_duration = std::max<Time>(0, duration);
    m_blockLength = std::max<Time>(1, blockLength);
    FitAll();
}

void WaveformView::ClearLevels()
{
    m_levels.clear();
    m_sketchFrom = static_cast<std::size_t>(-1);
    update();
}

void WaveformView::AppendLevels(const std::vector<Level>& levels)
{
    SetLevels(m_levels.size(), levels);
}

void WaveformView::SetLevels(std::size_t first, const std::vector<Level>& levels)
{
    if (levels.empty())
        return;
    if (m_levels.size() < first + levels.size())
        m_levels.resize(first + levels.size());
    std::copy(levels.begin(), levels.end(), m_levels.begin() + static_cast<std::ptrdiff_t>(first));
    update();
}

void WaveformView::SetSketchFrom(std::size_t block)
{
    if (block == m_sketchFrom)
        return;
    m_sketchFrom = block;
    update();
}

void WaveformView::SetCuts(std::vector<Time> cuts)
{
    m_cuts = std::move(cuts);
    if (m_selected >= static_cast<int>(m_cuts.size()))
        m_selected = -1;
    update();
}

void WaveformView::SetSelectedCut(int index)
{
    m_selected = index >= 0 && index < static_cast<int>(m_cuts.size()) ? index : -1;
    update();
}

void WaveformView::SetPlayPosition(Time position)
{
    if (position == m_position)
        return;
    m_position = position;
    update();
}

void WaveformView::SetShaded(std::vector<Stretch> stretches, bool proposed)
{
    m_shaded = std::move(stretches);
    m_shadedProposed = proposed;
    update();
}

WaveformView::Time WaveformView::MinViewLength() const
{
    // Zooming in stops at a window of 50 ms (five blocks across the view).
    return kSecond / 20;
}

WaveformView::Time WaveformView::ClampView(Time start) const
{
    return std::clamp<Time>(start, 0, std::max<Time>(0, m_duration - m_viewLength));
}

void WaveformView::SetView(Time start, Time length)
{
    const Time full = std::max<Time>(1, m_duration);
    m_viewLength = std::clamp<Time>(length, std::min(full, MinViewLength()), full);
    m_viewStart = ClampView(start);
    update();
}

void WaveformView::FitAll()
{
    SetView(0, std::max<Time>(1, m_duration));
}

void WaveformView::ZoomAt(int x, double factor)
{
    if (factor <= 0)
        return;
    const Time anchor = TimeAtX(x);
    const Time length = static_cast<Time>(std::llround(static_cast<double>(m_viewLength) / factor));
    const Time full = std::max<Time>(1, m_duration);
    const Time newLength = std::clamp<Time>(length, std::min(full, MinViewLength()), full);
    const double share = width() > 0 ? static_cast<double>(x) / width() : 0.0;
    m_viewLength = newLength;
    SetView(anchor - static_cast<Time>(share * static_cast<double>(newLength)), newLength);
}

void WaveformView::EnsureVisible(Time t)
{
    if (t >= m_viewStart && t <= m_viewStart + m_viewLength)
        return;
    SetView(t - m_viewLength / 2, m_viewLength);
}

WaveformView::Time WaveformView::TimeAtX(double x) const
{
    if (width() <= 0)
        return m_viewStart;
    return m_viewStart + static_cast<Time>(std::llround(x * static_cast<double>(m_viewLength) / width()));
}

double WaveformView::XOfTime(Time t) const
{
    if (m_viewLength <= 0)
        return 0;
    return static_cast<double>(t - m_viewStart) * width() / static_cast<double>(m_viewLength);
}

bool WaveformView::ColumnPeak(int x, Level& peak) const
{
    const Time t0 = TimeAtX(x);
    const Time t1 = std::max(TimeAtX(x + 1), t0 + 1);
    const auto first = static_cast<std::size_t>(std::max<Time>(0, t0 / m_blockLength));
    // The blocks that overlap [t0, t1), at least one.
    const auto last = std::max(first + 1, static_cast<std::size_t>((t1 + m_blockLength - 1) / m_blockLength));
    if (first >= m_levels.size())
        return false;
    const std::size_t end = std::min(last, m_levels.size());
    peak = m_levels[first];
    for (std::size_t b = first + 1; b < end; ++b) {
        peak.min = std::min(peak.min, m_levels[b].min);
        peak.max = std::max(peak.max, m_levels[b].max);
    }
    return true;
}

int WaveformView::CutNear(int x) const
{
    int best = -1;
    double bestDistance = kGrabPixels + 0.5;
    for (std::size_t k = 0; k < m_cuts.size(); ++k) {
        const double distance = std::abs(XOfTime(m_cuts[k]) - x);
        if (distance < bestDistance) {
            bestDistance = distance;
            best = static_cast<int>(k);
        }
    }
    return best;
}

void WaveformView::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    const QRect all = rect();
    const QRect wave = all.adjusted(0, kLabelHeight, 0, 0);
    const bool focused = hasFocus();
    painter.fillRect(all, palette().color(QPalette::Base));
    painter.fillRect(QRect(0, 0, all.width(), kLabelHeight), palette().color(QPalette::AlternateBase));

    // Shaded stretches under the waveform.
    const QColor shade = m_shadedProposed ? QColor(255, 200, 80, 110) : QColor(120, 160, 220, 90);
    for (const Stretch& s : m_shaded) {
        const double x0 = XOfTime(s.start);
        const double x1 = XOfTime(s.end);
        if (x1 < 0 || x0 > all.width())
            continue;
        painter.fillRect(QRectF(x0, wave.top(), std::max(1.0, x1 - x0), wave.height()), shade);
    }

    // The waveform: one vertical line per column, from its lowest to its
    // highest level.
    const double middle = wave.top() + wave.height() / 2.0;
    const double half = (wave.height() - 2) / 2.0;
    std::vector<QLineF> lines, sketched;
    lines.reserve(static_cast<std::size_t>(all.width()));
    Level peak;
    for (int x = 0; x < all.width(); ++x) {
        if (!ColumnPeak(x, peak))
            break;
        const double top = middle - std::clamp(peak.max, -1.0f, 1.0f) * half;
        const double bottom = middle - std::clamp(peak.min, -1.0f, 1.0f) * half;
        const bool sketch = m_sketchFrom < m_levels.size()
                            && TimeAtX(x + 1) > static_cast<Time>(m_sketchFrom) * m_blockLength;
        (sketch ? sketched : lines).emplace_back(x + 0.5, top, x + 0.5, std::max(bottom, top + 1.0));
    }
    painter.setPen(QPen(QColor(40, 110, 60), 1));
    painter.drawLines(lines.data(), static_cast<int>(lines.size()));
    painter.setPen(QPen(QColor(150, 190, 160), 1));
    painter.drawLines(sketched.data(), static_cast<int>(sketched.size()));
    painter.setPen(QColor(0, 0, 0, 60));
    painter.drawLine(QPointF(0, middle), QPointF(all.width(), middle));

    // Cut marks with the number of the track each starts.
    QFont small = font();
    small.setPointSizeF(std::max(6.0, small.pointSizeF() * 0.85));
    painter.setFont(small);
    for (std::size_t k = 0; k < m_cuts.size(); ++k) {
        const double x = XOfTime(m_cuts[k]);
        if (x < -20 || x > all.width() + 1)
            continue;
        const bool selected = static_cast<int>(k) == m_selected;
        painter.setPen(QPen(selected ? QColor(200, 30, 30) : QColor(30, 30, 160), selected ? 2 : 1));
        painter.drawLine(QPointF(x, 0), QPointF(x, all.height()));
        painter.drawText(QPointF(x + 3, kLabelHeight - 3), QString::number(k + 2));
    }

    // The playing position.
    const double px = XOfTime(m_position);
    if (px >= 0 && px <= all.width()) {
        painter.setPen(QPen(QColor(230, 120, 0), 1, Qt::DashLine));
        painter.drawLine(QPointF(px, 0), QPointF(px, all.height()));
    }

    if (focused) {
        painter.setPen(QPen(palette().color(QPalette::Highlight), 1, Qt::DotLine));
        painter.drawRect(all.adjusted(0, 0, -1, -1));
    }
}

void WaveformView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    setFocus(Qt::MouseFocusReason);
    const int x = static_cast<int>(event->position().x());
    const int near = CutNear(x);
    if (near >= 0) {
        m_dragging = near;
        m_dragFrom = m_cuts[static_cast<std::size_t>(near)];
        m_dragMoved = false;
        SetSelectedCut(near);
        emit cutSelected(near);
        return;
    }
    emit positionClicked(std::clamp<Time>(TimeAtX(x), 0, m_duration));
}

void WaveformView::mouseMoveEvent(QMouseEvent* event)
{
    const int x = static_cast<int>(event->position().x());
    if (m_dragging < 0) {
        setCursor(CutNear(x) >= 0 ? Qt::SizeHorCursor : Qt::ArrowCursor);
        return;
    }
    // A mark stays between its neighbours.
    const auto k = static_cast<std::size_t>(m_dragging);
    const Time low = k > 0 ? m_cuts[k - 1] + 1 : 1;
    const Time high = k + 1 < m_cuts.size() ? m_cuts[k + 1] - 1 : m_duration - 1;
    m_cuts[k] = std::clamp<Time>(TimeAtX(x), low, std::max(low, high));
    m_dragMoved = true;
    update();
}

void WaveformView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || m_dragging < 0)
        return QWidget::mouseReleaseEvent(event);
    const int index = m_dragging;
    m_dragging = -1;
    const Time to = m_cuts[static_cast<std::size_t>(index)];
    if (m_dragMoved && to != m_dragFrom)
        emit cutDragged(index, m_dragFrom, to);
}

void WaveformView::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const int x = static_cast<int>(event->position().x());
    if (CutNear(x) >= 0)
        return;
    emit cutRequested(std::clamp<Time>(TimeAtX(x), 0, m_duration));
}

void WaveformView::wheelEvent(QWheelEvent* event)
{
    const int steps = event->angleDelta().y();
    if (steps == 0)
        return;
    if (event->modifiers() & Qt::ShiftModifier) {
        SetView(m_viewStart - m_viewLength * steps / 120 / 8, m_viewLength);
    } else {
        ZoomAt(static_cast<int>(event->position().x()), std::pow(1.25, steps / 120.0));
    }
    event->accept();
}

void WaveformView::keyPressEvent(QKeyEvent* event)
{
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    switch (event->key()) {
    case Qt::Key_0:
        if (event->modifiers() & Qt::ControlModifier) {
            FitAll();
            return;
        }
        break;
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        ZoomAt(static_cast<int>(XOfTime(m_position)), 2.0);
        return;
    case Qt::Key_Minus:
        ZoomAt(static_cast<int>(XOfTime(m_position)), 0.5);
        return;
    case Qt::Key_M:
        emit cutRequested(m_position);
        return;
    case Qt::Key_Delete:
        if (m_selected >= 0)
            emit deleteCutRequested(m_selected);
        return;
    case Qt::Key_Left:
    case Qt::Key_Right:
        if (m_selected >= 0) {
            const Time step = shift ? kSecond : kNudge;
            emit nudgeRequested(m_selected, event->key() == Qt::Key_Left ? -step : step);
            return;
        }
        break;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        break;
    default:
        break;
    }
    QWidget::keyPressEvent(event);
}
