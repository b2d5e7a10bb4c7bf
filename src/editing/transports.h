#pragma once

#include "platform/platform.h"
#include "state/game_state.h"

namespace quill {

// The command "Transportmittel erstellen": the user picks a transport kind and types its name
// and its owner; the transport is placed free at the point of the last right click on empty
// ground, inscribed "<name> von <owner>" in the first free label.
void create_transport(game_state& state, platform& system);

// The command "Transportmittel entfernen" on the current transport, after a question: it leaves
// its convoy, its label is freed and the tokens' links behind it are renumbered so that they
// keep naming the same transports.
void remove_transport(game_state& state, platform& system);

// The command of the attach item on the current transport: a free one is attached to the token
// of the player picked in the picture picker, a carried one is detached to the end of its
// convoy's place.
void toggle_transport_link(game_state& state, platform& system);

}  // namespace quill
