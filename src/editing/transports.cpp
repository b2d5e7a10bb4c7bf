#include "editing/transports.h"

#include "editing/tombstones.h"
#include "editing/transport_linking.h"
#include "state/ui_numbers.h"
#include "view/picture_picker.h"
#include "view/transport_convoy.h"

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
    const int chosen = pick_picture(state, system, state.transport_catalogue, state.level.tile_x,
                                    state.level.tile_y, false);
    if (chosen < 0) {
        return;
    }
    state.transport_catalogue.select(chosen);
    system.activate_window(ui::main_window);
    const catalogue_entry kind = state.transport_catalogue[chosen];
    const std::string name = system.input_text("Quillmark", "Name Transportgerätes", kind.name);
    const std::string owner =
        system.input_text("Quillmark", "Name des Helden oder der Heldengruppe", "");
    if (!place_map_item(state, kind.id, state.transports, state.transport_catalogue,
                        state.placement_point.x, state.placement_point.y)) {
        return;
    }
    const int slot = find_free_label(state);
    if (slot != 0) {
        state.labels[slot] = name + " von " + owner;
        state.transports.current()->label = slot;
    }
    state.state_modified = true;
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
    detach_transport(state, true);
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
        const int player = pick_picture(state, system, state.player_catalogue,
                                        state.level.playersize, state.level.playersize, false);
        if (player < 0) {
            return;
        }
        attach_transport(state, system, player);
    } else {
        detach_transport(state, true);
    }
    state.hover.text.clear();
}

}  // namespace quill
