#include "view/convoy_linking.h"

#include <limits>

#include "view/transport_convoy.h"

namespace quill {

namespace {

// Links are single bytes holding 1-based positions.
constexpr int max_link_position = std::numeric_limits<uint8_t>::max();

void link_to(game_state& state, platform& system, int token_position) {
    map_item& token = state.tokens[token_position];
    map_item* transport = state.transports.current();
    if (transport == nullptr || transport->links[0] != 0) {
        return;
    }
    int slot = 0;
    while (slot < max_carried && token.links[slot] != 0) {
        ++slot;
    }
    if (slot == max_carried) {
        system.message_box("Quillmark",
                           "Pro Spieler können maximal " + std::to_string(max_carried) +
                               " Transportmittel angehängt werden.",
                           message_buttons::ok, message_icon::none);
        return;
    }
    const int transport_link = state.transports.current_position() + 1;
    const int token_link = token_position + 1;
    if (transport_link > max_link_position || token_link > max_link_position) {
        system.message_box("Quillmark",
                           "Dieses Transportmittel kann nicht angehängt werden: Es gibt mehr als " +
                               std::to_string(max_link_position) + " Transportmittel oder Spieler.",
                           message_buttons::ok, message_icon::none);
        return;
    }
    token.links[slot] = static_cast<uint8_t>(transport_link);
    transport->links[0] = static_cast<uint8_t>(token_link);
    arrange_convoy(state, token_position);
}

}  // namespace

void attach_transport_to_current_token(game_state& state, platform& system) {
    state.state_modified = true;
    if (state.tokens.current() != nullptr) {
        link_to(state, system, state.tokens.current_position());
    }
}

void attach_transport(game_state& state, platform& system, int token_position) {
    state.state_modified = true;
    if (!state.tokens.contains(token_position)) {
        return;
    }
    const int remembered = state.tokens.current_position();
    state.tokens.select(token_position);
    link_to(state, system, token_position);
    state.tokens.select(remembered);
}

void detach_transport(game_state& state, detached_place place) {
    map_item* detached = state.transports.current();
    if (detached == nullptr || detached->links[0] == 0) {
        return;
    }
    state.state_modified = true;
    const int own_link = state.transports.current_position() + 1;
    map_item* carrier = carrier_of(state, *detached);
    map_point prev{detached->x, detached->y};
    if (carrier != nullptr) {
        auto& links = carrier->links;
        int slot = 0;
        while (slot < max_carried && links[slot] != own_link) {
            ++slot;
        }
        if (slot < max_carried) {
            for (int j = slot + 1; j < max_carried; ++j) {
                if (links[j] == 0) {
                    links[j - 1] = 0;
                    break;
                }
                if (map_item* follower = transport_at_link(state, links[j])) {
                    const map_point old{follower->x, follower->y};
                    follower->x = prev.x;
                    follower->y = prev.y;
                    prev = old;
                }
                links[j - 1] = links[j];
            }
            links[max_carried - 1] = 0;
        }
    }
    detached->links[0] = 0;
    if (place == detached_place::end_of_convoy) {
        detached->x = prev.x;
        detached->y = prev.y;
    }
}

}  // namespace quill
