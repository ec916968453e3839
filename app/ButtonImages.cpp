#include "ButtonImages.h"

#include <QPainter>
#include <QPainterPath>

namespace framequill {
namespace {

QPixmap Blank(int size) {
    QPixmap image(size, size);
    image.fill(Qt::transparent);
    return image;
}

// The disabled cell: the same outline in grey, with a white shadow one pixel down and right.
QPixmap Embossed(const QPixmap& image) {
    QImage shape = image.toImage().convertToFormat(QImage::Format_ARGB32);
    QPixmap result = Blank(image.width());
    QPainter painter(&result);
    for (const auto& [offset, colour] :
         {std::pair{1, QColor(Qt::white)}, std::pair{0, QColor(128, 128, 128)}}) {
        QImage tinted = shape;
        for (int y = 0; y < tinted.height(); ++y)
            for (int x = 0; x < tinted.width(); ++x)
                if (qAlpha(shape.pixel(x, y)) > 0)
                    tinted.setPixelColor(x, y, colour);
        painter.drawImage(offset, offset, tinted);
    }
    return result;
}

// A wedge that rises in steps from left to a vertical edge at x = right.
void StepWedge(QPainter& painter, int left, int right, int baseY, bool rising) {
    const int steps = right - left;
    for (int i = 0; i < steps; ++i) {
        const int height = 2 + (rising ? i : steps - 1 - i);
        painter.fillRect(left + i, baseY - height, 1, height, Qt::black);
    }
}

} // namespace

ButtonImage FolderImage() {
    QPixmap image = Blank(16);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QColor(128, 96, 0));
    painter.setBrush(QColor(240, 200, 40));
    painter.drawRect(QRectF(1.5, 7.5, 10, 7));
    QPainterPath flap;
    flap.moveTo(1.5, 14.5);
    flap.lineTo(4.5, 9.5);
    flap.lineTo(14.5, 9.5);
    flap.lineTo(11.5, 14.5);
    flap.closeSubpath();
    painter.setBrush(QColor(255, 230, 110));
    painter.drawPath(flap);
    QPainterPath arrow;
    arrow.moveTo(5, 6);
    arrow.quadTo(8, 0.5, 12.5, 3.5);
    painter.setPen(QPen(QColor(0, 64, 200), 1.5));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(arrow);
    painter.setBrush(QColor(0, 64, 200));
    painter.setPen(Qt::NoPen);
    painter.drawPolygon(QPolygonF({QPointF(11, 1.5), QPointF(15, 4.5), QPointF(10.5, 6)}));
    painter.end();
    return {image, Embossed(image)};
}

ButtonImage FloppyImage() {
    QPixmap image = Blank(16);
    QPainter painter(&image);
    painter.fillRect(1, 1, 14, 14, QColor(40, 40, 120));
    painter.fillRect(4, 1, 8, 5, QColor(200, 200, 210));
    painter.fillRect(9, 2, 2, 3, QColor(40, 40, 120));
    painter.fillRect(3, 9, 10, 6, Qt::white);
    painter.fillRect(4, 11, 8, 1, QColor(160, 160, 160));
    painter.fillRect(4, 13, 8, 1, QColor(160, 160, 160));
    painter.end();
    return {image, Embossed(image)};
}

QPixmap MagnifierImage() {
    QPixmap image = Blank(17);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::black, 2));
    painter.setBrush(QColor(190, 220, 255));
    painter.drawEllipse(QRectF(2, 2, 9, 9));
    painter.setPen(QPen(QColor(120, 60, 20), 3, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(10.5, 10.5), QPointF(15, 15));
    painter.end();
    return image;
}

namespace {

// One wedge standing on a base line across the whole image.
QPixmap WedgeOnBase(int left, int right, bool rising) {
    QPixmap image = Blank(16);
    QPainter painter(&image);
    StepWedge(painter, left, right, 14, rising);
    painter.fillRect(0, 14, 16, 1, Qt::black);
    painter.end();
    return image;
}

} // namespace

QPixmap BeginWedgeImage() {
    return WedgeOnBase(1, 8, true);
}

QPixmap EndWedgeImage() {
    return WedgeOnBase(8, 15, false);
}

QPixmap NextWedgesImage() {
    QPixmap image = Blank(16);
    QPainter painter(&image);
    StepWedge(painter, 9, 15, 6, false);
    painter.fillRect(8, 6, 8, 1, Qt::black);
    StepWedge(painter, 1, 7, 14, true);
    painter.fillRect(0, 14, 8, 1, Qt::black);
    painter.end();
    return image;
}

} // namespace framequill
