#pragma once

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

}  // namespace quill
