#include "savegame/record_repair.h"

#include <algorithm>
#include <array>
#include <vector>

#include "state/game_rules.h"

namespace quill {

namespace {

void limit_coordinates(item_list<map_item>& items) {
    for (map_item& item : items) {
        item.x = limit_coordinate(item.x);
        item.y = limit_coordinate(item.y);
    }
}

void limit_trail_coordinates(item_list<token_trail>& trails) {
    for (token_trail& trail : trails) {
        for (map_point& point : trail.points) {
            point.x = limit_coordinate(point.x);
            point.y = limit_coordinate(point.y);
        }
    }
}

void repair_labels(game_state& state) {
    for (map_item& token : state.tokens) {
        token.label = 0;
    }
    std::array<bool, label_count> taken{};
    const auto claim = [&](map_item& item) {
        const int32_t slot = item.label;
        if (slot < first_free_label_slot || slot >= label_count || state.labels[slot].empty() ||
            taken[slot]) {
            item.label = 0;
            return;
        }
        taken[slot] = true;
    };
    std::ranges::for_each(state.graves, claim);
    std::ranges::for_each(state.transports, claim);
}

bool names_back(const game_state& state, int token_position, uint8_t link) {
    const int position = static_cast<int>(link) - 1;
    return state.transports.contains(position) &&
           state.transports[position].links[0] == token_position + 1;
}

void repair_links(game_state& state) {
    std::vector<bool> carried(static_cast<std::size_t>(state.transports.size()), false);
    for (int t = 0; t < state.tokens.size(); ++t) {
        auto& links = state.tokens[t].links;
        std::array<uint8_t, max_carried> kept{};
        int used = 0;
        for (const uint8_t link : links) {
            if (link != 0 && names_back(state, t, link) && !carried[link - 1]) {
                carried[link - 1] = true;
                kept[used++] = link;
            }
        }
        links = kept;
    }
    for (int p = 0; p < state.transports.size(); ++p) {
        auto& links = state.transports[p].links;
        if (!carried[static_cast<std::size_t>(p)]) {
            links[0] = 0;
        }
        std::fill(links.begin() + 1, links.end(), 0);
    }
}

}  // namespace

void repair_loaded_state(game_state& state) {
    state.level.zoom = std::clamp(state.level.zoom, min_zoom, max_zoom);
    limit_coordinates(state.tokens);
    limit_coordinates(state.graves);
    limit_coordinates(state.transports);
    limit_trail_coordinates(state.token_trails);
    repair_labels(state);
    repair_links(state);
}

}  // namespace quill
