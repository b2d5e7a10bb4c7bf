#include "state/game_state.h"

namespace quill {

int find_free_label(const game_state& state) {
    for (int slot = first_free_label_slot; slot < label_count; ++slot) {
        if (state.labels[slot].empty()) {
            return slot;
        }
    }
    return 0;
}

const std::string& label_text(const game_state& state, int32_t label) {
    static const std::string none;
    // Label 0 means "no inscription", whatever a loaded file put into slot 0.
    if (label <= 0 || label >= label_count) {
        return none;
    }
    return state.labels[label];
}

void clear_label(game_state& state, int32_t label) {
    if (label > 0 && label < label_count) {
        state.labels.set(label, {});
    }
}

bool select_catalogue_entry(item_list<catalogue_entry>& catalogue, const map_item& item) {
    if (!catalogue.contains(item.catalogue_index)) {
        return false;
    }
    catalogue.select(item.catalogue_index);
    return true;
}

map_item* transport_at_link(game_state& state, uint8_t link) {
    const int position = static_cast<int>(link) - 1;
    return state.transports.contains(position) ? &state.transports[position] : nullptr;
}

map_item* carrier_of(game_state& state, const map_item& transport) {
    const int position = static_cast<int>(transport.links[0]) - 1;
    return state.tokens.contains(position) ? &state.tokens[position] : nullptr;
}

}  // namespace quill
