#pragma once

#include "platform/platform.h"
#include "state/game_state.h"

namespace quill {

// The mouse on the map canvas: what a press picks up, what a move drags (or which inscription
// it shows), what a release drops and where a double click sets the marker.
void canvas_left_down(game_state& state, platform& system);
void canvas_mouse_move(game_state& state, platform& system);
void canvas_left_up(game_state& state, platform& system);
void canvas_double_click(game_state& state, platform& system);

// Ends a drag with the item where it is now, as a release outside the window does: nothing joins
// a convoy and no inscription shows. A popup menu or a modal window takes the button's release
// for itself, and no command may act while an item still hangs on the pointer.
void end_drag_in_place(game_state& state);

// The box an item is centred and held by: a token's is playersize square, a tombstone's or a
// transport's one tile.
enum class item_box { token, tile };

// Centres the item's box under the pointer, kept inside the visible part of the map; a pointer
// outside the window leaves it where it is. Always marks the game as changed.
void follow_pointer(game_state& state, platform& system, map_item& item, item_box box);

}  // namespace quill
