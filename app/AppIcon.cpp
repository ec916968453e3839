#include "AppIcon.h"

#include <QPainter>
#include <QPainterPath>

namespace framequill {

QPixmap DrawAppIcon(int size) {
    QPixmap icon(size, size);
    icon.fill(Qt::transparent);
    QPainter painter(&icon);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 64.0, size / 64.0);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(30, 30, 40));
    painter.drawRoundedRect(QRectF(4, 12, 56, 40), 6, 6);
    painter.setBrush(QColor(235, 225, 200));
    for (int x = 8; x < 58; x += 10) {
        painter.drawRect(QRectF(x, 15, 5, 4));
        painter.drawRect(QRectF(x, 45, 5, 4));
    }
    painter.setBrush(QColor(80, 140, 210));
    painter.drawRect(QRectF(8, 22, 22, 20));
    painter.setBrush(QColor(230, 120, 80));
    painter.drawRect(QRectF(34, 22, 22, 20));
    QPainterPath quill;
    quill.moveTo(14, 58);
    quill.cubicTo(26, 40, 44, 18, 60, 4);
    quill.cubicTo(54, 22, 40, 40, 14, 58);
    painter.setBrush(QColor(250, 250, 250));
    painter.setPen(QPen(QColor(40, 40, 40), 1.2));
    painter.drawPath(quill);
    painter.drawLine(QPointF(14, 58), QPointF(10, 62));
    return icon;
}

} // namespace framequill
