#pragma once

#include "platform/platform.h"
#include "state/game_state.h"

namespace quill {

// Draws the map view on the map canvas from the game state: the map with its tombstones,
// transports and tokens at the zoom and view offset, the double-click marker and the hover
// label box. Nothing is drawn while there is no level (work_image 0). Clears marker.active
// once the marker has been shown for more than 3000 ms.
void render_map_view(game_state& state, platform& system);

// The first stage alone: the map composed at 100 % onto level.work_image.
void compose_map(game_state& state, platform& system);

}  // namespace quill
