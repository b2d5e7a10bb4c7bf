#pragma once

#include <optional>
#include <string>

#include "platform/scripted/scripted_platform.h"
#include "state/game_state.h"

namespace quill::fuzzing {

// One game, started as the program starts, on the scripted platform in the program folder of
// this process. Its canvas is smaller than the content's map, so that drawing stays cheap and
// the view can still be panned.
struct fuzz_game {
    scripted_platform system;
    game_state state;

    fuzz_game();

    // Feeds the queued script through the event loop, one drawing of the map per event, until
    // it is used up.
    void run();
    // The load and save commands with their file dialog answered by path. False when the
    // command refused the file or told of a failure.
    bool load(const std::string& path);
    bool save(const std::string& path);

    // Uses the game as players would: zooms, hovers over and drags tokens, tombstones and
    // transports, drops transports onto a token, attaches, detaches and removes transports,
    // removes a tombstone, places new ones, lines up every convoy, undoes and redoes, pans and
    // double-clicks.
    void play();

    // Where a map point shows on the canvas; nothing when it does not show.
    std::optional<screen_point> window_point(int64_t map_x, int64_t map_y) const;
};

// Saves the game, loads the file back and saves it again: the game loaded back must be the game
// saved, and the two files byte for byte the same. Both saves must succeed.
void check_round_trip(fuzz_game& game);

// The game must keep every invariant the operations rely on.
void check_invariants(const fuzz_game& game, const std::string& when);

}  // namespace quill::fuzzing
