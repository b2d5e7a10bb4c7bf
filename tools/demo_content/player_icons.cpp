#include <QLinearGradient>
#include <QTransform>

#include <cmath>
#include <numbers>

#include "picture.h"

namespace quill::demo {
namespace {

enum class bearer { heater_shield, round_shield, banner };

const QColor gold(232, 192, 64), silver(226, 230, 236);

// The emblems are drawn around the origin, about 30 pixels across.
QPainterPath star() {
    QPolygonF points;
    for (int i = 0; i < 10; ++i) {
        const double radius = i % 2 == 0 ? 14 : 5.8, angle = (i / 5.0 - 0.5) * std::numbers::pi;
        points << QPointF(radius * std::cos(angle), radius * std::sin(angle) + 1);
    }
    QPainterPath path;
    path.addPolygon(points);
    path.closeSubpath();
    return path;
}

QPainterPath lightning() {
    return polygon({{4, -16}, {-8, 2}, {-1, 2}, {-5, 16}, {9, -4}, {1, -4}, {7, -16}});
}

QPainterPath crown() {
    QPainterPath path =
        polygon({{-13, 9}, {-14, -7}, {-7, 1}, {0, -11}, {7, 1}, {14, -7}, {13, 9}});
    for (QPointF tip : {QPointF(-14, -8), QPointF(0, -12), QPointF(14, -8)}) {
        path.addEllipse(tip, 2.6, 2.6);
    }
    path.addRect(QRectF(-13, 9, 26, 4));
    return path.simplified();
}

QPainterPath tree() {
    QPainterPath path;
    path.addRect(QRectF(-2.5, 2, 5, 13));
    path.addEllipse(QPointF(0, -6), 9, 8);
    path.addEllipse(QPointF(-7, 0), 7, 6);
    path.addEllipse(QPointF(7, 0), 7, 6);
    return path.simplified();
}

QPainterPath crescent() {
    QPainterPath moon, bite;
    moon.addEllipse(QPointF(0, 0), 14, 14);
    bite.addEllipse(QPointF(6, -4), 11.5, 11.5);
    return moon.subtracted(bite);
}

QPainterPath flame() {
    QPainterPath path;
    path.moveTo(0, 15);
    path.cubicTo(-13, 15, -13, 2, -6, -5);
    path.cubicTo(-6, 0, -3, 2, -2, 2);
    path.cubicTo(-5, -6, 0, -12, 2, -16);
    path.cubicTo(4, -8, 12, -4, 10, 6);
    path.cubicTo(9, 12, 5, 15, 0, 15);
    return path;
}

QPainterPath trident() {
    QPainterPath path;
    path.addRect(QRectF(-1.8, -6, 3.6, 22));
    path.addRect(QRectF(-10, -4, 20, 3.5));
    for (double x : {-10.0, 0.0, 10.0}) {
        path.addPath(
            polygon({{x - 1.8, -2}, {x - 1.8, -11}, {x, -16}, {x + 1.8, -11}, {x + 1.8, -2}}));
    }
    return path.simplified();
}

QPainterPath axe() {
    QPainterPath path, blade;
    path.addRoundedRect(QRectF(-2, -15, 4, 31), 1.5, 1.5);
    blade.moveTo(1, -11);
    blade.quadTo(8, -10, 13, -15);
    blade.quadTo(16, -4, 13, 6);
    blade.quadTo(8, 1, 1, 2);
    path.addPath(blade);
    return path.simplified();
}

QPainterPath bearer_outline(bearer kind) {
    QPainterPath path;
    if (kind == bearer::heater_shield) {
        path.moveTo(8, 5);
        path.lineTo(56, 5);
        path.lineTo(56, 28);
        path.cubicTo(56, 44, 44, 54, 32, 61);
        path.cubicTo(20, 54, 8, 44, 8, 28);
        path.closeSubpath();
    } else if (kind == bearer::round_shield) {
        path.addEllipse(QPointF(32, 32), 28, 28);
    } else {
        path = polygon({{16, 9}, {58, 9}, {58, 60}, {37, 49}, {16, 60}});
    }
    return path;
}

QImage heraldic_icon(bearer kind, QColor field, const QPainterPath& emblem, QColor charge) {
    QImage image = blank_picture(player_size, player_size);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    set_outline(painter, 2.5);
    if (kind == bearer::banner) {
        painter.setBrush(QColor(120, 80, 45));
        painter.drawRect(QRectF(9, 4, 4, 58));
        painter.drawRect(QRectF(9, 6, 52, 4));
        painter.setBrush(gold);
        painter.drawEllipse(QPointF(11, 4), 3.5, 3.5);
    }
    const QPainterPath outline = bearer_outline(kind);
    painter.setBrush(field);
    painter.drawPath(outline);
    if (kind == bearer::round_shield) {
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(silver, 3));
        painter.drawEllipse(QPointF(32, 32), 25, 25);
    }
    QLinearGradient sheen(0, 0, 64, 64);
    sheen.setColorAt(0, QColor(255, 255, 255, 110));
    sheen.setColorAt(0.5, QColor(255, 255, 255, 0));
    sheen.setColorAt(1, QColor(0, 0, 0, 70));
    painter.fillPath(outline, sheen);
    set_outline(painter, 1.8);
    painter.setBrush(charge);
    const QPointF centre = kind == bearer::heater_shield ? QPointF(32, 29)
                           : kind == bearer::banner      ? QPointF(37, 29)
                                                         : QPointF(32, 32);
    painter.drawPath(QTransform::fromTranslate(centre.x(), centre.y()).map(emblem));
    return image;
}

QImage cross_banner(QColor field, QColor cross) {
    QImage image = heraldic_icon(bearer::banner, field, QPainterPath(), cross);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setClipPath(bearer_outline(bearer::banner));
    painter.fillRect(QRectF(32, 0, 10, 64), cross);
    painter.fillRect(QRectF(0, 24, 64, 10), cross);
    painter.setClipping(false);
    set_outline(painter, 2.5);
    painter.drawPath(bearer_outline(bearer::banner));
    return image;
}

void helmet(QPainter& painter) {
    const QColor plume(140, 60, 180);
    set_outline(painter, 2.5);
    QPainterPath feathers;
    feathers.moveTo(30, 12);
    feathers.cubicTo(26, -2, 52, -2, 60, 20);
    feathers.cubicTo(50, 10, 44, 10, 38, 14);
    painter.setBrush(plume);
    painter.drawPath(feathers);
    QPainterPath helm;
    helm.moveTo(14, 58);
    helm.lineTo(14, 24);
    helm.cubicTo(14, 8, 50, 8, 50, 24);
    helm.lineTo(50, 58);
    helm.closeSubpath();
    QLinearGradient steel(14, 0, 50, 0);
    steel.setColorAt(0, QColor(240, 244, 248));
    steel.setColorAt(0.6, QColor(170, 178, 190));
    steel.setColorAt(1, QColor(110, 116, 128));
    painter.setBrush(steel);
    painter.drawPath(helm);
    painter.setBrush(plume);
    painter.drawRect(QRectF(30, 12, 4, 46));
    painter.setBrush(QColor(30, 26, 30));
    painter.drawRect(QRectF(15, 27, 14, 4));
    painter.drawRect(QRectF(35, 27, 14, 4));
    painter.setPen(Qt::NoPen);
    for (double y : {40.0, 45.0, 50.0}) {
        painter.drawEllipse(QPointF(40, y), 1.4, 1.4);
        painter.drawEllipse(QPointF(45, y), 1.4, 1.4);
    }
}

}  // namespace

