#include "picture.h"

#include <QRadialGradient>

#include <algorithm>

namespace quill::demo {

QImage blank_picture(int width, int height) {
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

QImage draw_sprite(int size, void (*draw)(QPainter&)) {
    QImage image = blank_picture(size, size);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    set_outline(painter);
    draw(painter);
    return image;
}

void set_outline(QPainter& painter, double width) {
    painter.setPen(QPen(QColor(38, 28, 22), width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
}

QColor scaled(const QColor& colour, double factor) {
    auto channel = [factor](int value) { return std::clamp(int(value * factor), 0, 255); };
    return QColor(channel(colour.red()), channel(colour.green()), channel(colour.blue()),
                  colour.alpha());
}

QPainterPath polygon(std::initializer_list<QPointF> corners) {
    QPainterPath path;
    path.addPolygon(QPolygonF(QList<QPointF>(corners)));
    path.closeSubpath();
    return path;
}

void draw_ground_shadow(QPainter& painter, QPointF centre, double rx, double ry) {
    QRadialGradient gradient(0, 0, rx);
    gradient.setColorAt(0.0, QColor(0, 0, 0, 90));
    gradient.setColorAt(1.0, QColor(0, 0, 0, 0));
    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setBrush(gradient);
    painter.translate(centre);
    painter.scale(1.0, ry / rx);
    painter.drawEllipse(QPointF(0, 0), rx, rx);
    painter.restore();
}

}  // namespace quill::demo
