#pragma once

#include "platform/platform.h"
#include "state/game_state.h"
#include "view/map_composition.h"

namespace quill {

// Draws the map view on the map canvas from the game state: the map with its tombstones,
// transports and tokens at the zoom and view offset, the double-click marker and the hover
// label box. Nothing is drawn while there is no map to show. Clears marker.active
// once the marker has been shown for more than 3000 ms.
//
// The canvas comes out pixel for pixel as if the whole map (the background with everything on
// it) were composed at 100 % and a copy scaled to the zoom by nearest neighbour, but only the
// map pixels the canvas shows are ever composed, straight onto the canvas: the cost and the
// memory follow the canvas, not the map. The map's ground (the background, which covers the
// fill on every pixel the canvas shows) is kept in state.view_memory between redraws and moved
// along when the view pans; after a zoom step or a resize it is composed anew, its rows shared
// with a second thread. A redraw that would change nothing on the canvas (same inputs, same
// canvas pixels, no marker running) is left out.
void render_map_view(game_state& state, platform& system);

// The same map on another canvas, without the hover label: at the frame's zoom and view, with
// the marker when marker_running, cleared white around the map, kept in memory between
// redraws as the main view keeps its own.
void render_map_frame(game_state& state, platform& system, int control, const map_frame& frame,
                      bool marker_running, map_view_memory& memory);

}  // namespace quill
