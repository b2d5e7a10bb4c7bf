#pragma once

#include "platform/platform.h"
#include "state/game_state.h"

namespace quill {

// Whether the pointer lies inside a token's box (edges excluded). The last token in the list,
// the one drawn on top, is found first and becomes current; on a miss the first is current.
bool hit_token(game_state& state, platform& system);

// The same for tombstones or transports (box tile_x x tile_y).
bool hit_item(game_state& state, platform& system, item_list<map_item>& list);
// The same, passing over the element at skip_position (the item being dropped).
bool hit_item_other_than(game_state& state, platform& system, item_list<map_item>& list,
                         int skip_position);

}  // namespace quill
