#pragma once

#include <string>
#include <vector>

#include "content/player_row.h"
#include "platform/platform.h"
#include "platform/xml_document.h"

namespace quill {

enum class players_file_state {
    read,        // the whole file was read
    missing,     // no file, or an empty one: there is nothing to lose by writing it
    unreadable,  // a file is there but could not be read
    damaged,     // the file did not parse; the rows hold what came before the error
};

struct players_file_rows {
    std::vector<player_row> rows;
    players_file_state state = players_file_state::read;
};

// Reads players.xml of program_dir as the player catalogue is read, but keeps the icon file
// names: one row per player element, its picture loaded from the players directory. A
// document that does not parse is reported with the XML error box.
players_file_rows read_player_rows(platform& system, const std::string& program_dir);

// Only a file that was read whole may be replaced by the rows: otherwise the players that
// were not read would be lost.
inline bool may_write_back(players_file_state state) {
    return state == players_file_state::read || state == players_file_state::missing;
}

// Root players; per row a player with name, id, pic and comment, in that order.
xml_element players_document(const std::vector<player_row>& rows);

// Replaces players.xml of program_dir atomically; false when it could not be written, the old
// file then left as it was.
bool write_player_rows(const std::string& program_dir, const std::vector<player_row>& rows);

}  // namespace quill
