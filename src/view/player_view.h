#pragma once

#include <vector>

#include "platform/platform.h"
#include "state/game_state.h"
#include "view/map_composition.h"

namespace quill {

// The player view: a second window that shows the map to the players at the table, without
// anything of the game master's (menus, pointer, hover label, dialogs). With a second screen it
// fills that screen; with one it is an ordinary window.

inline constexpr const char* player_view_title = "Quillmark – Spieleransicht";

// Opens the player view, or ends it when it is open.
void toggle_player_view(game_state& state, platform& system);
void end_player_view(game_state& state, platform& system);
void toggle_player_view_following(game_state& state, platform& system);
// Fits the canvas to the player view's window after a resize.
void fit_player_view(game_state& state, platform& system);
// Ticks the menu items as the player view is.
void show_player_view_items(platform& system, const player_view_state& view);

// Where a player view of that size looks at the map: following, at the main window's zoom around
// the middle of its view, kept on the map where the map is larger than the view; otherwise the
// whole map in the middle, at the largest zoom from 25 to 100 that fits it, or at 25 around the
// map's middle when none does.
map_frame player_view_frame(const game_state& state, int width, int height);

// The screen the player view fills: the first that does not hold the main window; -1 when there
// is no other.
int table_screen(const std::vector<screen_area>& screens, int main_screen);

// Draws the player view when it is open. marker_running: whether the main view's redraw of the
// same pass drew the marker.
void render_player_view(game_state& state, platform& system, bool marker_running);

}  // namespace quill
