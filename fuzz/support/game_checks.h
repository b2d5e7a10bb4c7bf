#pragma once

#include <array>
#include <string>
#include <vector>

#include "state/game_state.h"

namespace quill::fuzzing {

// What a party setup file holds, to compare a game before saving with the game loaded back.
struct game_record {
    std::vector<map_item> tokens;
    std::vector<token_trail> trails;
    std::vector<map_item> graves;
    std::vector<map_item> transports;
    std::array<std::string, label_count> labels;
    int32_t zoom = 0;
    std::string level_file;
    bool state_modified = false;

    explicit game_record(const game_state& state);
    friend bool operator==(const game_record&, const game_record&) = default;
};

// The first invariant of a loaded or played game that is broken (the operations after a load
// rely on all of them), or the empty text.
std::string broken_invariant(const game_state& state);

}  // namespace quill::fuzzing
