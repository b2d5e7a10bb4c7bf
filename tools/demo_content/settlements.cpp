#include <QLinearGradient>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "landscape.h"
#include "picture.h"

namespace quill::demo {
namespace {

const QColor outline(60, 44, 34);
const QColor stone(178, 174, 166);

QPointF polar(double radius, double angle) {
    return {radius * std::cos(angle), radius * std::sin(angle)};
}

void draw_field(QPainter& painter, QPointF centre, double angle, QSizeF size, QColor crop) {
    painter.save();
    painter.translate(centre);
    painter.rotate(angle);
    const QRectF area(-size.width() / 2, -size.height() / 2, size.width(), size.height());
    painter.setPen(QPen(QColor(70, 110, 50), 2.5));
    painter.setBrush(crop);
    painter.drawRect(area);
    painter.setPen(QPen(scaled(crop, 0.82), 1.5));
    for (double x = area.left() + 4; x < area.right() - 2; x += 5) {
        painter.drawLine(QPointF(x, area.top() + 2), QPointF(x, area.bottom() - 2));
    }
    painter.restore();
}

void draw_house(QPainter& painter, QPointF foot, double width, int variant) {
    static const QColor roofs[] = {{176, 64, 44}, {150, 84, 50}, {120, 70, 60}, {186, 96, 52}};
    static const QColor walls[] = {{236, 226, 200}, {222, 206, 170}, {240, 236, 224}};
    const double wall_height = width * 0.45, roof_height = width * 0.55;
    draw_ground_shadow(painter, foot + QPointF(width * 0.25, -1), width * 0.8, width * 0.25);
    painter.setPen(QPen(outline, 1.1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(walls[variant % 3]);
    const QRectF wall(foot.x() - width / 2, foot.y() - wall_height, width, wall_height);
    painter.drawRect(wall);
    const QColor roof = roofs[variant % 4];
    painter.setBrush(roof);
    painter.drawPolygon(QPolygonF({wall.topLeft() + QPointF(-2, 0), wall.topRight() + QPointF(2, 0),
                                   wall.topRight() + QPointF(-width * 0.15, -roof_height),
                                   wall.topLeft() + QPointF(width * 0.15, -roof_height)}));
    painter.setPen(QPen(scaled(roof, 0.7), 0.8));
    for (double y = wall.top() - roof_height * 0.33; y > wall.top() - roof_height;
         y -= roof_height * 0.33) {
        painter.drawLine(QPointF(wall.left() + 1, y), QPointF(wall.right() - 1, y));
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(90, 60, 40));
    painter.drawRect(QRectF(foot.x() - width * 0.1 + (variant % 2 ? width * 0.2 : 0),
                            foot.y() - wall_height * 0.65, width * 0.2, wall_height * 0.65));
}

void draw_tower(QPainter& painter, QPointF foot, double width, double height, QColor roof) {
    QRectF body(foot.x() - width / 2, foot.y() - height, width, height);
    QLinearGradient round(body.left(), 0, body.right(), 0);
    round.setColorAt(0, scaled(stone, 1.15));
    round.setColorAt(1, scaled(stone, 0.7));
    painter.setPen(QPen(outline, 1.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(round);
    painter.drawRect(body);
    painter.setBrush(roof);
    painter.drawPolygon(QPolygonF({body.topLeft() + QPointF(-2, 0), body.topRight() + QPointF(2, 0),
                                   QPointF(foot.x(), body.top() - width * 1.1)}));
    painter.setBrush(QColor(40, 30, 26));
    painter.drawRect(QRectF(foot.x() - 1.5, body.top() + height * 0.3, 3, 5));
}

void draw_wall(QPainter& painter, QRectF wall) {
    painter.setPen(QPen(outline, 1.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(stone);
    painter.drawRect(wall);
    for (double x = wall.left(); x < wall.right() - 3; x += 7) {
        painter.drawRect(QRectF(x, wall.top() - 3.5, 4, 3.5));
    }
}

void draw_flag(QPainter& painter, QPointF top, QColor colour) {
    painter.setPen(QPen(outline, 1.2));
    painter.drawLine(top, top + QPointF(0, 12));
    painter.setBrush(colour);
    painter.drawPolygon(QPolygonF({top, top + QPointF(10, 2.5), top + QPointF(0, 5)}));
}

void draw_castle(QPainter& painter, QPointF centre) {
    const double half = 48;
    draw_ground_shadow(painter, centre + QPointF(10, 4), 80, 24);
    const QColor blue_roof(60, 80, 150);
    draw_wall(painter, QRectF(centre.x() - half, centre.y() - 52, 2 * half, 14));
    draw_tower(painter, centre + QPointF(-half, -38), 16, 34, blue_roof);
    draw_tower(painter, centre + QPointF(half, -38), 16, 34, blue_roof);
    draw_wall(painter, QRectF(centre.x() - 16, centre.y() - 62, 32, 46));
    draw_flag(painter, centre + QPointF(0, -78), QColor(200, 36, 40));
    painter.drawLine(centre + QPointF(0, -66), centre + QPointF(0, -78));
    draw_wall(painter, QRectF(centre.x() - half, centre.y() - 18, 2 * half, 20));
    painter.setBrush(QColor(50, 36, 30));
    painter.drawChord(QRectF(centre.x() - 7, centre.y() - 12, 14, 24), 0, 180 * 16);
    painter.drawRect(QRectF(centre.x() - 7, centre.y() - 1, 14, 3));
    draw_tower(painter, centre + QPointF(-half, 6), 20, 38, QColor(176, 60, 44));
    draw_tower(painter, centre + QPointF(half, 6), 20, 38, QColor(176, 60, 44));
}

void draw_watchtower(QPainter& painter, QPointF foot) {
    draw_ground_shadow(painter, foot + QPointF(8, 0), 26, 8);
    draw_tower(painter, foot, 22, 56, QColor(110, 70, 50));
    draw_flag(painter, foot + QPointF(0, -92), QColor(240, 200, 60));
}

// Houses cluster round the centre of their site, keeping clear of water, roads and each other.
void draw_village(QPainter& painter, const terrain& land, QPointF centre, int houses, bool church,
                  prng& random) {
    std::vector<QPointF> feet;
    for (int attempt = 0; attempt < 400 && int(feet.size()) < houses; ++attempt) {
        const QPointF foot = centre + polar(random.uniform(8, 40 + 5.0 * houses),
                                            random.uniform(0, 2 * std::numbers::pi));
        const bool crowded = std::any_of(feet.begin(), feet.end(), [&](QPointF other) {
            return std::abs(other.x() - foot.x()) < 24 && std::abs(other.y() - foot.y()) < 22;
        });
        if (!crowded && land.is_open_land(foot.x(), foot.y(), 8) &&
            land.is_open_land(foot.x(), foot.y() - 12, 6)) {
            feet.push_back(foot);
        }
    }
    std::sort(feet.begin(), feet.end(), [](QPointF a, QPointF b) { return a.y() < b.y(); });
    for (std::size_t i = 0; i < feet.size(); ++i) {
        if (church && i == feet.size() / 2) {
            draw_house(painter, feet[i], 26, 2);
            draw_tower(painter, feet[i] + QPointF(-8, 0), 10, 30, QColor(80, 90, 110));
        } else {
            draw_house(painter, feet[i], random.uniform(15, 21), int(random.uniform(0, 12)));
        }
    }
}

}  // namespace

QImage plan_farmland(const terrain& land, prng& random) {
    const map_layout& layout = land.layout();
    QImage farmland = blank_picture(layout.width, layout.height);
    QPainter painter(&farmland);
    painter.setRenderHint(QPainter::Antialiasing);
    static const QPointF compass[] = {{0, 0}, {1, 0}, {-1, 0}, {0, 1}, {0, -1}};
    static const QColor crops[] = {{222, 196, 104}, {156, 116, 74}, {168, 190, 88}, {206, 170, 90}};
    for (const site& place : layout.sites) {
        if (place.kind != site_kind::village && place.kind != site_kind::hamlet) {
            continue;
        }
        for (int field = 0; field < 7; ++field) {
            const QPointF centre = place.centre + polar(random.uniform(95, 150),
                                                        random.uniform(0, 2 * std::numbers::pi));
            const QSizeF size(random.uniform(44, 70), random.uniform(32, 48));
            const double reach = std::hypot(size.width(), size.height()) / 2;
            const bool clear =
                std::all_of(std::begin(compass), std::end(compass), [&](QPointF direction) {
                    const QPointF p = centre + direction * reach;
                    return land.is_open_land(p.x(), p.y(), 6) &&
                           land.elevation(p.x(), p.y()) < 0.56;
                });
            if (clear) {
                draw_field(painter, centre, random.uniform(-35, 35), size,
                           crops[int(random.uniform(0, 4))]);
            }
        }
    }
    return farmland;
}

void draw_settlements(QPainter& painter, const terrain& land, prng& random) {
    for (const site& place : land.layout().sites) {
        switch (place.kind) {
            case site_kind::village:
                draw_village(painter, land, place.centre, 9, true, random);
                break;
            case site_kind::hamlet:
                draw_village(painter, land, place.centre, 4, false, random);
                break;
            case site_kind::castle:
                draw_castle(painter, place.centre);
                break;
            case site_kind::tower:
                draw_watchtower(painter, place.centre);
                break;
        }
    }
}

}  // namespace quill::demo
