#pragma once

#include "platform/platform.h"
#include "state/game_state.h"

namespace quill {

// The map view drawn the long way, as two literal stages: the whole map composed at 100 % onto
// work_image, then a full copy of it scaled to the zoom by the fast method and drawn at the view
// offset, then the label box. Its cost grows with the map; it stays as the measure that
// render_map_view is tested and timed against. work_image is the caller's picture of the
// background's size and format (a copy of the background will do); it is overwritten. Nothing is
// drawn while there is no map to show.
void render_map_view_reference(game_state& state, platform& system, picture_handle work_image);

}  // namespace quill
