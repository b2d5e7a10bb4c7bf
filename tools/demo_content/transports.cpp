#include <QLinearGradient>

#include "picture.h"

namespace quill::demo {
namespace {

const QColor wood(142, 94, 52);
const QColor cloth(240, 230, 200);

void draw_ripples(QPainter& painter, double y) {
    painter.save();
    painter.setPen(QPen(QColor(70, 120, 200, 220), 2, Qt::SolidLine, Qt::RoundCap));
    painter.setBrush(Qt::NoBrush);
    QPainterPath waves;
    waves.moveTo(4, y);
    for (double x = 4; x < 60; x += 12) {
        waves.quadTo(x + 3, y - 3, x + 6, y);
        waves.quadTo(x + 9, y + 3, x + 12, y);
    }
    painter.drawPath(waves);
    painter.restore();
}

void draw_wheel(QPainter& painter, QPointF hub, double radius) {
    set_outline(painter, 1.6);
    painter.setBrush(QColor(110, 72, 40));
    painter.drawEllipse(hub, radius, radius);
    painter.save();
    painter.setPen(QPen(QColor(60, 40, 24), 1.4));
    for (int spoke = 0; spoke < 4; ++spoke) {
        QLineF line(hub, hub + QPointF(radius - 1.5, 0));
        line.setAngle(spoke * 45.0);
        painter.drawLine(QLineF(hub - (line.p2() - hub), line.p2()));
    }
    painter.restore();
    painter.setBrush(QColor(196, 160, 60));
    painter.drawEllipse(hub, 2.2, 2.2);
}

void draw_pennant(QPainter& painter, QPointF top, QColor colour) {
    painter.setBrush(colour);
    painter.drawPath(polygon({top, top + QPointF(10, 2.5), top + QPointF(0, 5)}));
}

QPainterPath hull(double left, double right, double deck, double keel) {
    QPainterPath path;
    path.moveTo(left, deck - 2);
    path.lineTo(right, deck - 4);
    path.quadTo(right - 4, keel, right - 16, keel);
    path.lineTo(left + 12, keel);
    path.quadTo(left + 3, keel - 2, left, deck - 2);
    return path;
}

void boat(QPainter& painter) {
    draw_ripples(painter, 55);
    painter.drawLine(QPointF(30, 6), QPointF(30, 42));
    draw_pennant(painter, {30, 5}, QColor(210, 40, 40));
    QPainterPath sail;
    sail.moveTo(32, 10);
    sail.quadTo(50, 20, 52, 37);
    sail.lineTo(32, 37);
    sail.closeSubpath();
    painter.setBrush(cloth);
    painter.drawPath(sail);
    painter.drawPath(polygon({{28, 13}, {28, 37}, {13, 37}}));
    painter.setBrush(wood);
    painter.drawPath(hull(8, 57, 42, 53));
    painter.setPen(QPen(scaled(wood, 0.6), 1));
    painter.drawLine(QPointF(12, 45), QPointF(54, 43));
}

void ship(QPainter& painter) {
    draw_ripples(painter, 57);
    painter.drawLine(QPointF(34, 4), QPointF(34, 40));
    painter.drawLine(QPointF(14, 14), QPointF(14, 32));
    draw_pennant(painter, {34, 3}, QColor(40, 90, 200));
    QPainterPath sail;
    sail.moveTo(20, 9);
    sail.lineTo(48, 9);
    sail.quadTo(52, 22, 48, 33);
    sail.lineTo(20, 33);
    sail.quadTo(24, 22, 20, 9);
    painter.save();
    painter.setClipPath(sail);
    painter.fillRect(QRectF(18, 8, 34, 26), cloth);
    for (double x = 22; x < 50; x += 8) {
        painter.fillRect(QRectF(x, 8, 4, 26), QColor(196, 50, 44));
    }
    painter.restore();
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(sail);
    painter.drawLine(QPointF(18, 9), QPointF(50, 9));
    painter.setBrush(cloth);
    painter.drawPath(polygon({{15, 15}, {15, 31}, {26, 31}}));
    QPainterPath body = hull(5, 61, 42, 55);
    body.addRect(QRectF(5, 32, 14, 9));
    painter.setBrush(QColor(105, 62, 36));
    painter.drawPath(body.simplified());
    painter.setBrush(QColor(230, 200, 90));
    painter.setPen(Qt::NoPen);
    for (double x = 24; x < 52; x += 7) {
        painter.drawEllipse(QPointF(x, 46), 1.8, 1.8);
    }
}

void raft(QPainter& painter) {
    draw_ripples(painter, 58);
    draw_ripples(painter, 14);
    for (int log = 0; log < 6; ++log) {
        const QRectF body(9 + log * 7.7, 19 + (log % 2) * 2, 7.7, 34);
        QLinearGradient round(body.left(), 0, body.right(), 0);
        round.setColorAt(0, scaled(wood, 1.2));
        round.setColorAt(1, scaled(wood, 0.75));
        painter.setBrush(round);
        painter.drawRoundedRect(body, 3.5, 3.5);
    }
    painter.setPen(QPen(QColor(215, 195, 140), 2.2));
    painter.drawLine(QPointF(8, 27), QPointF(56, 27));
    painter.drawLine(QPointF(8, 46), QPointF(56, 46));
    set_outline(painter);
    painter.drawLine(QPointF(46, 36), QPointF(46, 6));
    draw_pennant(painter, {46, 6}, QColor(230, 170, 40));
    painter.drawLine(QPointF(14, 36), QPointF(4, 56));
    painter.setBrush(QColor(180, 130, 80));
    painter.drawEllipse(QPointF(4.5, 55), 2.5, 4);
}

void wagon(QPainter& painter) {
    draw_ground_shadow(painter, {32, 57}, 30, 5);
    painter.drawLine(QPointF(54, 42), QPointF(63, 47));
    QPainterPath cover;
    cover.moveTo(11, 35);
    cover.lineTo(13, 16);
    cover.quadTo(32, 6, 51, 16);
    cover.lineTo(53, 35);
    QLinearGradient shade(0, 8, 0, 35);
    shade.setColorAt(0, cloth);
    shade.setColorAt(1, scaled(cloth, 0.82));
    painter.setBrush(shade);
    painter.drawPath(cover);
    painter.setPen(QPen(QColor(150, 130, 100), 1.2));
    for (double x : {22.0, 32.0, 42.0}) {
        painter.drawLine(QPointF(x, 12), QPointF(x, 34));
    }
    set_outline(painter);
    painter.setBrush(wood);
    painter.drawRect(QRectF(7, 34, 50, 10));
    painter.setPen(QPen(scaled(wood, 0.6), 1));
    painter.drawLine(QPointF(8, 39), QPointF(56, 39));
    draw_wheel(painter, {19, 48}, 9);
    draw_wheel(painter, {46, 48}, 9);
}

void horse(QPainter& painter) {
    draw_ground_shadow(painter, {32, 59}, 26, 4);
    const QColor coat(150, 96, 52), mane(50, 34, 26);
    QPainterPath tail;
    tail.moveTo(14, 31);
    tail.cubicTo(4, 32, 4, 44, 8, 50);
    tail.cubicTo(10, 44, 11, 38, 15, 35);
    painter.setBrush(mane);
    painter.drawPath(tail);
    QPainterPath body;
    body.addEllipse(QPointF(30, 36), 17, 9.5);
    body.addPath(polygon({{38, 33}, {44, 16}, {51, 16}, {48, 37}}));
    body.addPath(polygon({{44, 12}, {50, 10}, {60, 21}, {60, 25}, {57, 27}, {46, 21}}));
    body.addRect(QRectF(45, 6, 3, 7));
    const double legs[] = {17, 22, 37, 42};
    for (double x : legs) {
        body.addRoundedRect(QRectF(x, 38, 4.2, 19), 1.5, 1.5);
    }
    painter.setBrush(coat);
    painter.drawPath(body.simplified());
    painter.setBrush(mane);
    for (double x : legs) {
        painter.drawRect(QRectF(x - 0.4, 54, 5, 3.5));
    }
    QPainterPath crest;
    crest.moveTo(42, 13);
    crest.quadTo(36, 22, 36, 33);
    crest.lineTo(40, 30);
    crest.quadTo(42, 21, 46, 15);
    painter.drawPath(crest);
    painter.setBrush(QColor(180, 40, 40));
    painter.drawRoundedRect(QRectF(23, 25, 14, 8), 2, 2);
    painter.drawLine(QPointF(30, 33), QPointF(30, 42));
    painter.setBrush(mane);
    painter.drawEllipse(QPointF(51, 16), 1.2, 1.2);
}

}  // namespace

std::vector<kind_picture> draw_transports() {
    return {
        {"boat", "Boot", "Segelboot für Fluss und See", draw_sprite(tile_size, boat)},
        {"ship", "Schiff", "Trägt eine ganze Heldengruppe über das Wasser",
         draw_sprite(tile_size, ship)},
        {"raft", "Floß", "Baumstämme, mit Stricken gebunden", draw_sprite(tile_size, raft)},
        {"wagon", "Wagen", "Planwagen für Vorräte und Beute", draw_sprite(tile_size, wagon)},
        {"horse", "Pferd", "Gesattelt und bereit", draw_sprite(tile_size, horse)},
    };
}

}  // namespace quill::demo
