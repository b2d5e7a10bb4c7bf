#pragma once

#include "platform/platform.h"
#include "state/game_state.h"

namespace quill {

inline constexpr int picker_columns = 5;

// Whether the grid offers a cell after the last entry that chooses one of the entries at random.
enum class random_cell { offered, left_out };

// Shows the pictures of a catalogue as a grid of five columns at the pointer and waits, in a
// modal loop of its own, for a left click on a cell, the random cell included when offered. Returns
// the chosen list position, or -1 when the user clicked beside the grid, clicked the right button,
// chose any menu command (which is then not carried out). A grid with no cell, or with a cell size
// of 0 or less or too large for any screen, is not shown at all and chooses nothing.
int pick_picture(game_state& state, platform& system, const item_list<catalogue_entry>& catalogue,
                 int cell_width, int cell_height, random_cell random);

}  // namespace quill
