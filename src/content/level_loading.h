#pragma once

#include <string>

#include "platform/platform.h"
#include "state/game_state.h"

namespace quill {

// Brings the game state into a fresh game on the level file at level_path (empty: KTV.gxml in
// program_dir): empties every list and label, reads the level file and the three catalogues,
// creates one token and trail per player, sets the zoom to 100, clears state_modified and forgets
// the changes that undo could take back.
// Values the level file does not supply keep what they held; the view is not touched. Tile and
// token sizes are held within 0..max_level_size. The pointer shows the program busy meanwhile.
void load_level(game_state& state, platform& system, const std::string& level_path);

}  // namespace quill
