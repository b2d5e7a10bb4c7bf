#pragma once

#include <string>

#include "state/game_state.h"
#include "state/undo_history.h"

namespace quill::fuzzing {

// What a party setup file holds, to compare a game before saving with the game loaded back:
// the game as undo keeps it, with the zoom, the level and whether it is saved.
struct game_record {
    game_snapshot game;
    int32_t zoom = 0;
    std::string level_file;
    bool state_modified = false;

    explicit game_record(const game_state& state);
    friend bool operator==(const game_record& a, const game_record& b) {
        return a.game.same_game_as(b.game) && a.zoom == b.zoom && a.level_file == b.level_file &&
               a.state_modified == b.state_modified;
    }
};

// The first invariant of a loaded or played game that is broken (the operations after a load
// rely on all of them), or the empty text.
std::string broken_invariant(const game_state& state);

}  // namespace quill::fuzzing
