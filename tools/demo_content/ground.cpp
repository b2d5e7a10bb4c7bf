#include <algorithm>
#include <cmath>

#include "landscape.h"

namespace quill::demo {
namespace {

struct colour {
    double r, g, b;
};

colour mix(colour a, colour b, double t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

colour scale(colour c, double factor) {
    return {c.r * factor, c.g * factor, c.b * factor};
}

QRgb pack(colour c) {
    return qRgb(std::clamp(int(c.r), 0, 255), std::clamp(int(c.g), 0, 255),
                std::clamp(int(c.b), 0, 255));
}

constexpr colour dry_grass{164, 178, 96}, lush_grass{100, 152, 70}, forest_floor{70, 112, 54},
    hill_grass{146, 150, 94}, rock{152, 144, 130}, sand{200, 184, 132},
    shallow_water{112, 172, 212}, deep_water{44, 96, 164}, road{206, 182, 130},
    road_edge{140, 112, 76}, planks{156, 110, 64}, rails{96, 64, 38};

colour land_colour(const terrain& land, double x, double y, double texture) {
    const double e = land.elevation(x, y);
    colour c = mix(dry_grass, lush_grass, smoothstep(0.3, 0.7, land.moisture(x, y)));
    c = mix(c, forest_floor, 0.85 * land.forest(x, y));
    c = mix(c, hill_grass, smoothstep(0.54, 0.66, e));
    c = mix(c, rock, smoothstep(0.66, 0.76, e));
    // Light from the upper left lets hills and ranges stand out.
    const double slope = land.elevation(x - 4, y - 4) - land.elevation(x + 4, y + 4);
    return scale(c, (1 + std::clamp(slope * 8, -0.12, 0.12)) * (0.9 + 0.2 * texture));
}

colour water_colour(double depth, double texture) {
    return scale(mix(shallow_water, deep_water, std::clamp(depth, 0.0, 1.0)), 0.95 + 0.1 * texture);
}

}  // namespace

void paint_ground(QImage& map, const terrain& land, const QImage& farmland) {
    const course_field& river = land.river();
    const course_field& roads = land.roads();
    const double lake_band = 6.0 / land.layout().lake_radii.height();
    for (int y = 0; y < map.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(map.scanLine(y));
        const auto* crops = reinterpret_cast<const QRgb*>(farmland.constScanLine(y));
        for (int x = 0; x < map.width(); ++x) {
            const std::size_t index = river.index(x, y);
            const double texture = land.detail(x, y);
            colour c = land_colour(land, x, y, texture);
            if (const int alpha = qAlpha(crops[x]); alpha > 0) {
                const colour crop{double(qRed(crops[x])), double(qGreen(crops[x])),
                                  double(qBlue(crops[x]))};
                c = mix(c, scale(crop, 255.0 / alpha * (0.92 + 0.16 * texture)), alpha / 255.0);
            }

            const double lake = land.lake(x, y);
            const double bank = river.distance[index] - river.half_width[index];
            bool water = false;
            if (lake < 1 || bank < 0) {
                water = true;
                // The river's deep channel fades out as it runs into the lake.
                const double channel = -bank / river.half_width[index] * smoothstep(0.7, 1.0, lake);
                c = water_colour(std::max({(1 - lake) * 3.5, channel, lake < 1 ? 0.15 : 0.0}),
                                 texture);
            } else if (lake < 1 + lake_band || bank < 3) {
                c = scale(sand, 0.9 + 0.2 * texture);
            } else {
                const double wet = std::min(lake - 1 - lake_band, (bank - 3) / 30);
                c = scale(c, 0.86 + 0.14 * std::clamp(wet * 4, 0.0, 1.0));
            }

            const double way = roads.distance[index] - roads.half_width[index];
            if (water && way < 2.5) {
                const bool seam = std::fmod(roads.along[index], 5.0) < 1.0;
                c = way > 0.5 ? rails : scale(planks, seam ? 0.7 : 0.95 + 0.1 * texture);
            } else if (!water && way < 0) {
                c = scale(road, 0.88 + 0.24 * texture);
            } else if (!water && way < 1.5) {
                c = mix(road_edge, c, way / 1.5);
            }
            line[x] = pack(c);
        }
    }
}

}  // namespace quill::demo
