#pragma once

#include "platform/platform.h"
#include "state/game_state.h"

namespace quill {

// The dialog "Players": one row per player of players.xml with its icon and a button that
// opens the icon picker. Closing it by "Übernehmen" or its close box writes players.xml with
// the chosen icon file names and gives the players in player_catalogue their new pictures.
// A players.xml that could not be read whole is left alone, and so is the catalogue. Modal;
// the caller disables the main window around it. state_modified is not touched.
void edit_player_icons(game_state& state, platform& system);

}  // namespace quill
