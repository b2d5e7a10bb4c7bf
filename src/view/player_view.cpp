#include "view/player_view.h"

#include <algorithm>

#include "content/ui_numbers.h"
#include "view/map_rendering.h"

namespace quill {

namespace {

constexpr int lowest_zoom = 25;
constexpr int highest_zoom = 100;
// The ordinary window's inner size, when the screen allows.
constexpr int window_width = 1280;
constexpr int window_height = 720;

// The view offset along one axis when following: the main view's middle in the middle, held on
// the map as panning holds the main view.
int32_t following_offset(int32_t view, int32_t main_size, int32_t size, int32_t map_size,
                         int32_t zoom) {
    const int64_t span = int64_t{size} * 100 / zoom;
    const int64_t middle = view + int64_t{main_size} * 100 / zoom / 2;
    if (span >= map_size) {
        return 0;
    }
    return static_cast<int32_t>(std::clamp<int64_t>(middle - span / 2, 0, map_size - span));
}

// The map's middle in the view's middle; a map smaller than the view lies inside it.
int32_t centred_offset(int32_t size, int32_t map_size, int32_t zoom) {
    return static_cast<int32_t>(int64_t{map_size} / 2 - int64_t{size} * 100 / zoom / 2);
}

void open_player_view(game_state& state, platform& system) {
    const std::vector<screen_area> screens = system.screens();
    const int table = table_screen(screens, system.screen_of(ui::main_window));
    bool opened = false;
    if (table >= 0) {
        const screen_area& area = screens[static_cast<size_t>(table)];
        opened = system.open_window(ui::player_view_window, area.x, area.y, area.width, area.height,
                                    player_view_title, window_style::full_screen, -1);
    } else {
        const screen_area& area = screens.front();
        const int width = std::max(1, std::min(window_width, area.width * 3 / 4));
        const int height = std::max(1, std::min(window_height, area.height * 3 / 4));
        opened = system.open_window(ui::player_view_window, area.x + (area.width - width) / 2,
                                    area.y + (area.height - height) / 2, width, height,
                                    player_view_title, window_style::viewer, -1);
    }
    if (!opened) {
        return;
    }
    system.create_canvas(ui::player_view_window, ui::player_view_canvas, 0, 0,
                         system.inner_width(ui::player_view_window),
                         system.inner_height(ui::player_view_window), false);
    system.add_shortcut(ui::player_view_window, 0, shortcut_key::f11, ui::player_view_item);
    system.add_shortcut(ui::player_view_window, 0, shortcut_key::escape, ui::player_view_escape);
    state.player_view.open = true;
    // On the table's screen the game master's keys still go to the main window.
    if (table >= 0) {
        system.activate_window(ui::main_window);
    }
}

}  // namespace

void toggle_player_view(game_state& state, platform& system) {
    if (state.player_view.open) {
        end_player_view(state, system);
    } else {
        open_player_view(state, system);
    }
    show_player_view_items(system, state.player_view);
}

void end_player_view(game_state& state, platform& system) {
    if (!state.player_view.open) {
        return;
    }
    system.close_window(ui::player_view_window);
    system.pictures().free(state.player_view.memory.ground);
    state.player_view.memory = {};
    state.player_view.open = false;
    show_player_view_items(system, state.player_view);
}

void toggle_player_view_following(game_state& state, platform& system) {
    state.player_view.following = !state.player_view.following;
    show_player_view_items(system, state.player_view);
}

void fit_player_view(game_state& state, platform& system) {
    if (state.player_view.open) {
        system.move_control(ui::player_view_canvas, 0, 0,
                            system.inner_width(ui::player_view_window),
                            system.inner_height(ui::player_view_window));
    }
}

void show_player_view_items(platform& system, const player_view_state& view) {
    system.set_menu_item_checked(ui::player_view_item, view.open);
    system.set_menu_item_checked(ui::player_view_follows_item, view.following);
}

map_frame player_view_frame(const game_state& state, int width, int height) {
    const level_info& level = state.level;
    if (state.player_view.following && level.zoom > 0) {
        return {
            level.zoom,
            following_offset(level.view_x, level.canvas_width, width, level.map_width, level.zoom),
            following_offset(level.view_y, level.canvas_height, height, level.map_height,
                             level.zoom)};
    }
    int32_t zoom = highest_zoom;
    while (zoom > lowest_zoom && (int64_t{level.map_width} * zoom / 100 > width ||
                                  int64_t{level.map_height} * zoom / 100 > height)) {
        --zoom;
    }
    return {zoom, centred_offset(width, level.map_width, zoom),
            centred_offset(height, level.map_height, zoom)};
}

int table_screen(const std::vector<screen_area>& screens, int main_screen) {
    for (size_t i = 0; i < screens.size(); ++i) {
        if (static_cast<int>(i) != main_screen) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

void render_player_view(game_state& state, platform& system, bool marker_running) {
    if (!state.player_view.open) {
        return;
    }
    const map_frame frame = player_view_frame(state, system.inner_width(ui::player_view_window),
                                              system.inner_height(ui::player_view_window));
    render_map_frame(state, system, ui::player_view_canvas, frame, marker_running,
                     state.player_view.memory);
}

}  // namespace quill
