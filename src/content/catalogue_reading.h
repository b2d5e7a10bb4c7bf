#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "platform/platform.h"
#include "platform/xml_document.h"
#include "state/game_state.h"

namespace quill {

enum class catalogue_kind {
    players,     // players.xml: entries <player>, icon named by <pic> in players/; one token each
    graves,      // graves.xml: entries <item>, picture pics/<id><orientation>.png
    transports,  // transports.xml: likewise
};

// The texts of a catalogue entry's child elements. A child that occurs twice counts twice, so
// the last one wins; has_id and has_pic tell whether the child occurred at all.
struct entry_texts {
    std::string name;
    std::string id;
    std::string comment;
    std::string pic;
    bool has_id = false;
    bool has_pic = false;
};

enum class catalogue_file_state {
    read,     // the whole file was read
    missing,  // there was no document: no file, an empty or an unreadable one
    damaged,  // the file did not parse; what came before the error was visited
};

// Reads the catalogue file at path and hands the texts of every child of its root element named
// entry_name to visit, in document order. A document that does not parse is reported with the
// XML error box.
catalogue_file_state visit_catalogue_entries(platform& system, const std::string& path,
                                             std::string_view entry_name,
                                             const std::function<void(const entry_texts&)>& visit);

// Reads one catalogue file of program_dir into its list (emptied by the caller), reporting a
// document that does not parse and using what was parsed before the error.
void read_catalogue(game_state& state, platform& system, catalogue_kind kind);

// Frees the pictures of a catalogue and empties it.
void clear_catalogue(item_list<catalogue_entry>& catalogue, picture_store& pictures);

}  // namespace quill
