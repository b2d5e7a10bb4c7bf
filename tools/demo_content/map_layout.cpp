#include <QLineF>

#include <algorithm>
#include <cmath>

#include "landscape.h"

namespace quill::demo {
namespace {

QPointF catmull_rom(QPointF p0, QPointF p1, QPointF p2, QPointF p3, double t) {
    const double t2 = t * t, t3 = t2 * t;
    return 0.5 * ((2 * p1) + (-p0 + p2) * t + (2 * p0 - 5 * p1 + 4 * p2 - p3) * t2 +
                  (-p0 + 3 * p1 - 3 * p2 + p3) * t3);
}

// Curves through the waypoints, then wanders sideways by noise so that nothing looks ruled;
// the ends stay put, so roads still meet their villages.
course wander(const std::vector<QPointF>& waypoints, double start_width, double end_width,
              double amplitude, const value_noise& noise, double noise_offset) {
    std::vector<QPointF> smooth;
    for (std::size_t i = 0; i + 1 < waypoints.size(); ++i) {
        const QPointF p0 = waypoints[i == 0 ? 0 : i - 1];
        const QPointF p3 = waypoints[std::min(i + 2, waypoints.size() - 1)];
        const int steps = std::max(2, int(QLineF(waypoints[i], waypoints[i + 1]).length() / 8));
        for (int step = 0; step < steps; ++step) {
            smooth.push_back(
                catmull_rom(p0, waypoints[i], waypoints[i + 1], p3, double(step) / steps));
        }
    }
    smooth.push_back(waypoints.back());

    std::vector<double> arc(smooth.size(), 0.0);
    for (std::size_t i = 1; i < smooth.size(); ++i) {
        arc[i] = arc[i - 1] + QLineF(smooth[i - 1], smooth[i]).length();
    }
    const double length = arc.back();
    course result;
    for (std::size_t i = 0; i < smooth.size(); ++i) {
        const QPointF before = smooth[i == 0 ? 0 : i - 1];
        const QPointF after = smooth[std::min(i + 1, smooth.size() - 1)];
        QPointF normal(before.y() - after.y(), after.x() - before.x());
        normal /= std::max(1e-6, std::hypot(normal.x(), normal.y()));
        const double taper = std::min({1.0, arc[i] / 200, (length - arc[i]) / 200});
        const double shift = (noise.fractal(arc[i] / 260 + noise_offset, noise_offset, 3) - 0.5);
        result.points.push_back(smooth[i] + normal * (2 * amplitude * shift * taper));
        result.half_widths.push_back(start_width + (end_width - start_width) * arc[i] / length);
    }
    return result;
}

}  // namespace

map_layout plan_layout(int width, int height) {
    const value_noise noise(7);
    auto at = [&](double fx, double fy) { return QPointF(fx * width, fy * height); };
    map_layout layout;
    layout.width = width;
    layout.height = height;
    layout.lake_centre = at(0.665, 0.615);
    layout.lake_radii = QSizeF(0.095 * width, 0.1 * height);

    layout.rivers.push_back(wander({at(0.35, -0.02), at(0.34, 0.12), at(0.38, 0.24), at(0.45, 0.33),
                                    at(0.5, 0.44), at(0.57, 0.52), layout.lake_centre},
                                   10, 16, 50, noise, 3.0));
    layout.rivers.push_back(
        wander({layout.lake_centre, at(0.74, 0.72), at(0.78, 0.82), at(0.77, 0.92), at(0.8, 1.02)},
               16, 20, 40, noise, 11.0));

    const QPointF castle = at(0.2, 0.43), north_village = at(0.12, 0.16),
                  river_village = at(0.5, 0.21), east_village = at(0.86, 0.45),
                  south_village = at(0.34, 0.8), hamlet = at(0.6, 0.86), tower = at(0.92, 0.84);
    layout.sites = {{castle, site_kind::castle},
                    {north_village, site_kind::village},
                    {river_village, site_kind::village},
                    {east_village, site_kind::village},
                    {south_village, site_kind::village},
                    {hamlet, site_kind::hamlet},
                    {tower, site_kind::tower}};

    const std::vector<std::vector<QPointF>> roads = {
        {at(-0.01, 0.47), at(0.08, 0.46), castle},
        {castle, at(0.15, 0.3), north_village},
        {north_village, at(0.25, 0.2), at(0.36, 0.18), river_village},
        {river_village, at(0.62, 0.28), at(0.76, 0.36), east_village, at(1.01, 0.5)},
        {castle, at(0.27, 0.6), south_village},
        {south_village, at(0.47, 0.86), hamlet, at(0.7, 0.9), at(0.82, 0.87), tower},
        {east_village, at(0.88, 0.6), at(0.9, 0.72), tower},
        {south_village, at(0.33, 0.92), at(0.35, 1.01)},
    };
    double offset = 20;
    for (const auto& waypoints : roads) {
        layout.roads.push_back(wander(waypoints, 4.5, 4.5, 22, noise, offset += 7.3));
    }
    layout.ranges = {at(0.85, 0.12), at(0.07, 0.78), at(0.62, 0.05)};
    return layout;
}

}  // namespace quill::demo