std::vector<player_icon> draw_player_icons() {
    using enum bearer;
    return {
        {"hero_red.png", heraldic_icon(heater_shield, QColor(196, 36, 40), lightning(), gold)},
        {"hero_blue.png", heraldic_icon(round_shield, QColor(40, 80, 190), star(), silver)},
        {"hero_green.png",
         heraldic_icon(heater_shield, QColor(46, 140, 70), tree(), QColor(236, 210, 120))},
        {"hero_gold.png",
         heraldic_icon(heater_shield, QColor(236, 190, 40), crown(), QColor(170, 30, 40))},
        {"hero_black.png", heraldic_icon(round_shield, QColor(36, 36, 44), crescent(), silver)},
        {"hero_orange.png",
         heraldic_icon(banner, QColor(240, 130, 30), flame(), QColor(255, 230, 90))},
        {"hero_purple.png", draw_sprite(player_size, helmet)},
        {"hero_teal.png", heraldic_icon(heater_shield, QColor(30, 150, 150), trident(), silver)},
        {"hero_white.png", cross_banner(QColor(246, 244, 236), QColor(200, 30, 36))},
        {"hero_brown.png",
         heraldic_icon(round_shield, QColor(150, 100, 58), axe(), QColor(200, 206, 214))},
    };
}

}  // namespace quill::demo
