#pragma once

#include <cstdint>

#include "state/game_rules.h"
#include "state/game_state.h"

namespace quill {

// Makes a game state just read from a party setup file safe for every later operation, which
// trusts the invariants of the game state:
// - the zoom is held within the range of the zoom commands;
// - coordinates of items and trails are held within coordinate_limit;
// - tokens carry no inscription; a tombstone or transport whose label names no filled slot of
//   1..255, or a slot an earlier item (tombstones first, then transports) already has, gets 0;
// - a token keeps only the links to transports that name it back, each once, packed from the
//   first slot; a transport that its carrier does not name back is free. So an old-format file,
//   which has no transports, leaves every token empty-handed.
// catalogue_index is kept as it is: it is saved back unchanged, and an index that names no entry
// only means the item has no picture.
void repair_loaded_state(game_state& state);

}  // namespace quill
