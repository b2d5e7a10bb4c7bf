#include <QLinearGradient>
#include <QTransform>

#include "picture.h"

namespace quill::demo {
namespace {

QLinearGradient stone_gradient(QColor base, double left, double right) {
    QLinearGradient gradient(left, 0, right, 0);
    gradient.setColorAt(0.0, scaled(base, 1.18));
    gradient.setColorAt(0.55, base);
    gradient.setColorAt(1.0, scaled(base, 0.7));
    return gradient;
}

// Every grave sits on a little heap of earth with a few blades of grass.
void draw_earth(QPainter& painter, double width) {
    draw_ground_shadow(painter, {32, 57}, width + 6, 7);
    painter.setBrush(QColor(112, 80, 50));
    painter.drawChord(QRectF(32 - width, 50, 2 * width, 14), 0, 180 * 16);
    painter.save();
    painter.setPen(QPen(QColor(70, 130, 50), 1.6, Qt::SolidLine, Qt::RoundCap));
    for (double x : {32 - width + 4, 32 - width + 9, 32 + width - 9, 32 + width - 4}) {
        painter.drawPolyline(QPolygonF({QPointF(x - 2, 52), QPointF(x, 57), QPointF(x + 2, 51)}));
    }
    painter.restore();
}

// A groove with a lit lower edge reads as cut into the stone.
void engrave(QPainter& painter, const QPainterPath& groove) {
    painter.save();
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(235, 235, 230, 200), 1.2));
    painter.drawPath(groove.translated(0.8, 0.8));
    painter.setPen(QPen(QColor(60, 60, 64), 2.2, Qt::SolidLine, Qt::RoundCap));
    painter.drawPath(groove);
    painter.restore();
}

void headstone(QPainter& painter) {
    draw_earth(painter, 22);
    QPainterPath slab;
    slab.moveTo(17, 56);
    slab.arcTo(QRectF(17, 9, 30, 30), 180, -180);
    slab.lineTo(47, 56);
    slab.closeSubpath();
    painter.setBrush(stone_gradient(QColor(150, 152, 158), 17, 47));
    painter.drawPath(slab);
    QPainterPath cross;
    cross.addPolygon(QPolygonF({QPointF(32, 18), QPointF(32, 44)}));
    cross.addPolygon(QPolygonF({QPointF(24, 26), QPointF(40, 26)}));
    engrave(painter, cross);
    painter.setPen(QPen(QColor(70, 70, 74), 1));
    painter.drawPolyline(QPolygonF({QPointF(44, 34), QPointF(41, 39), QPointF(43, 44)}));
}

void celtic_cross(QPainter& painter) {
    draw_earth(painter, 18);
    const QPointF hub(32, 24);
    QPainterPath ring, hole, cross;
    ring.addEllipse(hub, 13, 13);
    hole.addEllipse(hub, 8.5, 8.5);
    cross.addRoundedRect(QRectF(27.5, 5, 9, 50), 2, 2);
    cross.addRoundedRect(QRectF(12, 19.5, 40, 9), 2, 2);
    painter.setBrush(stone_gradient(QColor(128, 140, 130), 12, 52));
    painter.drawPath(ring.subtracted(hole).united(cross).simplified());
    painter.drawRect(QRectF(22, 50, 20, 6));
    painter.setBrush(QColor(90, 100, 92));
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(hub, 3, 3);
    for (double y : {34.0, 40.0, 46.0}) {
        painter.drawEllipse(QPointF(32, y), 1.6, 1.6);
    }
}

void wooden_cross(QPainter& painter) {
    draw_earth(painter, 20);
    painter.save();
    painter.translate(32, 32);
    painter.rotate(-7);
    painter.translate(-32, -32);
    const QColor wood(150, 100, 55);
    painter.setBrush(wood);
    painter.drawRect(QRectF(28, 6, 8, 50));
    painter.drawRect(QRectF(15, 17, 34, 8));
    painter.setPen(QPen(scaled(wood, 0.6), 1));
    for (double x : {30.5, 33.5}) {
        painter.drawLine(QPointF(x, 8), QPointF(x, 16));
        painter.drawLine(QPointF(x, 27), QPointF(x, 53));
    }
    painter.drawLine(QPointF(17, 21), QPointF(27, 21));
    painter.drawLine(QPointF(37, 20), QPointF(47, 20));
    painter.restore();
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(220, 60, 60));
    for (QPointF petal : {QPointF(-2.5, 0), QPointF(2.5, 0), QPointF(0, -2.5), QPointF(0, 2.5)}) {
        painter.drawEllipse(QPointF(43, 50) + petal, 1.8, 1.8);
    }
    painter.setBrush(QColor(250, 220, 80));
    painter.drawEllipse(QPointF(43, 50), 1.5, 1.5);
}

