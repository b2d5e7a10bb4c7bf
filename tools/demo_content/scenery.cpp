#include <QLinearGradient>

#include <algorithm>
#include <vector>

#include "landscape.h"
#include "picture.h"

namespace quill::demo {
namespace {

// Things are drawn from the top of the map down, so that nearer ones cover farther ones.
struct placement {
    QPointF foot;
    double size;
    int variant;
};

void sort_by_depth(std::vector<placement>& things) {
    std::sort(things.begin(), things.end(),
              [](const placement& a, const placement& b) { return a.foot.y() < b.foot.y(); });
}

void draw_mountain(QPainter& painter, const placement& mountain, bool snowy) {
    const double w = mountain.size, h = mountain.size * 0.78;
    const QPointF foot = mountain.foot;
    const QPointF left(foot.x() - w / 2, foot.y()), right(foot.x() + w / 2, foot.y());
    const QPointF peak(foot.x() + (mountain.variant - 1) * w * 0.08, foot.y() - h);
    const QPointF shoulder = left + (peak - left) * 0.5 + QPointF(-w * 0.06, h * 0.05);
    const QPointF ridge_foot(foot.x() + w * 0.12, foot.y());
    draw_ground_shadow(painter, foot + QPointF(w * 0.12, -2), w * 0.62, w * 0.14);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(176, 164, 142));
    painter.drawPolygon(QPolygonF({left, shoulder, peak, ridge_foot}));
    painter.setBrush(QColor(116, 106, 94));
    painter.drawPolygon(QPolygonF({peak, right, ridge_foot}));
    if (snowy) {
        auto down_left = [&](double t) { return peak + (shoulder - peak) * t; };
        auto down_right = [&](double t) { return peak + (right - peak) * t; };
        auto down_ridge = [&](double t) { return peak + (ridge_foot - peak) * t; };
        painter.setBrush(QColor(246, 248, 252));
        painter.drawPolygon(
            QPolygonF({peak, down_left(0.5), down_left(0.3) + QPointF(5, 4), down_ridge(0.36)}));
        painter.setBrush(QColor(206, 214, 228));
        painter.drawPolygon(QPolygonF(
            {peak, down_ridge(0.36), down_right(0.22) + QPointF(-3, 3), down_right(0.32)}));
    }
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(74, 64, 56), 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPolyline(QPolygonF({left, shoulder, peak, right}));
    painter.setPen(QPen(QColor(74, 64, 56, 150), 1.0));
    painter.drawLine(peak, ridge_foot + (peak - ridge_foot) * 0.15);
}

void draw_hill(QPainter& painter, const placement& hill) {
    const double w = hill.size, h = hill.size * 0.4;
    const QPointF foot = hill.foot;
    QPainterPath mound;
    mound.moveTo(foot.x() - w / 2, foot.y());
    mound.cubicTo(foot.x() - w * 0.3, foot.y() - h * 1.3, foot.x() + w * 0.3, foot.y() - h * 1.3,
                  foot.x() + w / 2, foot.y());
    QLinearGradient light(foot.x() - w / 2, foot.y() - h, foot.x() + w / 2, foot.y());
    light.setColorAt(0, QColor(176, 180, 108));
    light.setColorAt(1, QColor(112, 122, 66));
    draw_ground_shadow(painter, foot + QPointF(w * 0.1, -1), w * 0.55, h * 0.3);
    painter.setBrush(light);
    // The path stays open, so only the crest gets an outline, not the foot.
    painter.setPen(QPen(QColor(90, 96, 52), 1.3, Qt::SolidLine, Qt::RoundCap));
    painter.drawPath(mound);
}

void draw_broadleaf(QPainter& painter, const placement& tree) {
    const double r = tree.size;
    const QPointF foot = tree.foot;
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(20, 40, 10, 70));
    painter.drawEllipse(foot + QPointF(r * 0.5, -r * 0.1), r * 1.0, r * 0.45);
    painter.setBrush(QColor(96, 64, 36));
    painter.drawRect(QRectF(foot.x() - 1.2, foot.y() - r * 0.8, 2.4, r * 0.8));
    static const QColor leaves[] = {{62, 122, 48}, {78, 136, 52}, {54, 108, 46}, {92, 140, 56}};
    const QColor leaf = leaves[tree.variant % 4];
    const QPointF crown = foot - QPointF(0, r * 1.25);
    painter.setPen(QPen(scaled(leaf, 0.55), 1.0));
    painter.setBrush(leaf);
    painter.drawEllipse(crown, r, r * 0.92);
    painter.setPen(Qt::NoPen);
    painter.setBrush(scaled(leaf, 1.3));
    painter.drawEllipse(crown + QPointF(-r * 0.32, -r * 0.3), r * 0.45, r * 0.4);
}

