#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "state/game_rules.h"
#include "state/item_list.h"
#include "state/label_table.h"
#include "state/map_item.h"
#include "state/undo_history.h"

namespace quill {

// One player, tombstone kind or transport kind of a catalogue file.
struct catalogue_entry {
    std::string name;
    std::string id;
    int32_t image = 0;  // picture handle; 0 when the picture could not be loaded
    std::string comment;
};

struct level_info {
    std::string name;
    // 0 when no background could be loaded: then there is no map to show.
    int32_t background = 0;
    int32_t zoom = 0;  // percent, 25..100 once a level was loaded
    int32_t map_width = 0;
    int32_t map_height = 0;
    int32_t view_x = 0;
    int32_t view_y = 0;
    int32_t canvas_width = 0;
    int32_t canvas_height = 0;
    int32_t tile_x = 0;
    int32_t tile_y = 0;
    int32_t playersize = 0;
    int8_t tile_orientation = 0;
    std::string level_file;

    bool shows_map() const { return background != 0; }
};

// The blinking marker a double click sets.
struct ping_marker {
    int64_t start_time = 0;
    int32_t image = 0;
    bool active = false;
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
};

// The inscription box near the pointer; no box while the text is empty.
struct hover_label {
    int32_t x = 0;
    int32_t y = 0;
    std::string text;
};

enum class drag_kind { drag_none, drag_token, drag_grave, drag_pan, drag_transport };

// What the map view's last redraw was made from, so that the next one can leave out what it
// would only repeat. The map view alone reads and writes it.
struct map_view_memory {
    // Everything the canvas shows depends on, as it was at the last redraw; empty when unknown.
    std::vector<int64_t> drawn_from;
    std::string drawn_label;
    // A picture with the map's ground of the canvas part the map covers in its top left corner,
    // ground_width x ground_height pixels; 0 when none is kept. What it depends on apart from
    // the view, and where its first pixel lies on the zoomed map.
    int32_t ground = 0;
    int32_t ground_width = 0;
    int32_t ground_height = 0;
    std::vector<int64_t> ground_from;
    int64_t ground_x = 0;
    int64_t ground_y = 0;
};

// The second window that shows the map to the players at the table.
struct player_view_state {
    bool open = false;
    // Following, it shows the map at the main window's zoom around the middle of the main
    // window's view; otherwise the whole map.
    bool following = true;
    map_view_memory memory;
};

inline constexpr int first_free_label_slot = 1;

// Everything the program knows about the running game. One object per run (and per test);
// every operation takes it as an argument.
struct game_state {
    level_info level;
    ping_marker marker;
    hover_label hover;
    label_table labels;

    item_list<catalogue_entry> player_catalogue;
    item_list<map_item> tokens;
    item_list<token_trail> token_trails;
    item_list<catalogue_entry> grave_catalogue;
    item_list<map_item> graves;
    item_list<catalogue_entry> transport_catalogue;
    item_list<map_item> transports;

    bool state_modified = false;
    drag_kind drag_mode = drag_kind::drag_none;
    map_point drag_anchor;
    map_point placement_point;
    std::string party_dir;
    // Always ends in a path separator.
    std::string program_dir;

    // The changes that can be taken back; a level load (a new game, a loaded game) forgets them.
    undo_history history;
    map_view_memory view_memory;
    player_view_state player_view;
};

// The first empty slot of 1..255, or 0 when all are taken.
int find_free_label(const game_state& state);

// The inscription of a label slot; empty for 0 (no inscription) and for values outside the
// table, so that a damaged record can never reach beyond it.
const std::string& label_text(const game_state& state, int32_t label);
// Empties a label slot; 0 and values outside the table are ignored.
void clear_label(game_state& state, int32_t label);

// Makes the entry of an item current in its catalogue; false when the index names no entry.
bool select_catalogue_entry(item_list<catalogue_entry>& catalogue, const map_item& item);

// The transport named by a token's links value (1-based); nullptr for 0 or a value that names
// no transport.
map_item* transport_at_link(game_state& state, uint8_t link);
// The token carrying a transport; nullptr when it is free or the link names no token.
map_item* carrier_of(game_state& state, const map_item& transport);

}  // namespace quill
