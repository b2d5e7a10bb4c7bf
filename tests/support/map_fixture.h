#pragma once

#include <gtest/gtest.h>

#include "platform/scripted/scripted_platform.h"
#include "state/game_state.h"

namespace quill::testing {

// A main window with its menu bar and map canvas on the scripted platform, and a level made in
// memory: map map_width x map_height, tiles and tokens of the given sizes, one catalogue entry
// per kind. No files are involved.
struct map_fixture : ::testing::Test {
    scripted_platform system;
    game_state state;

    void make_level(int map_width, int map_height, int tile, int playersize, int canvas_width = 400,
                    int canvas_height = 300);
    map_item& add_token(int x, int y);
    map_item& add_transport(int x, int y);
    map_item& add_grave(int x, int y);
    // Links the transport at transport_position behind the token's other transports.
    void carry(int token_position, int transport_position);
    // The trail of token 0 reset to its start shape.
    void reset_trail(int token_position);
};

}  // namespace quill::testing
