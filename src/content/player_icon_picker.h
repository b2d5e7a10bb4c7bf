#pragma once

#include <string>

#include "platform/platform.h"
#include "state/game_state.h"

namespace quill {

// Shows every PNG file of the players directory in a borderless popup, five icons to a row,
// with its top left corner at the given screen position, owned by the player icons dialog.
// Returns the file name of the icon clicked, or the empty text when the user clicked anywhere
// else (that click is used up) or there was nothing to show. The directory is listed anew on
// every call; a missing directory is reported.
std::string choose_player_icon(game_state& state, platform& system, int screen_x, int screen_y);

}  // namespace quill
