#include "bench_scene.h"

#include <algorithm>
#include <fstream>
#include <random>
#include <string>

#include <QImage>

#include "app/program.h"

namespace quill::bench {

namespace {

// A picture with a solid middle and a fading rim, so that blending does real work.
picture_handle soft_picture(picture_store& pictures, int size, QRgb colour) {
    QImage image(size, size, QImage::Format_ARGB32);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const int rim = std::min(std::min(x, y), std::min(size - 1 - x, size - 1 - y));
            const int alpha = std::min(255, rim * 40);
            image.setPixel(x, y, qRgba(qRed(colour), qGreen(colour), qBlue(colour), alpha));
        }
    }
    return pictures.adopt(std::move(image));
}

picture_handle patterned_background(picture_store& pictures, int side) {
    QImage image(side, side, QImage::Format_RGB32);
    for (int y = 0; y < side; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < side; ++x) {
            line[x] = qRgb((x / 7) & 0xff, (y / 5) & 0xff, ((x ^ y) >> 3) & 0xff);
        }
    }
    return pictures.adopt(std::move(image));
}

// Items gather in the part of the map the view shows, as they do in a game.
map_item item_at(std::mt19937& random, int low, int high, int size, int kind) {
    std::uniform_int_distribution<int> place(low, std::max(low, high - size));
    map_item item;
    item.x = place(random);
    item.y = place(random);
    item.catalogue_index = kind;
    return item;
}

}  // namespace

void open_main_window(scripted_platform& system, level_info& level) {
    system.open_window(0, main_window_x, main_window_y, main_window_inner_width,
                       main_window_inner_height, "Quillmark", window_style::main_window, -1);
    system.create_menu_bar(0);
    system.create_canvas(0, 0, 0, 0, canvas_width, canvas_height, true);
    level.canvas_width = canvas_width;
    level.canvas_height = canvas_height;
}

bench_scene::bench_scene(int side) {
    picture_store& pictures = system.pictures();
    level_info& level = state.level;
    open_main_window(system, level);
    level.background = patterned_background(pictures, side);
    level.map_width = side;
    level.map_height = side;
    level.zoom = 100;
    level.tile_x = level.tile_y = tile;
    level.playersize = token_size;
    for (int i = 0; i < token_count; ++i) {
        state.player_catalogue.add(
            {"p", "p", soft_picture(pictures, token_size, qRgb(40 * i, 0, 200)), ""});
    }
    state.grave_catalogue.add({"g", "g", soft_picture(pictures, tile, qRgb(90, 90, 90)), ""});
    state.transport_catalogue.add({"t", "t", soft_picture(pictures, tile, qRgb(160, 90, 20)), ""});

    const int low = 0;
    const int high = std::min(side, 3000);
    std::mt19937 random(7);
    for (int i = 0; i < grave_count; ++i) {
        state.graves.add(item_at(random, low, high, tile, 0));
    }
    for (int i = 0; i < transport_count; ++i) {
        state.transports.add(item_at(random, low, high, tile, 0));
    }
    for (int i = 0; i < token_count; ++i) {
        state.tokens.add(item_at(random, low, high, token_size, i));
        state.token_trails.add({});
    }
}

namespace {

long status_kib(const std::string& field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field, 0) == 0) {
            return std::stol(line.substr(field.size()));
        }
    }
    return 0;
}

}  // namespace

long resident_kib() {
    return status_kib("VmRSS:");
}

long peak_resident_kib() {
    return status_kib("VmHWM:");
}

void reset_peak_resident() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

}  // namespace quill::bench
