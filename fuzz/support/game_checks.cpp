#include "support/game_checks.h"

#include <algorithm>
#include <set>

#include "state/game_rules.h"

namespace quill::fuzzing {

namespace {

bool within_limit(int32_t value) {
    return value >= -coordinate_limit && value <= coordinate_limit;
}

std::string broken_token_links(const game_state& state) {
    for (int t = 0; t < state.tokens.size(); ++t) {
        bool ended = false;
        std::set<int> seen;
        for (const uint8_t link : state.tokens[t].links) {
            if (link == 0) {
                ended = true;
                continue;
            }
            if (ended || !seen.insert(link).second || !state.transports.contains(link - 1) ||
                state.transports[link - 1].links[0] != t + 1) {
                return "token " + std::to_string(t) + " link " + std::to_string(link);
            }
        }
    }
    return {};
}

std::string broken_transport_links(const game_state& state) {
    for (int p = 0; p < state.transports.size(); ++p) {
        const auto& links = state.transports[p].links;
        const int carrier = links[0] - 1;
        const bool extra = std::any_of(links.begin() + 1, links.end(), [](uint8_t l) { return l; });
        if (extra || (links[0] != 0 && (!state.tokens.contains(carrier) ||
                                        std::ranges::count(state.tokens[carrier].links,
                                                           static_cast<uint8_t>(p + 1)) != 1))) {
            return "transport " + std::to_string(p) + " links";
        }
    }
    return {};
}

std::string broken_items(const game_state& state) {
    std::set<int32_t> slots;
    for (const item_list<map_item>* list : {&state.tokens, &state.graves, &state.transports}) {
        for (const map_item& item : *list) {
            if (!within_limit(item.x) || !within_limit(item.y)) {
                return "item at " + std::to_string(item.x) + ", " + std::to_string(item.y);
            }
            if (item.label == 0) {
                continue;
            }
            if (list == &state.tokens || item.label < first_free_label_slot ||
                item.label >= label_count || state.labels[item.label].empty() ||
                !slots.insert(item.label).second) {
                return "label " + std::to_string(item.label);
            }
        }
    }
    for (const token_trail& trail : state.token_trails) {
        for (const map_point& point : trail.points) {
            if (!within_limit(point.x) || !within_limit(point.y)) {
                return "trail point at " + std::to_string(point.x) + ", " + std::to_string(point.y);
            }
        }
    }
    return {};
}

}  // namespace

game_record::game_record(const game_state& state)
    : game(take_snapshot(state)),
      zoom(state.level.zoom),
      level_file(state.level.level_file),
      state_modified(state.state_modified) {}

std::string broken_invariant(const game_state& state) {
    const int tokens = state.tokens.size();
    if (state.token_trails.size() != tokens || state.player_catalogue.size() != tokens) {
        return "tokens, trails and players differ in number";
    }
    if (state.level.zoom < 25 || state.level.zoom > 100) {
        return "zoom " + std::to_string(state.level.zoom);
    }
    std::string broken = broken_token_links(state);
    if (broken.empty()) {
        broken = broken_transport_links(state);
    }
    if (broken.empty()) {
        broken = broken_items(state);
    }
    return broken;
}

}  // namespace quill::fuzzing
