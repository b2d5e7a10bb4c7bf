#include <algorithm>
#include <cmath>
#include <limits>

#include "landscape.h"

namespace quill::demo {

course_field trace_courses(const std::vector<course>& courses, int width, int height,
                           float margin) {
    course_field field;
    field.width = width;
    field.distance.assign(std::size_t(width) * height, margin);
    field.along.assign(field.distance.size(), 0.0f);
    field.half_width.assign(field.distance.size(), 0.0f);
    // Each segment only touches the pixels of its box grown by the margin.
    for (const course& line : courses) {
        double arc = 0;
        for (std::size_t i = 0; i + 1 < line.points.size(); ++i) {
            const QPointF a = line.points[i], ab = line.points[i + 1] - a;
            const double length_squared = std::max(1e-9, QPointF::dotProduct(ab, ab));
            const int x0 = std::max(0, int(std::min(a.x(), a.x() + ab.x()) - margin));
            const int x1 = std::min(width - 1, int(std::max(a.x(), a.x() + ab.x()) + margin));
            const int y0 = std::max(0, int(std::min(a.y(), a.y() + ab.y()) - margin));
            const int y1 = std::min(height - 1, int(std::max(a.y(), a.y() + ab.y()) + margin));
            for (int y = y0; y <= y1; ++y) {
                for (int x = x0; x <= x1; ++x) {
                    const QPointF p(x + 0.5, y + 0.5);
                    const double t =
                        std::clamp(QPointF::dotProduct(p - a, ab) / length_squared, 0.0, 1.0);
                    const QPointF off = p - (a + ab * t);
                    const double d2 = QPointF::dotProduct(off, off);
                    const std::size_t index = field.index(x, y);
                    if (d2 < double(field.distance[index]) * field.distance[index]) {
                        field.distance[index] = float(std::sqrt(d2));
                        field.along[index] = float(arc + t * std::sqrt(length_squared));
                        field.half_width[index] =
                            float(line.half_widths[i] +
                                  t * (line.half_widths[i + 1] - line.half_widths[i]));
                    }
                }
            }
            arc += std::sqrt(length_squared);
        }
    }
    return field;
}

terrain::terrain(const map_layout& layout)
    : layout_(layout),
      river_(trace_courses(layout.rivers, layout.width, layout.height, 240)),
      roads_(trace_courses(layout.roads, layout.width, layout.height, 40)),
      grid_width_(layout.width / step + 2),
      grid_height_(layout.height / step + 2) {
    const value_noise height_noise(11), moisture_noise(23), shore_noise(37);
    const std::size_t cells = std::size_t(grid_width_) * grid_height_;
    for (auto* grid : {&elevation_, &moisture_, &forest_, &lake_}) {
        grid->resize(cells);
    }
    for (int gy = 0; gy < grid_height_; ++gy) {
        for (int gx = 0; gx < grid_width_; ++gx) {
            const double x = gx * step, y = gy * step;
            const std::size_t index = std::size_t(gy) * grid_width_ + gx;
            const double lake =
                std::hypot((x - layout.lake_centre.x()) / layout.lake_radii.width(),
                           (y - layout.lake_centre.y()) / layout.lake_radii.height()) +
                (shore_noise.fractal(x / 160, y / 160, 4) - 0.5) * 0.5;
            const double river = river_.distance[river_.index(std::min(int(x), layout.width - 1),
                                                              std::min(int(y), layout.height - 1))];
            const double site = distance_to_site(x, y);
            // Ranges rise around their centres; valleys open along the water and round the
            // settlements, so that neither ends up among the peaks.
            double e = height_noise.fractal(x / 520, y / 520, 5) * 0.75 - 0.05;
            for (QPointF range : layout.ranges) {
                const double d = std::hypot(x - range.x(), y - range.y());
                e += 0.38 * std::exp(-d * d / (2 * 300.0 * 300.0));
            }
            e -= 0.3 * std::exp(-river * river / (150.0 * 150.0));
            e -= 0.35 * smoothstep(1.9, 1.0, lake);
            e -= 0.35 * std::exp(-site * site / (190.0 * 190.0));
            e = std::clamp(e, 0.0, 1.0);

            const double m = moisture_noise.fractal(x / 320, y / 320, 5);
            const double clearing = 1 - std::exp(-site * site / (150.0 * 150.0));
            elevation_[index] = float(e);
            moisture_[index] = float(m);
            forest_[index] = float(smoothstep(0.47, 0.6, m) * (1 - smoothstep(0.58, 0.68, e)) *
                                   clearing * smoothstep(1.05, 1.3, lake));
            lake_[index] = float(lake);
        }
    }
}

double terrain::sample(const std::vector<float>& grid, double x, double y) const {
    const double gx = std::clamp(x / step, 0.0, grid_width_ - 1.001);
    const double gy = std::clamp(y / step, 0.0, grid_height_ - 1.001);
    const int ix = int(gx), iy = int(gy);
    const double fx = gx - ix, fy = gy - iy;
    const float* row = grid.data() + std::size_t(iy) * grid_width_ + ix;
    const double top = row[0] + (row[1] - row[0]) * fx;
    const double bottom = row[grid_width_] + (row[grid_width_ + 1] - row[grid_width_]) * fx;
    return top + (bottom - top) * fy;
}

bool terrain::is_open_land(double x, double y, double clearance) const {
    if (x < 0 || y < 0 || x >= layout_.width || y >= layout_.height) {
        return false;
    }
    const std::size_t index = river_.index(int(x), int(y));
    return lake(x, y) > 1 + clearance / layout_.lake_radii.height() &&
           river_.distance[index] > river_.half_width[index] + 3 + clearance &&
           roads_.distance[index] > 5 + clearance;
}

double terrain::distance_to_site(double x, double y) const {
    double nearest = std::numeric_limits<double>::max();
    for (const site& place : layout_.sites) {
        nearest = std::min(nearest, std::hypot(x - place.centre.x(), y - place.centre.y()));
    }
    return nearest;
}

}  // namespace quill::demo
