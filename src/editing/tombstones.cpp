#include "editing/tombstones.h"

#include "editing/item_placement.h"

namespace quill {

std::string tombstone_text(platform& system, const std::string& name, const std::string& group) {
    return "RIP " + format_date("%dd.%mm.%yyyy", system.today()) + " - Hier ruht " + name +
           " von den " + group;
}

void place_tombstone(game_state& state, platform& system) {
    place_inscribed_item(state, system, state.grave_catalogue, state.graves, random_cell::offered,
                         {"Name des verstorbenen Charakters", first_answer::empty,
                          "Name der Heldengruppe", tombstone_text});
}

}  // namespace quill
