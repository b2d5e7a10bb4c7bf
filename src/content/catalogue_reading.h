#pragma once

#include <string>

#include "platform/platform.h"
#include "state/game_state.h"

namespace quill {

enum class catalogue_kind {
    players,     // players.xml: entries <player>, icon named by <pic> in players/; one token each
    graves,      // graves.xml: entries <item>, picture pics/<id><orientation>.png
    transports,  // transports.xml: likewise
};

// Reads one catalogue file of program_dir into its list (emptied by the caller), reporting a
// document that does not parse and using what was parsed before the error.
void read_catalogue(game_state& state, platform& system, catalogue_kind kind);

// Frees the pictures of a catalogue and empties it.
void clear_catalogue(item_list<catalogue_entry>& catalogue, picture_store& pictures);

}  // namespace quill
