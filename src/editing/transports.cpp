#include "editing/transports.h"

#include "content/ui_numbers.h"
#include "editing/item_placement.h"
#include "view/convoy_linking.h"
#include "view/picture_picker.h"

namespace quill {

namespace {

// After the transport at removed (0-based) is gone, every link behind it moves down by one.
// A link still naming the removed transport (only a damaged file can leave one after it was
// detached) is dropped and the slots behind it close up, so that it never comes to name the
// transport before it.
void renumber_links(map_item& token, int removed) {
    auto& links = token.links;
    int used = 0;
    while (used < max_carried && links[used] != 0) {
        ++used;
    }
    int kept = 0;
    for (int slot = 0; slot < used; ++slot) {
        const int link = links[slot];
        if (link != removed + 1) {
            links[kept++] = static_cast<uint8_t>(link > removed ? link - 1 : link);
        }
    }
    for (int slot = kept; slot < used; ++slot) {
        links[slot] = 0;
    }
}

}  // namespace

void create_transport(game_state& state, platform& system) {
    place_inscribed_item(
        state, system, state.transport_catalogue, state.transports, random_cell::left_out,
        {"Name Transportgerätes", first_answer::kind_name, "Name des Helden oder der Heldengruppe",
         [](platform&, const std::string& name, const std::string& owner) {
             return name + " von " + owner;
         }});
}

void remove_transport(game_state& state, platform& system) {
    if (state.transports.current() == nullptr) {
        return;
    }
    if (!system.message_box("Quillmark", "Soll das Transportmittel tatsächlich entfernt werden?",
                            message_buttons::yes_no, message_icon::none)) {
        return;
    }
    const int removed = state.transports.current_position();
    clear_label(state, state.transports.current()->label);
    detach_transport(state, detached_place::end_of_convoy);
    for (map_item& token : state.tokens) {
        renumber_links(token, removed);
    }
    state.transports.remove_current();
    state.hover.text.clear();
    state.state_modified = true;
}

void toggle_transport_link(game_state& state, platform& system) {
    const map_item* transport = state.transports.current();
    if (transport == nullptr) {
        return;
    }
    if (transport->links[0] == 0) {
        const int player =
            pick_picture(state, system, state.player_catalogue, state.level.playersize,
                         state.level.playersize, random_cell::left_out);
        if (player < 0) {
            return;
        }
        attach_transport(state, system, player);
    } else {
        detach_transport(state, detached_place::end_of_convoy);
    }
    state.hover.text.clear();
}

}  // namespace quill
