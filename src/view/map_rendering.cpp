#include "view/map_rendering.h"

#include <cmath>

#include "state/ui_numbers.h"

namespace quill {

namespace {

constexpr rgb magenta{255, 0, 255};
constexpr rgb white{255, 255, 255};
constexpr rgb red{255, 0, 0};
constexpr rgb black{0, 0, 0};
constexpr int64_t marker_lifetime_ms = 3000;

void draw_layer(drawing& canvas, const item_list<map_item>& items,
                const item_list<catalogue_entry>& catalogue) {
    for (const map_item& item : items) {
        if (catalogue.contains(item.catalogue_index)) {
            canvas.draw_picture(catalogue[item.catalogue_index].image, item.x, item.y);
        }
    }
}

int round_half_even(double value) { return static_cast<int>(std::lrint(value)); }

// The marker swings away from the marked point and back once a second while a red ring grows
// from it, and keeps its own size on the screen at every zoom.
void draw_marker(drawing& canvas, game_state& state, int64_t now) {
    ping_marker& marker = state.marker;
    const int64_t elapsed = now - marker.start_time;
    if (elapsed > marker_lifetime_ms) {
        marker.active = false;
    }
    const int k = static_cast<int>((elapsed % 500) / 20);
    const int d = (elapsed / 500) % 2 != 0 ? 25 - k : k;
    const int zoom = state.level.zoom;
    if (zoom > 0) {
        canvas.draw_picture_scaled(marker.image, marker.x + d, marker.y + d,
                                   marker.width * 100 / zoom, marker.height * 100 / zoom);
    }
    canvas.set_mode(draw_mode::outline);
    const int r = static_cast<int>((elapsed % 1000) / 20);
    for (int ring = 0; ring < 5; ++ring) {
        const double shift = ring * 0.5;
        canvas.draw_circle(round_half_even(marker.x - shift), round_half_even(marker.y - shift),
                           round_half_even(r + shift), red);
    }
}

void draw_hover_label(drawing& canvas, const game_state& state, platform& system) {
    const std::string& text = state.hover.text;
    const int tw = canvas.text_width(text);
    const int th = canvas.text_height(text);
    int bx = state.hover.x;
    int by = state.hover.y;
    const int inner_width = system.inner_width(ui::main_window);
    const int inner_height = system.inner_height(ui::main_window);
    const int bar = system.menu_bar_height(ui::main_window);
    if (bx + tw + 4 > inner_width) {
        bx = inner_width - tw - 4;
    }
    if (by + th + 4 > inner_height - bar) {
        by = inner_height - th - bar - 4;
    }
    canvas.fill_box(bx, by, tw + 4, th + 4, black);
    canvas.draw_text(bx + 2, by + 2, text);
}

}  // namespace

void compose_map(game_state& state, platform& system) {
    level_info& level = state.level;
    drawing work(system.pictures(), level.work_image);
    work.fill_box(0, 0, level.canvas_width, level.canvas_height, magenta);
    work.draw_picture(level.background, 0, 0);

    work.set_mode(draw_mode::alpha_blend);
    draw_layer(work, state.graves, state.grave_catalogue);
    draw_layer(work, state.transports, state.transport_catalogue);
    draw_layer(work, state.tokens, state.player_catalogue);

    const map_item* dragged = state.transports.current();
    if (state.drag_mode == drag_kind::drag_transport && dragged != nullptr &&
        state.transport_catalogue.contains(dragged->catalogue_index)) {
        work.draw_picture(state.transport_catalogue[dragged->catalogue_index].image, dragged->x,
                          dragged->y);
    }
    if (state.marker.active) {
        draw_marker(work, state, system.milliseconds());
    }
}

void render_map_view(game_state& state, platform& system) {
    level_info& level = state.level;
    if (level.work_image == 0) {
        return;
    }
    compose_map(state, system);

    picture_store& pictures = system.pictures();
    const picture_handle scaled = pictures.copy(level.work_image);
    const int zoom = level.zoom;
    const bool shown = pictures.resize(scaled, pictures.width(scaled) * zoom / 100,
                                       pictures.height(scaled) * zoom / 100, resize_method::fast);

    {
        const std::unique_ptr<drawing> canvas = system.start_canvas_drawing(ui::map_canvas);
        canvas->fill_box(0, 0, level.canvas_width, level.canvas_height, white);
        if (shown) {
            canvas->draw_picture(scaled, -level.view_x * zoom / 100, -level.view_y * zoom / 100);
        }
        if (!state.hover.text.empty()) {
            draw_hover_label(*canvas, state, system);
        }
    }
    pictures.free(scaled);
}

}  // namespace quill
