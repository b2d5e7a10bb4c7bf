#pragma once

#include "platform/platform.h"
#include "state/game_state.h"

namespace quill {

// Attaching a transport to a token and taking it off again: the two halves of a convoy's links.

// Attaches the current transport to the token at token_position as the last of its convoy and
// lines the convoy up. A token carries at most six transports; a seventh is refused with a
// message and stays free where it is.
void attach_transport(game_state& state, platform& system, int token_position);
// The same for the current token, as a drop on a token that a hit test made current does.
void attach_transport_to_current_token(game_state& state, platform& system);

// Where a transport taken out of its convoy stands afterwards.
enum class detached_place {
    keep_place,     // where it is: it was picked up with the mouse
    end_of_convoy,  // the place the last transport of the convoy had
};

// Takes the current transport out of the convoy of its carrier; the transports behind it move
// up one place each. Current elements of tokens and transports are left as they were; a free
// transport changes nothing.
void detach_transport(game_state& state, detached_place place);

}  // namespace quill
