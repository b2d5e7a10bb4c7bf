#pragma once

#include <cmath>
#include <cstdint>

#include "platform/drawing.h"
#include "platform/platform.h"
#include "state/game_state.h"

namespace quill {

// What the map view shows, drawn in map pixels on a surface with the operations of `drawing`:
// a full-size picture, or a sampled_drawing that holds only the pixels the canvas shows. Both
// renderers compose through here, so they cannot disagree about what the map is.

inline constexpr rgb map_fill_colour{255, 0, 255};
inline constexpr rgb ring_colour{255, 0, 0};
inline constexpr int64_t marker_lifetime_ms = 3000;

template <typename surface>
void draw_map_layer(surface& work, const item_list<map_item>& items,
                    const item_list<catalogue_entry>& catalogue) {
    for (const map_item& item : items) {
        if (catalogue.contains(item.catalogue_index)) {
            work.draw_picture(catalogue[item.catalogue_index].image, item.x, item.y);
        }
    }
}

// How a map view looks at the map: at a zoom, from the map pixel at its top left corner.
struct map_frame {
    int32_t zoom = 100;
    int32_t view_x = 0;
    int32_t view_y = 0;
};

inline map_frame main_window_frame(const level_info& level) {
    return {level.zoom, level.view_x, level.view_y};
}

// The marker swings away from the marked point and back once a second while a red ring grows
// from it, and keeps its own size on the screen at every zoom of the view it is drawn for.
template <typename surface>
void draw_ping_marker(surface& work, game_state& state, int64_t now, int32_t zoom) {
    ping_marker& marker = state.marker;
    const int64_t elapsed = now - marker.start_time;
    if (elapsed > marker_lifetime_ms) {
        marker.active = false;
    }
    const int k = static_cast<int>((elapsed % 500) / 20);
    const int d = (elapsed / 500) % 2 != 0 ? 25 - k : k;
    if (zoom > 0) {
        work.draw_picture_scaled(marker.image, marker.x + d, marker.y + d,
                                 marker.width * 100 / zoom, marker.height * 100 / zoom);
    }
    work.set_mode(draw_mode::outline);
    const int r = static_cast<int>((elapsed % 1000) / 20);
    for (int ring = 0; ring < 5; ++ring) {
        const double shift = ring * 0.5;
        // lrint rounds halves to the even neighbour.
        work.draw_circle(static_cast<int>(std::lrint(marker.x - shift)),
                         static_cast<int>(std::lrint(marker.y - shift)),
                         static_cast<int>(std::lrint(r + shift)), ring_colour);
    }
}

// The background, without blending, as the ground's last layer. On a surface that holds only
// pixels of the map, as a sample of it does, it covers every one of them, so there it is the
// whole ground: the fill beneath it never shows.
template <typename surface>
void compose_map_background(surface& work, const game_state& state) {
    work.set_mode(draw_mode::solid);
    work.draw_picture(state.level.background, 0, 0);
}

// The map's ground at 100 %: the fill, then the background over it. It depends on nothing but
// the background, the map and canvas sizes, the zoom and the view, so the map view keeps it
// between redraws.
template <typename surface>
void compose_map_ground(surface& work, const game_state& state) {
    const level_info& level = state.level;
    work.fill_box(0, 0, level.canvas_width, level.canvas_height, map_fill_colour);
    compose_map_background(work, state);
}

// What lies on the ground: tombstones, transports and tokens, the dragged transport once more
// on top, and the marker when it runs, sized for a view at the zoom. A second view of the same
// pass draws the marker by what the first saw, since the first may have ended it.
template <typename surface>
void compose_map_items(surface& work, game_state& state, platform& system, int32_t zoom,
                       bool marker_running) {
    work.set_mode(draw_mode::alpha_blend);
    draw_map_layer(work, state.graves, state.grave_catalogue);
    draw_map_layer(work, state.transports, state.transport_catalogue);
    draw_map_layer(work, state.tokens, state.player_catalogue);

    const map_item* dragged = state.transports.current();
    if (state.drag_mode == drag_kind::drag_transport && dragged != nullptr &&
        state.transport_catalogue.contains(dragged->catalogue_index)) {
        work.draw_picture(state.transport_catalogue[dragged->catalogue_index].image, dragged->x,
                          dragged->y);
    }
    if (marker_running) {
        draw_ping_marker(work, state, system.milliseconds(), zoom);
    }
}

template <typename surface>
void compose_map_items(surface& work, game_state& state, platform& system) {
    compose_map_items(work, state, system, state.level.zoom, state.marker.active);
}

// The map at 100 %: the ground, then what lies on it. Walking the lists leaves their current
// elements as they were. Clears marker.active once the marker has been shown for more than
// 3000 ms.
template <typename surface>
void compose_map_on(surface& work, game_state& state, platform& system) {
    compose_map_ground(work, state);
    compose_map_items(work, state, system);
}

// The inscription box near the pointer, in canvas pixels, kept inside the window.
void draw_hover_label(drawing& canvas, const game_state& state, platform& system);

}  // namespace quill
