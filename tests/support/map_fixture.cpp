#include "support/map_fixture.h"

namespace quill::testing {

void map_fixture::make_level(int map_width, int map_height, int tile, int playersize,
                             int canvas_width, int canvas_height) {
    system.open_window(0, 220, 0, canvas_width, canvas_height + 25, "Quillmark",
                       window_style::main_window, -1);
    system.create_menu_bar(0);
    system.create_canvas(0, 0, 0, 0, canvas_width, canvas_height, true);
    system.create_canvas(0, 1, 0, 0, 10, 10, false);
    system.hide_control(1);
    level_info& level = state.level;
    picture_store& pictures = system.pictures();
    level.background = pictures.create(map_width, map_height, {20, 140, 20});
    level.map_width = map_width;
    level.map_height = map_height;
    level.canvas_width = canvas_width;
    level.canvas_height = canvas_height;
    level.zoom = 100;
    level.tile_x = level.tile_y = tile;
    level.playersize = playersize;
    state.player_catalogue.add(
        {"p", "p", pictures.create(playersize, playersize, {0, 0, 200}), ""});
    state.grave_catalogue.add({"g", "g", pictures.create(tile, tile, {90, 90, 90}), ""});
    state.transport_catalogue.add({"t", "t", pictures.create(tile, tile, {160, 90, 20}), ""});
}

map_item& map_fixture::add_token(int x, int y) {
    map_item token;
    token.catalogue_index = 0;
    token.x = x;
    token.y = y;
    state.tokens.add(token);
    state.token_trails.add({});
    reset_trail(state.tokens.size() - 1);
    return state.tokens[state.tokens.size() - 1];
}

map_item& map_fixture::add_transport(int x, int y) {
    map_item transport;
    transport.x = x;
    transport.y = y;
    return state.transports.add(transport);
}

map_item& map_fixture::add_grave(int x, int y) {
    map_item grave;
    grave.x = x;
    grave.y = y;
    return state.graves.add(grave);
}

void map_fixture::carry(int token_position, int transport_position) {
    auto& links = state.tokens[token_position].links;
    int slot = 0;
    while (links[slot] != 0) {
        ++slot;
    }
    links[slot] = static_cast<uint8_t>(transport_position + 1);
    state.transports[transport_position].links[0] = static_cast<uint8_t>(token_position + 1);
}

void map_fixture::reset_trail(int token_position) {
    const map_item& token = state.tokens[token_position];
    const int size = state.level.playersize;
    for (int j = 0; j < token_trail::point_count; ++j) {
        state.token_trails[token_position].points[j] = {token.x + size / 2,
                                                        token.y + size / 2 + (size / 4) * j};
    }
}

}  // namespace quill::testing
