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

}  // namespace quill
