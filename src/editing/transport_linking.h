#pragma once

#include "platform/platform.h"
#include "state/game_state.h"

namespace quill {

// Attaches the current transport to the token at token_position (-1: the current token) as the
// last of its convoy and lines the convoy up. A token carries at most six transports; a seventh
// is refused with a message and stays free where it is.
void attach_transport(game_state& state, platform& system, int token_position);

}  // namespace quill
