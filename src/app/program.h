#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/platform.h"
#include "state/game_state.h"

namespace quill {

class live_map;

inline constexpr int main_window_x = 220;
inline constexpr int main_window_y = 0;
inline constexpr int main_window_inner_width = 1286;
inline constexpr int main_window_inner_height = 800;

// The whole run: start-up, the event loop, the exit steps. Returns the process exit code.
// A party file, when given, is opened after start-up as "Spiel laden" would open it.
int run_program(platform& system, game_state& state, const std::string& party_file = {});

// False when the main window could not be opened (the user has been told).
bool start_up(game_state& state, platform& system);

// One pass of the event loop: draw the map once, wait for one event (or until wake_at, when
// something is due then), dispatch it. False when the event ended the loop.
// The live map, when there is one, takes the command that shares the game.
bool run_one_pass(game_state& state, platform& system,
                  std::optional<int64_t> wake_at = std::nullopt, live_map* live = nullptr);

// Draws the main window's map view and the player view, when open.
void render_views(game_state& state, platform& system);

// Dispatches one event and keeps the undo history: an action that changed the game becomes one
// step once it is over.
void dispatch_event(game_state& state, platform& system, const window_event& event,
                    live_map* live = nullptr);
void dispatch_command(game_state& state, platform& system, int id, live_map* live = nullptr);

// Asks to save an unsaved game before the program ends. False when the user chose to save and
// the save failed: the program then goes on with the game as it was, rather than losing it.
bool run_exit_steps(game_state& state, platform& system);

}  // namespace quill
