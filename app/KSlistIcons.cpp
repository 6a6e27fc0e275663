#include "app/KSlistIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace ks::app {

namespace {

constexpr int kSize = 32;
const QColor kInk(10, 36, 106);

void DrawSpectacles(QPainter& p) {
    p.setPen(QPen(kInk, 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(QColor(200, 235, 255));
    p.drawEllipse(QRectF(3, 13, 11, 10));
    p.drawEllipse(QRectF(18, 13, 11, 10));
    p.setBrush(Qt::NoBrush);
    QPainterPath bridge;
    bridge.moveTo(14, 17);
    bridge.quadTo(16, 14, 18, 17);
    p.drawPath(bridge);
    p.drawLine(QPointF(3.5, 16), QPointF(1.5, 10));
    p.drawLine(QPointF(28.5, 16), QPointF(30.5, 10));
}

void DrawCross(QPainter& p) {
    p.setPen(QPen(QColor(190, 30, 30), 4.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(8, 8), QPointF(24, 24));
    p.drawLine(QPointF(24, 8), QPointF(8, 24));
}

void DrawArrow(QPainter& p, bool up) {
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    QPolygonF arrow;
    const qreal tip = up ? 5 : 27;
    const qreal base = up ? 17 : 15;
    const qreal tail = up ? 27 : 5;
    arrow << QPointF(16, tip) << QPointF(27, base) << QPointF(20, base) << QPointF(20, tail)
          << QPointF(12, tail) << QPointF(12, base) << QPointF(5, base);
    p.drawPolygon(arrow);
}

} // namespace

QIcon ListButtonIcon(ListIcon kind) {
    QPixmap pixmap(kSize, kSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    switch (kind) {
    case ListIcon::Spectacles:
        DrawSpectacles(painter);
        break;
    case ListIcon::Cross:
        DrawCross(painter);
        break;
    case ListIcon::ArrowUp:
        DrawArrow(painter, true);
        break;
    case ListIcon::ArrowDown:
        DrawArrow(painter, false);
        break;
    }
    painter.end();
    return QIcon(pixmap);
}

} // namespace ks::app
