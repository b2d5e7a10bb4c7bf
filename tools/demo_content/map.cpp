#include "landscape.h"
#include "picture.h"

namespace quill::demo {
namespace {

// The tile borders go over everything, so that the board's squares stay countable even across
// forests and mountains.
void draw_tile_grid(QImage& map) {
    QPainter painter(&map);
    const QColor border(30, 26, 20, 70), bevel(255, 255, 240, 28);
    for (int x = 0; x < map.width(); x += tile_size) {
        painter.fillRect(x, 0, 1, map.height(), border);
        painter.fillRect(x + 1, 0, 1, map.height(), bevel);
    }
    for (int y = 0; y < map.height(); y += tile_size) {
        painter.fillRect(0, y, map.width(), 1, border);
        painter.fillRect(0, y + 1, map.width(), 1, bevel);
    }
    painter.setPen(QPen(QColor(50, 40, 30), 4));
    painter.drawRect(QRectF(2, 2, map.width() - 4, map.height() - 4));
}

}  // namespace

QImage draw_map() {
    const terrain land(plan_layout(map_columns * tile_size, map_rows * tile_size));
    prng random(2024);
    const QImage farmland = plan_farmland(land, random);
    QImage map(land.layout().width, land.layout().height, QImage::Format_RGB32);
    paint_ground(map, land, farmland);
    {
        QPainter painter(&map);
        painter.setRenderHint(QPainter::Antialiasing);
        draw_relief(painter, land, random);
        draw_trees(painter, land, farmland, random);
        draw_settlements(painter, land, random);
    }
    draw_tile_grid(map);
    return map;
}

}  // namespace quill::demo
