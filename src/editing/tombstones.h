#pragma once

#include <cstdint>
#include <string>

#include "platform/platform.h"
#include "state/game_state.h"

namespace quill {

// The command "Grabstein setzen": the user picks a tombstone kind (or the random cell) and
// types the names of the dead character and of the hero group; the tombstone is placed at the
// point of the last right click on empty ground with its inscription in the first free label.
void place_tombstone(game_state& state, platform& system);

// "RIP <today> - Hier ruht <name> von den <group>", the date as dd.mm.yyyy.
std::string tombstone_text(platform& system, const std::string& name, const std::string& group);

// Appends a new tombstone or transport of the catalogue entry with this id at (x, y), pulled
// inside the map near its edges, and makes it the current element of list. The current entry
// of the catalogue is preferred when it has the id. Returns false, adding nothing, when the
// catalogue is empty or has no entry with that id.
bool place_map_item(game_state& state, const std::string& id, item_list<map_item>& list,
                    const item_list<catalogue_entry>& catalogue, int32_t x, int32_t y);

}  // namespace quill
