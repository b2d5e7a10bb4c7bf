#include "view/dragging.h"

#include <algorithm>

#include "content/ui_numbers.h"
#include "view/convoy_linking.h"
#include "view/hit_testing.h"
#include "view/transport_convoy.h"
#include "view/zoom_viewport.h"

namespace quill {

namespace {

// Only the first limit that applies takes effect: an item dragged past the right edge of a
// zoomed-out view is held by the visible area, not by the map.
int32_t limit_to_view(int32_t value, int32_t view, int32_t canvas_size, int32_t zoom,
                      int32_t map_size, int32_t box) {
    if (value < view) {
        return view;
    }
    const int32_t visible_end = view + canvas_size * 100 / zoom - box;
    if (value > visible_end) {
        return visible_end;
    }
    if (value > map_size - box) {
        return map_size - box;
    }
    return value;
}

void show_inscription(game_state& state, platform& system, const map_item& item) {
    state.hover.text = label_text(state, item.label);
    state.hover.x = system.mouse_x(ui::main_window);
    state.hover.y = system.mouse_y(ui::main_window);
}

void update_hover(game_state& state, platform& system) {
    if (hit_item(state, system, state.graves)) {
        show_inscription(state, system, *state.graves.current());
    } else if (hit_item(state, system, state.transports)) {
        show_inscription(state, system, *state.transports.current());
    } else {
        state.hover.text.clear();
    }
}

// A transport dropped onto a token joins its convoy; dropped onto a carried transport it joins
// that transport's convoy.
void drop_transport(game_state& state, platform& system) {
    const int dropped = state.transports.current_position();
    show_inscription(state, system, state.transports[dropped]);
    if (hit_token(state, system)) {
        attach_transport_to_current_token(state, system);
        return;
    }
    if (!hit_item_other_than(state, system, state.transports, dropped)) {
        return;
    }
    const map_item* target = state.transports.current();
    map_item* carrier = carrier_of(state, *target);
    if (carrier == nullptr) {
        return;
    }
    state.tokens.select(target->links[0] - 1);
    state.transports.select(dropped);
    attach_transport_to_current_token(state, system);
}

bool pointer_in_window(platform& system) {
    return system.mouse_x(ui::main_window) != -1 && system.mouse_y(ui::main_window) != -1;
}

}  // namespace

void follow_pointer(game_state& state, platform& system, map_item& item, item_box box) {
    state.state_modified = true;
    const level_info& level = state.level;
    const bool token = box == item_box::token;
    const int32_t w = token ? level.playersize : level.tile_x;
    const int32_t h = token ? level.playersize : level.tile_y;
    const int32_t px = system.mouse_x(ui::main_window);
    const int32_t py = system.mouse_y(ui::main_window);
    if (px == -1 || py == -1) {
        return;
    }
    const int32_t zoom = std::max(level.zoom, 1);
    const int32_t x = window_to_map(state, system, px, axis::x) - w / 2;
    const int32_t y = window_to_map(state, system, py, axis::y) - h / 2;
    item.x = limit_to_view(x, level.view_x, level.canvas_width, zoom, level.map_width, w);
    item.y = limit_to_view(y, level.view_y, level.canvas_height, zoom, level.map_height, h);
}

void canvas_left_down(game_state& state, platform& system) {
    if (hit_token(state, system)) {
        state.drag_mode = drag_kind::drag_token;
    } else if (hit_item(state, system, state.transports)) {
        // Picking up a carried transport takes it out of its convoy at once.
        detach_transport(state, detached_place::keep_place);
        state.drag_mode = drag_kind::drag_transport;
    } else if (hit_item(state, system, state.graves)) {
        state.drag_mode = drag_kind::drag_grave;
    } else {
        state.drag_mode = drag_kind::drag_pan;
        state.drag_anchor = {system.mouse_x(ui::main_window), system.mouse_y(ui::main_window)};
    }
}

void canvas_mouse_move(game_state& state, platform& system) {
    switch (state.drag_mode) {
        case drag_kind::drag_none:
            update_hover(state, system);
            break;
        case drag_kind::drag_token:
            if (map_item* token = state.tokens.current()) {
                follow_pointer(state, system, *token, item_box::token);
                record_trail_point(state, state.tokens.current_position());
            }
            break;
        case drag_kind::drag_grave:
            if (map_item* grave = state.graves.current()) {
                follow_pointer(state, system, *grave, item_box::tile);
            }
            break;
        case drag_kind::drag_pan:
            pan_view(state, system);
            break;
        case drag_kind::drag_transport:
            if (map_item* transport = state.transports.current()) {
                follow_pointer(state, system, *transport, item_box::tile);
            }
            break;
    }
}

void canvas_left_up(game_state& state, platform& system) {
    // Outside the window the pointer has no place on the map: what was dragged stays where it
    // was last drawn, joins no convoy and shows no inscription at the window's corner.
    if (!pointer_in_window(system)) {
        end_drag_in_place(state);
        return;
    }
    if (state.drag_mode == drag_kind::drag_transport && state.transports.current() != nullptr) {
        drop_transport(state, system);
    } else if (state.drag_mode == drag_kind::drag_grave && state.graves.current() != nullptr) {
        show_inscription(state, system, *state.graves.current());
    }
    state.drag_mode = drag_kind::drag_none;
}

void end_drag_in_place(game_state& state) {
    state.drag_mode = drag_kind::drag_none;
}

void canvas_double_click(game_state& state, platform& system) {
    ping_marker& marker = state.marker;
    marker.x = window_to_map(state, system, system.mouse_x(ui::main_window), axis::x);
    marker.y = window_to_map(state, system, system.mouse_y(ui::main_window), axis::y);
    marker.active = true;
    marker.start_time = system.milliseconds();
}

}  // namespace quill
