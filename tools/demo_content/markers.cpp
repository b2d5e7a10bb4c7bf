#include <QLinearGradient>

#include "picture.h"

namespace quill::demo {
namespace {

void draw_die(QPainter& painter, QPointF centre, double angle,
              std::initializer_list<QPointF> pips) {
    painter.save();
    painter.translate(centre);
    painter.rotate(angle);
    QLinearGradient ivory(-14, -14, 14, 14);
    ivory.setColorAt(0, QColor(255, 255, 250));
    ivory.setColorAt(1, QColor(205, 200, 188));
    painter.setBrush(ivory);
    painter.drawRoundedRect(QRectF(-14, -14, 28, 28), 6, 6);
    painter.setBrush(QColor(170, 24, 30));
    painter.setPen(Qt::NoPen);
    for (QPointF pip : pips) {
        painter.drawEllipse(pip * 8, 3, 3);
    }
    painter.restore();
}

// The marker is drawn with its top-left corner on the marked point, so the arrow's tip is there.
void arrow(QPainter& painter) {
    const QPainterPath shape =
        polygon({{1, 1}, {1, 24}, {7.5, 18}, {13, 30}, {18, 27.5}, {12.5, 16}, {21, 15.5}});
    painter.setPen(QPen(QColor(245, 200, 60), 3.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(QColor(220, 30, 30));
    painter.drawPath(shape);
    set_outline(painter, 1.2);
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(shape);
}

void dice(QPainter& painter) {
    draw_ground_shadow(painter, {32, 56}, 28, 6);
    draw_die(painter, {21, 24}, -14, {{-1, -1}, {1, -1}, {0, 0}, {-1, 1}, {1, 1}});
    draw_die(painter, {42, 39}, 18, {{-1, -1}, {1, -1}, {-1, 0}, {1, 0}, {-1, 1}, {1, 1}});
}

}  // namespace

QImage draw_marker() {
    return draw_sprite(32, arrow);
}

QImage draw_random_choice() {
    return draw_sprite(tile_size, dice);
}

}  // namespace quill::demo
