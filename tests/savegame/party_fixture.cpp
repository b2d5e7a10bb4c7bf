#include "savegame/party_fixture.h"

#include <QFile>

#include <algorithm>
#include <set>

#include "content/level_loading.h"
#include "savegame/party_setup_file.h"
#include "savegame/record_repair.h"
#include "view/transport_convoy.h"

namespace quill::testing {

party_fixture::party_fixture(int map_width, int map_height) {
    prepare(content, map_width, map_height);
}

void party_fixture::prepare(content_fixture& folder, int map_width, int map_height) {
    folder.write_level("Testland", map_width, map_height, tile, tile, playersize);
    folder.write_players(
        {{255, 200, 0, 0}, {255, 0, 200, 0}, {255, 0, 0, 200}, {255, 90, 90, 0}, {255, 0, 90, 90}},
        playersize);
    folder.write_kinds("graves", "g", {{255, 80, 80, 80}, {255, 120, 120, 120}}, tile, tile);
    folder.write_kinds("transports", "t", {{255, 150, 90, 20}, {255, 90, 50, 10}}, tile, tile);

    scripted_platform& system = folder.system;
    system.open_window(0, 220, 0, map_width, map_height + 25, "Quillmark",
                       window_style::main_window, -1);
    system.create_menu_bar(0);
    system.create_canvas(0, 0, 0, 0, map_width, map_height, true);
    system.create_canvas(0, 1, 0, 0, 10, 10, false);
    system.hide_control(1);
    folder.state.level.canvas_width = map_width;
    folder.state.level.canvas_height = map_height;
    load_level(folder.state, system, {});
}

void party_fixture::save_as(const std::string& name) {
    system.queue_file_answer(name);
    save_party_setup(state, system);
}

void party_fixture::load_from(const std::string& path) {
    system.queue_file_answer(path);
    load_party_setup(state, system);
}

void party_fixture::play_a_game() {
    state.tokens[0].x = 300;
    state.tokens[0].y = 200;
    for (int j = 0; j < token_trail::point_count; ++j) {
        state.token_trails[0].points[j] = {320 - 5 * j, 220 + 3 * j};
    }

    map_item grave;
    grave.catalogue_index = 0;
    grave.x = 100;
    grave.y = 300;
    grave.label = 1;
    grave.reserved_front[1] = 7;
    grave.reserved_back[13] = 9;
    state.graves.add(grave);
    grave = {};
    grave.catalogue_index = 1;
    grave.x = 150;
    grave.y = 310;
    grave.label = 2;
    state.graves.add(grave);
    state.labels.set(1, "RIP Borin");
    state.labels.set(2, "Hier ruht Ömer");

    for (const int kind : {0, 1, 0}) {
        map_item transport;
        transport.catalogue_index = kind;
        transport.x = 500;
        transport.y = 400;
        state.transports.add(transport);
    }
    state.transports[0].label = 3;
    state.transports[2].label = 4;
    state.labels.set(3, "Boot von Aldo");
    state.labels.set(4, "Karren");
    state.tokens[1].links = {1, 2, 0, 0, 0, 0};
    state.transports[0].links[0] = 2;
    state.transports[1].links[0] = 2;
    arrange_convoy(state, 1);

    state.level.zoom = 50;
    state.state_modified = true;
}

std::string party_fixture::last_message() const {
    return system.messages.empty() ? std::string() : system.messages.back().text;
}

std::string file_contents(const std::string& path) {
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly)) {
        return "<missing>";
    }
    return file.readAll().toStdString();
}

void put_file(const std::string& path, const std::string& bytes) {
    QFile file(QString::fromStdString(path));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes.data(), static_cast<qint64>(bytes.size())),
              static_cast<qint64>(bytes.size()));
}

saved_game::saved_game(const game_state& state)
    : tokens(state.tokens.begin(), state.tokens.end()),
      trails(state.token_trails.begin(), state.token_trails.end()),
      graves(state.graves.begin(), state.graves.end()),
      transports(state.transports.begin(), state.transports.end()),
      labels(state.labels),
      zoom(state.level.zoom),
      level_file(state.level.level_file) {}

namespace {

bool within_limit(int32_t value) {
    return value >= -coordinate_limit && value <= coordinate_limit;
}

}  // namespace

::testing::AssertionResult holds_invariants(const game_state& state) {
    const int tokens = state.tokens.size();
    if (state.token_trails.size() != tokens || state.player_catalogue.size() != tokens) {
        return ::testing::AssertionFailure() << "tokens, trails and players differ in number";
    }
    if (state.level.zoom < 25 || state.level.zoom > 100) {
        return ::testing::AssertionFailure() << "zoom " << state.level.zoom;
    }
    for (int t = 0; t < tokens; ++t) {
        const map_item& token = state.tokens[t];
        if (token.label != 0) {
            return ::testing::AssertionFailure() << "token " << t << " has a label";
        }
        bool ended = false;
        std::set<int> seen;
        for (const uint8_t link : token.links) {
            if (link == 0) {
                ended = true;
                continue;
            }
            if (ended || !seen.insert(link).second || !state.transports.contains(link - 1) ||
                state.transports[link - 1].links[0] != t + 1) {
                return ::testing::AssertionFailure() << "token " << t << " link " << int{link};
            }
        }
    }
    for (int p = 0; p < state.transports.size(); ++p) {
        const auto& links = state.transports[p].links;
        const int carrier = links[0] - 1;
        if (std::any_of(links.begin() + 1, links.end(), [](uint8_t l) { return l != 0; }) ||
            (links[0] != 0 &&
             (!state.tokens.contains(carrier) ||
              std::ranges::count(state.tokens[carrier].links, static_cast<uint8_t>(p + 1)) != 1))) {
            return ::testing::AssertionFailure() << "transport " << p << " links";
        }
    }
    std::set<int32_t> used_slots;
    for (const item_list<map_item>* list : {&state.tokens, &state.graves, &state.transports}) {
        for (const map_item& item : *list) {
            if (!within_limit(item.x) || !within_limit(item.y)) {
                return ::testing::AssertionFailure() << "item at " << item.x << ", " << item.y;
            }
            if (item.label == 0) {
                continue;
            }
            if (item.label < 1 || item.label > 255 || state.labels[item.label].empty() ||
                !used_slots.insert(item.label).second) {
                return ::testing::AssertionFailure() << "label " << item.label;
            }
        }
    }
    for (const token_trail& trail : state.token_trails) {
        for (const map_point& point : trail.points) {
            if (!within_limit(point.x) || !within_limit(point.y)) {
                return ::testing::AssertionFailure() << "trail point " << point.x;
            }
        }
    }
    return ::testing::AssertionSuccess();
}

}  // namespace quill::testing