void draw_conifer(QPainter& painter, const placement& tree) {
    const double r = tree.size * 0.85;
    const QPointF foot = tree.foot;
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(20, 40, 10, 70));
    painter.drawEllipse(foot + QPointF(r * 0.6, -r * 0.1), r * 1.0, r * 0.4);
    painter.setBrush(QColor(90, 60, 34));
    painter.drawRect(QRectF(foot.x() - 1.2, foot.y() - r * 0.6, 2.4, r * 0.6));
    const QColor needles = tree.variant % 2 ? QColor(40, 94, 62) : QColor(52, 104, 58);
    painter.setPen(QPen(scaled(needles, 0.6), 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    for (int tier = 0; tier < 2; ++tier) {
        const double base = foot.y() - r * (0.5 + tier * 0.9), width = r * (1.0 - tier * 0.25);
        painter.setBrush(tier == 0 ? needles : scaled(needles, 1.15));
        painter.drawPolygon(
            QPolygonF({QPointF(foot.x() - width, base), QPointF(foot.x(), base - r * 1.7),
                       QPointF(foot.x() + width, base)}));
    }
}

}  // namespace

void draw_relief(QPainter& painter, const terrain& land, prng& random) {
    std::vector<placement> mountains, hills;
    const int width = land.layout().width, height = land.layout().height;
    for (double y = 30; y < height + 40; y += 46) {
        for (double x = 0; x < width; x += 58) {
            const QPointF foot(x + random.uniform(-22, 22), y + random.uniform(-16, 16));
            const double e = land.elevation(foot.x(), foot.y());
            const int variant = int(random.uniform(0, 3));
            if (e > 0.68 && random.chance(0.3 + smoothstep(0.68, 0.8, e)) &&
                land.is_open_land(foot.x(), foot.y(), 20)) {
                mountains.push_back(
                    {foot, (40 + smoothstep(0.68, 0.9, e) * 60) * random.uniform(0.8, 1.2),
                     variant});
            } else if (e > 0.56 && e < 0.67 && random.chance(0.5) &&
                       land.is_open_land(foot.x(), foot.y(), 18)) {
                hills.push_back({foot, random.uniform(40, 60), variant});
            }
        }
    }
    sort_by_depth(hills);
    for (const placement& hill : hills) {
        draw_hill(painter, hill);
    }
    sort_by_depth(mountains);
    for (const placement& mountain : mountains) {
        draw_mountain(painter, mountain, mountain.size > 75);
    }
}

void draw_trees(QPainter& painter, const terrain& land, const QImage& farmland, prng& random) {
    std::vector<std::pair<placement, bool>> trees;  // the flag marks conifers
    const int width = land.layout().width, height = land.layout().height;
    for (double y = 4; y < height + 12; y += 9) {
        for (double x = 0; x < width; x += 9) {
            const QPointF foot(x + random.uniform(-4, 4), y + random.uniform(-3, 3));
            const double density = land.forest(foot.x(), foot.y());
            const double e = land.elevation(foot.x(), foot.y());
            const bool wanted =
                random.chance(density * 1.1) || (random.chance(0.004) && e < 0.56 &&
                                                 land.distance_to_site(foot.x(), foot.y()) > 90);
            if (!wanted || !land.is_open_land(foot.x(), foot.y(), 4) ||
                qAlpha(farmland.pixel(std::clamp(int(foot.x()), 0, width - 1),
                                      std::clamp(int(foot.y()), 0, height - 1))) > 0) {
                continue;
            }
            trees.emplace_back(placement{foot, random.uniform(5.0, 8.0), int(random.uniform(0, 4))},
                               random.chance(smoothstep(0.32, 0.55, e) * 0.9 + 0.08));
        }
    }
    std::sort(trees.begin(), trees.end(),
              [](const auto& a, const auto& b) { return a.first.foot.y() < b.first.foot.y(); });
    for (const auto& [tree, conifer] : trees) {
        if (conifer) {
            draw_conifer(painter, tree);
        } else {
            draw_broadleaf(painter, tree);
        }
    }
}

}  // namespace quill::demo