void skull(QPainter& painter) {
    draw_ground_shadow(painter, {32, 56}, 28, 7);
    const QColor ivory(238, 230, 204);
    QPainterPath bone;
    bone.addRoundedRect(QRectF(-23, -2.5, 46, 5), 2, 2);
    for (QPointF knob : {QPointF(-23, -3), QPointF(-23, 3), QPointF(23, -3), QPointF(23, 3)}) {
        bone.addEllipse(knob, 3.6, 3.6);
    }
    painter.setBrush(ivory);
    for (double angle : {35.0, -35.0}) {
        painter.drawPath(QTransform().translate(32, 40).rotate(angle).map(bone.simplified()));
    }
    QPainterPath head;
    head.addEllipse(QPointF(32, 25), 16, 15);
    head.addRoundedRect(QRectF(23, 30, 18, 16), 4, 4);
    QRadialGradient shading(QPointF(27, 19), 24);
    shading.setColorAt(0, scaled(ivory, 1.05));
    shading.setColorAt(1, scaled(ivory, 0.78));
    painter.setBrush(shading);
    painter.drawPath(head.simplified());
    const QColor dark(45, 35, 30);
    painter.setBrush(dark);
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(QPointF(25.5, 27), 4.6, 5.2);
    painter.drawEllipse(QPointF(38.5, 27), 4.6, 5.2);
    painter.drawPath(polygon({{32, 31}, {29.5, 37}, {34.5, 37}}));
    painter.setPen(QPen(dark, 1.2));
    painter.drawLine(QPointF(25, 41), QPointF(39, 41));
    for (double x = 27; x <= 37; x += 2.5) {
        painter.drawLine(QPointF(x, 39), QPointF(x, 45));
    }
}

void obelisk(QPainter& painter) {
    draw_ground_shadow(painter, {32, 58}, 24, 6);
    const QColor sandstone(206, 190, 150);
    painter.setBrush(stone_gradient(sandstone, 18, 46));
    painter.drawRect(QRectF(18, 52, 28, 6));
    painter.drawRect(QRectF(22, 47, 20, 5));
    painter.setBrush(stone_gradient(sandstone, 25, 39));
    painter.drawPath(polygon({{25, 47}, {28.5, 13}, {32, 4}, {35.5, 13}, {39, 47}}));
    set_outline(painter, 1);
    painter.drawLine(QPointF(28.5, 13), QPointF(35.5, 13));
    painter.setBrush(QColor(0, 0, 0, 40));
    painter.setPen(Qt::NoPen);
    painter.drawPath(polygon({{32, 4}, {35.5, 13}, {39, 47}, {33, 47}}));
    QPainterPath sun;
    sun.addEllipse(QPointF(32, 24), 3, 3);
    sun.addPolygon(QPolygonF({QPointF(32, 31), QPointF(32, 40)}));
    engrave(painter, sun);
}

void hero_grave(QPainter& painter) {
    draw_ground_shadow(painter, {32, 57}, 30, 7);
    QLinearGradient earth(0, 38, 0, 60);
    earth.setColorAt(0, QColor(134, 100, 62));
    earth.setColorAt(1, QColor(96, 68, 42));
    painter.setBrush(earth);
    painter.drawChord(QRectF(6, 40, 52, 34), 0, 180 * 16);
    painter.setBrush(QColor(96, 150, 60));
    painter.drawChord(QRectF(14, 40, 36, 10), 0, 180 * 16);
    painter.setBrush(stone_gradient(QColor(200, 206, 214), 29.5, 34.5));
    painter.drawPath(polygon({{29.5, 16}, {34.5, 16}, {34.5, 42}, {32, 46}, {29.5, 42}}));
    const QColor brass(196, 160, 60);
    painter.setBrush(brass);
    painter.drawRoundedRect(QRectF(20, 13, 24, 4.5), 2, 2);
    painter.setBrush(QColor(110, 60, 40));
    painter.drawRect(QRectF(30, 5, 4, 8));
    painter.setBrush(brass);
    painter.drawEllipse(QPointF(32, 4.5), 3, 3);
    painter.setPen(QPen(QColor(120, 126, 136), 1));
    painter.drawLine(QPointF(32, 19), QPointF(32, 41));
}

}  // namespace

std::vector<kind_picture> draw_tombstones() {
    return {
        {"grave_stone", "Grabstein", "Ein schlichter Stein mit eingemeißeltem Kreuz",
         draw_sprite(tile_size, headstone)},
        {"grave_cross", "Keltenkreuz", "Steinkreuz mit Ring, wie es die Alten setzten",
         draw_sprite(tile_size, celtic_cross)},
        {"grave_wood", "Holzkreuz", "Rasch gezimmert, für den Weg zurück",
         draw_sprite(tile_size, wooden_cross)},
        {"grave_skull", "Totenschädel", "Hier ist einer übel zugerichtet worden",
         draw_sprite(tile_size, skull)},
        {"grave_obelisk", "Obelisk", "Für große Taten und größere Helden",
         draw_sprite(tile_size, obelisk)},
        {"grave_sword", "Heldengrab", "Ein Hügel, darin das Schwert des Gefallenen",
         draw_sprite(tile_size, hero_grave)},
    };
}

}  // namespace quill::demo
