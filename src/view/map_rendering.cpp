#include "view/map_rendering.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "content/ui_numbers.h"
#include "platform/sampled_drawing.h"
#include "view/map_composition.h"

namespace quill {

namespace {

// The map pixels that nearest-neighbour scaling of a map of map_size pixels to scaled_size
// puts on canvas pixels 0..canvas_size-1 when the scaled map starts at canvas pixel offset;
// first receives the canvas pixel of the first one.
std::vector<int> picked_pixels(int64_t map_size, int64_t scaled_size, int64_t offset,
                               int64_t canvas_size, int& first) {
    const int64_t from = std::max<int64_t>(0, offset);
    const int64_t to = std::min(canvas_size, offset + scaled_size);
    first = static_cast<int>(from);
    std::vector<int> picked;
    if (scaled_size <= 0 || from >= to) {
        return picked;
    }
    picked.reserve(static_cast<size_t>(to - from));
    for (int64_t c = from; c < to; ++c) {
        picked.push_back(static_cast<int>((c - offset) * map_size / scaled_size));
    }
    return picked;
}

}  // namespace

void render_map_view(game_state& state, platform& system) {
    const level_info& level = state.level;
    if (!level.shows_map()) {
        return;
    }
    picture_store& pictures = system.pictures();
    const picture_handle canvas_picture = system.canvas_picture(ui::map_canvas);
    const int64_t zoom = level.zoom;
    const int64_t map_width = pictures.width(level.background);
    const int64_t map_height = pictures.height(level.background);
    int left = 0;
    int top = 0;
    std::vector<int> columns =
        picked_pixels(map_width, map_width * zoom / 100, -int64_t{level.view_x} * zoom / 100,
                      pictures.width(canvas_picture), left);
    std::vector<int> rows =
        picked_pixels(map_height, map_height * zoom / 100, -int64_t{level.view_y} * zoom / 100,
                      pictures.height(canvas_picture), top);

    {
        const std::unique_ptr<drawing> canvas = system.start_canvas_drawing(ui::map_canvas);
        canvas->fill_box(0, 0, level.canvas_width, level.canvas_height, {255, 255, 255});
    }
    // The map pixels the canvas shows are composed straight into their place on it, in the
    // format a full-size working picture would have. That picture's pixels would all be opaque,
    // since the background is drawn over every one of them without blending, so the copy onto
    // the canvas would change no bits and is left out. Composed even when no map pixel is on the
    // canvas: the marker still ages.
    {
        sampled_drawing work(pictures, canvas_picture, left, top, level.background,
                             std::move(columns), std::move(rows));
        compose_map_on(work, state, system);
    }
    // Ending this session shows the finished canvas.
    const std::unique_ptr<drawing> canvas = system.start_canvas_drawing(ui::map_canvas);
    if (!state.hover.text.empty()) {
        draw_hover_label(*canvas, state, system);
    }
}

}  // namespace quill
