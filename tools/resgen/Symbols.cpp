#include "Symbols.h"

#include <QPainterPath>
#include <QPolygonF>
#include <QtMath>

namespace resgen {

namespace {

// Maps unit coordinates (0..1 across the box) to pixels.
struct Box {
    QRectF r;
    QPointF at(qreal u, qreal v) const { return {r.left() + u * r.width(), r.top() + v * r.height()}; }
    QRectF rect(qreal u0, qreal v0, qreal u1, qreal v1) const { return QRectF(at(u0, v0), at(u1, v1)); }
};

// Rectangles snapped to whole pixels stay crisp at small sizes.
QRectF Snapped(const QRectF& r)
{
    return QRectF(QPointF(qRound(r.left()), qRound(r.top())),
                  QPointF(qRound(r.right()), qRound(r.bottom())));
}

void Triangle(QPainter& p, QPointF a, QPointF b, QPointF c)
{
    p.drawPolygon(QPolygonF{a, b, c});
}

// Two triangles pointing left (dir -1) or right (dir +1) in [u0, u1].
void DoubleTriangle(QPainter& p, const Box& b, qreal u0, qreal u1, int dir)
{
    const qreal mid = (u0 + u1) / 2;
    const qreal top = 0.12, bottom = 0.88;
    if (dir < 0) {
        Triangle(p, b.at(u0, 0.5), b.at(mid, top), b.at(mid, bottom));
        Triangle(p, b.at(mid, 0.5), b.at(u1, top), b.at(u1, bottom));
    } else {
        Triangle(p, b.at(u0, top), b.at(u0, bottom), b.at(mid, 0.5));
        Triangle(p, b.at(mid, top), b.at(mid, bottom), b.at(u1, 0.5));
    }
}

void Bar(QPainter& p, const Box& b, qreal u0, qreal u1)
{
    QRectF bar = Snapped(b.rect(u0, 0.12, u1, 0.88));
    if (bar.width() < 1.5)
        bar.setWidth(1.5);
    p.fillRect(bar, p.brush());
}

void Plus(QPainter& p, const Box& b)
{
    const qreal size = b.r.width();
    const qreal t = qMax<qreal>(2.0, qRound(size * 0.2));
    const QPointF c = b.r.center();
    p.fillRect(Snapped(QRectF(c.x() - t / 2, b.r.top(), t, size)), p.brush());
    p.fillRect(Snapped(QRectF(b.r.left(), c.y() - t / 2, size, t)), p.brush());
}

void Trash(QPainter& p, const Box& b, const QColor& ink)
{
    // Lid with its handle.
    p.fillRect(Snapped(b.rect(0.02, 0.12, 0.98, 0.22)), ink);
    QPainterPath handle;
    handle.addRect(Snapped(b.rect(0.34, 0.0, 0.66, 0.12)));
    handle.addRect(Snapped(b.rect(0.44, 0.06, 0.56, 0.12)));
    handle.setFillRule(Qt::OddEvenFill);
    p.drawPath(handle);
    // Tapered can.
    QPainterPath can;
    can.moveTo(b.at(0.1, 0.28));
    can.lineTo(b.at(0.9, 0.28));
    can.lineTo(b.at(0.82, 1.0));
    can.lineTo(b.at(0.18, 1.0));
    can.closeSubpath();
    p.drawPath(can);
    // White ribs.
    const qreal rib = qMax<qreal>(1.0, qRound(b.r.width() * 0.07));
    for (qreal u : {0.32, 0.5, 0.68}) {
        const QPointF top = b.at(u, 0.38);
        p.fillRect(Snapped(QRectF(top.x() - rib / 2, top.y(), rib, b.r.height() * 0.52)), Qt::white);
    }
}

void Arrow(QPainter& p, const Box& b, bool up)
{
    auto v = [up](qreal value) { return up ? value : 1.0 - value; };
    QPainterPath arrow;
    arrow.moveTo(b.at(0.5, v(0.0)));
    arrow.lineTo(b.at(0.98, v(0.5)));
    arrow.lineTo(b.at(0.68, v(0.5)));
    arrow.lineTo(b.at(0.68, v(1.0)));
    arrow.lineTo(b.at(0.32, v(1.0)));
    arrow.lineTo(b.at(0.32, v(0.5)));
    arrow.lineTo(b.at(0.02, v(0.5)));
    arrow.closeSubpath();
    p.drawPath(arrow);
}

void Folder(QPainter& p, const Box& b)
{
    QPainterPath folder;
    // Tab, then the body; one filled silhouette.
    folder.moveTo(b.at(0.0, 0.14));
    folder.lineTo(b.at(0.38, 0.14));
    folder.lineTo(b.at(0.48, 0.26));
    folder.lineTo(b.at(1.0, 0.26));
    folder.lineTo(b.at(1.0, 0.9));
    folder.lineTo(b.at(0.0, 0.9));
    folder.closeSubpath();
    p.drawPath(folder);
    // The front flap, set off by a white line.
    const QRectF flap = Snapped(b.rect(0.0, 0.38, 1.0, 0.38));
    p.fillRect(QRectF(flap.left() + 1, flap.top(), flap.width() - 2, 1), Qt::white);
}

void Gear(QPainter& p, const Box& b)
{
    const QPointF c = b.r.center();
    const qreal outer = b.r.width() * 0.5;
    const qreal body = outer * 0.74;
    const qreal hole = outer * 0.3;
    QPainterPath gear;
    gear.addEllipse(c, body, body);
    const int teeth = 8;
    for (int i = 0; i < teeth; ++i) {
        QPainterPath tooth;
        const qreal w = outer * 0.42;
        tooth.addRoundedRect(QRectF(-w / 2, -outer, w, outer - body + 1.0), 0.6, 0.6);
        QTransform t;
        t.translate(c.x(), c.y());
        t.rotate(i * 360.0 / teeth);
        gear = gear.united(t.map(tooth));
    }
    QPainterPath bore;
    bore.addEllipse(c, hole, hole);
    p.drawPath(gear.subtracted(bore));
}

}  // namespace

void DrawSymbol(QPainter& p, Symbol symbol, const QRectF& box, const QColor& ink)
{
    const Box b{box};
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    switch (symbol) {
    case Symbol::None:
        break;
    case Symbol::Play:
        Triangle(p, b.at(0.2, 0.0), b.at(0.2, 1.0), b.at(1.0, 0.5));
        break;
    case Symbol::Pause:
        Bar(p, b, 0.1, 0.4);
        Bar(p, b, 0.6, 0.9);
        break;
    case Symbol::FastBackward:
        DoubleTriangle(p, b, 0.0, 1.0, -1);
        break;
    case Symbol::FastForward:
        DoubleTriangle(p, b, 0.0, 1.0, 1);
        break;
    case Symbol::SeekBegin:
        Bar(p, b, 0.0, 0.16);
        DoubleTriangle(p, b, 0.16, 1.0, -1);
        break;
    case Symbol::SeekEnd:
        DoubleTriangle(p, b, 0.0, 0.84, 1);
        Bar(p, b, 0.84, 1.0);
        break;
    case Symbol::Plus:
        Plus(p, b);
        break;
    case Symbol::Trash:
        Trash(p, b, ink);
        break;
    case Symbol::ArrowUp:
        Arrow(p, b, true);
        break;
    case Symbol::ArrowDown:
        Arrow(p, b, false);
        break;
    case Symbol::Stop:
        p.drawRoundedRect(Snapped(b.rect(0.08, 0.08, 0.92, 0.92)), 1.5, 1.5);
        break;
    case Symbol::Folder:
        Folder(p, b);
        break;
    case Symbol::Gear:
        Gear(p, b);
        break;
    }
    p.restore();
}

}  // namespace resgen
