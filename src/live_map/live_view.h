#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/picture_store.h"
#include "state/game_state.h"

namespace quill {

// A picture the page shows, known to it by name: "p3" (the icon of player 3), "g1" and "r0"
// (kinds of tombstones and transports), "m" (the marker).
struct live_picture {
    std::string name;
    picture_handle handle = 0;
    uint64_t version = 0;  // changes whenever the picture may have changed
    int width = 0;
    int height = 0;
    friend bool operator==(const live_picture&, const live_picture&) = default;
};

// A token, tombstone or transport as the page shows it: the picture of its kind with its corner
// at a map pixel, and the slot of its inscription.
struct live_item {
    int32_t x = 0;
    int32_t y = 0;
    int32_t kind = 0;  // its position in the catalogue of its list; -1 when that has no entry
    int32_t label = 0;
    friend bool operator==(const live_item&, const live_item&) = default;
};

struct live_marker {
    bool active = false;
    int32_t x = 0;
    int32_t y = 0;
    int64_t start_time = 0;
    friend bool operator==(const live_marker&, const live_marker&) = default;
};

// What the page shows of the game at one moment. Taking it costs little: the inscriptions are
// shared with the game, not copied.
struct live_view {
    std::string name;
    picture_handle background = 0;
    uint64_t background_version = 0;
    int map_width = 0;
    int map_height = 0;
    std::vector<live_picture> pictures;
    std::vector<live_item> tokens;
    std::vector<live_item> graves;
    std::vector<live_item> transports;
    // The transport under the pointer while it is dragged, drawn once more on top; -1: none.
    int dragged_transport = -1;
    live_marker marker;
    label_table labels;
};

live_view take_live_view(const game_state& state, const picture_store& pictures);

// The picture of that name, or nullptr.
const live_picture* find_picture(const live_view& view, const std::string& name);

}  // namespace quill
