#include "view/zoom_viewport.h"

#include <algorithm>

#include "content/ui_numbers.h"

namespace quill {

namespace {

// A zoom from a damaged party setup file must not divide by zero.
int32_t safe_zoom(const game_state& state) {
    return std::max(state.level.zoom, 1);
}

// One axis of panning: the view follows the pointer while the zoomed map is larger than the
// canvas, and stays within the map.
void pan_axis(int32_t pointer, int32_t canvas_size, int32_t map_size, int32_t zoom, int32_t& view,
              int32_t& anchor) {
    if (canvas_size > map_size * zoom / 100) {
        view = 0;
        return;
    }
    view -= pointer - anchor;
    anchor = pointer;
    const int32_t limit = map_size - canvas_size * 100 / zoom;
    if (view < 0) {
        view = 0;
    } else if (view > limit) {
        view = limit;
    }
}

}  // namespace

void zoom_view(game_state& state, zoom_mode mode) {
    state.state_modified = true;
    int32_t& zoom = state.level.zoom;
    switch (mode) {
        case zoom_mode::zoom_reset:
            zoom = max_zoom;
            break;
        case zoom_mode::zoom_out:
            zoom = std::max(zoom * 90 / 100, min_zoom);
            break;
        case zoom_mode::zoom_in:
            zoom = std::min(zoom * 110 / 100, max_zoom);
            break;
    }
}

void resize_canvas(game_state& state, platform& system) {
    level_info& level = state.level;
    level.canvas_width = system.inner_width(ui::main_window);
    level.canvas_height = system.client_height(ui::main_window);
    system.move_control(ui::map_canvas, platform::keep_value, platform::keep_value,
                        level.canvas_width, level.canvas_height);
    if (level.canvas_width > level.map_width) {
        level.view_x = 0;
    }
    if (level.canvas_height > level.map_height) {
        level.view_y = 0;
    }
}

void pan_view(game_state& state, platform& system) {
    const int32_t px = system.mouse_x(ui::main_window);
    const int32_t py = system.mouse_y(ui::main_window);
    if (px == -1 || py == -1) {
        return;
    }
    level_info& level = state.level;
    const int32_t zoom = safe_zoom(state);
    pan_axis(px, level.canvas_width, level.map_width, zoom, level.view_x, state.drag_anchor.x);
    pan_axis(py, level.canvas_height, level.map_height, zoom, level.view_y, state.drag_anchor.y);
}

int32_t window_to_map(const game_state& state, platform& system, int32_t value, axis along) {
    const screen_point canvas = system.control_position(ui::map_canvas);
    const int32_t zoom = safe_zoom(state);
    if (along == axis::x) {
        return (value - canvas.x) * 100 / zoom + state.level.view_x;
    }
    return (value - canvas.y) * 100 / zoom + state.level.view_y;
}

}  // namespace quill
