#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/platform.h"
#include "state/game_state.h"
#include "view/picture_picker.h"

namespace quill {

// Appends a new tombstone or transport of the catalogue entry with this id at (x, y), pulled
// inside the map near its edges, and makes it the current element of list. The current entry
// of the catalogue is preferred when it has the id. Returns false, adding nothing, when the
// catalogue is empty or has no entry with that id.
bool place_map_item(game_state& state, const std::string& id, item_list<map_item>& list,
                    const item_list<catalogue_entry>& catalogue, int32_t x, int32_t y);

// What the first question offers as its answer before the user types.
enum class first_answer { empty, kind_name };

// The two questions a new tombstone or transport asks, and the inscription made of the answers.
struct inscription_questions {
    std::string first_prompt;
    first_answer first_default = first_answer::empty;
    std::string second_prompt;
    std::function<std::string(platform&, const std::string&, const std::string&)> inscribe;
};

// What placing a tombstone and creating a transport share: the user picks a kind in the picture
// picker (with the random cell when offered) and answers the two questions; the item is
// placed at the point of the last right click on empty ground, inscribed in the first free label
// slot (none when all are taken), and the game is marked changed. A cancelled picker, or a kind
// that cannot be placed, changes nothing.
void place_inscribed_item(game_state& state, platform& system, item_list<catalogue_entry>& kinds,
                          item_list<map_item>& items, random_cell random,
                          const inscription_questions& questions);

}  // namespace quill
