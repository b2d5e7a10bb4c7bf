#pragma once

#include "state/game_state.h"

namespace quill {

// Euclidean distance, computed in double precision and handed on in single precision, as the
// convoy arithmetic expects.
float point_distance(map_point a, map_point b);

// After a move of the token at token_position: pushes its centre onto its trail once it has
// moved more than a quarter token from the newest point, then lines up its convoy.
void record_trail_point(game_state& state, int token_position);

// Places every transport the token carries along its trail, the first about half a token plus
// half a tile behind the token's centre, each further one a tile behind the one before. The
// last transport placed becomes the current transport.
void arrange_convoy(game_state& state, int token_position);

// Takes the current transport out of the convoy of its carrier; the transports behind it move
// up one place each. With move_to_end the detached transport takes the place the last one of
// the convoy had. Current elements of tokens and transports are left as they were.
void detach_transport(game_state& state, bool move_to_end);

}  // namespace quill
