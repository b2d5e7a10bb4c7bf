#pragma once

#include <QImage>
#include <QPainter>
#include <QPointF>
#include <QSizeF>

#include <cstddef>
#include <vector>

#include "random.h"

namespace quill::demo {

// A river or a road as a dense line of points, each with the half width of the course there.
struct course {
    std::vector<QPointF> points;
    std::vector<double> half_widths;
};

enum class site_kind { village, hamlet, castle, tower };

struct site {
    QPointF centre;
    site_kind kind;
};

// The hand-made geography of the demo level; noise only adds the detail.
struct map_layout {
    int width = 0;
    int height = 0;
    std::vector<course> rivers;
    QPointF lake_centre;
    QSizeF lake_radii;
    std::vector<course> roads;
    std::vector<site> sites;
    std::vector<QPointF> ranges;  // centres of the mountain ranges
};

map_layout plan_layout(int width, int height);

// Per map pixel, the distance to the nearest of some courses, exact up to a margin.
struct course_field {
    int width = 0;
    std::vector<float> distance;
    std::vector<float> along;       // arc length of the nearest course point
    std::vector<float> half_width;  // of the nearest course there

    std::size_t index(int x, int y) const { return std::size_t(y) * width + x; }
};

course_field trace_courses(const std::vector<course>& courses, int width, int height, float margin);

// The smooth fields the map is painted from. Elevation, moisture, forest and the lake shape
// are sampled on a coarse grid and interpolated, since they change slowly.
class terrain {
public:
    explicit terrain(const map_layout& layout);

    const map_layout& layout() const { return layout_; }
    const course_field& river() const { return river_; }
    const course_field& roads() const { return roads_; }

    double elevation(double x, double y) const { return sample(elevation_, x, y); }
    double moisture(double x, double y) const { return sample(moisture_, x, y); }
    double forest(double x, double y) const { return sample(forest_, x, y); }
    double lake(double x, double y) const { return sample(lake_, x, y); }  // below 1 is water
    double detail(double x, double y) const { return detail_noise_.fractal(x / 9, y / 9, 3); }

    // Room for a tree or a house: dry and off the roads, with the given clearance around,
    // which must stay below the margin of the road field.
    bool is_open_land(double x, double y, double clearance) const;
    double distance_to_site(double x, double y) const;

private:
    static constexpr int step = 4;
    double sample(const std::vector<float>& grid, double x, double y) const;

    map_layout layout_;
    course_field river_;
    course_field roads_;
    value_noise detail_noise_{101};
    int grid_width_;
    int grid_height_;
    std::vector<float> elevation_, moisture_, forest_, lake_;
};

// Every pixel of the ground: meadows, forest floor, hills and rock, the river and the lake with
// their banks, roads and bridges. The farmland layer shows through where it is not transparent.
void paint_ground(QImage& map, const terrain& land, const QImage& farmland);

// Fields around the villages, as a layer for the ground painter.
QImage plan_farmland(const terrain& land, prng& random);

// Mountains and hills where the land rises.
void draw_relief(QPainter& painter, const terrain& land, prng& random);

// Woods where the forest field is dense and a few lone trees; farmland and villages stay clear.
void draw_trees(QPainter& painter, const terrain& land, const QImage& farmland, prng& random);

// Houses, churches, the castle and the watchtower at the layout's sites.
void draw_settlements(QPainter& painter, const terrain& land, prng& random);

}  // namespace quill::demo
