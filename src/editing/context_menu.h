#pragma once

#include "platform/platform.h"
#include "state/game_state.h"

namespace quill {

// A right click on the map canvas: nothing on a token; the transport menu on a transport (which
// stays the current transport for the command chosen); the question whether to remove it on a
// tombstone; on empty ground the menu for new items, after noting in placement_point the
// top-left corner that centres a new tile-sized item on the clicked map point.
void show_context_menu(game_state& state, platform& system);

}  // namespace quill
