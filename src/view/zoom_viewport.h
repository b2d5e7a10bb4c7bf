#pragma once

#include "platform/platform.h"
#include "state/game_rules.h"
#include "state/game_state.h"

namespace quill {

enum class zoom_mode { zoom_reset, zoom_out, zoom_in };
enum class axis { x, y };

// Every zoom command marks the game as changed, also when the zoom stays as it was: the zoom
// is part of a saved game.
void zoom_view(game_state& state, zoom_mode mode);

// Fits the map canvas to the main window after a resize.
void resize_canvas(game_state& state, platform& system);

// Moves the view by the pointer's movement since the last call, in map pixels one to one.
void pan_view(game_state& state, platform& system);

// A pointer coordinate in window pixels converted to map pixels.
int32_t window_to_map(const game_state& state, platform& system, int32_t value, axis along);

}  // namespace quill
