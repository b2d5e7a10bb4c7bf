#include <gtest/gtest.h>

#include <functional>
#include <limits>

#include "savegame/party_fixture.h"
#include "savegame/record_repair.h"

namespace quill {
namespace {

using links_t = std::array<uint8_t, 6>;

// Three tokens, three free transports and two tombstones without labels; slots 1..4 filled.
game_state sound_state() {
    game_state state;
    for (int i = 0; i < 3; ++i) {
        state.player_catalogue.add({});
        state.tokens.add({});
        state.token_trails.add({});
        state.transports.add({});
    }
    state.graves.add({});
    state.graves.add({});
    for (int slot = 1; slot <= 4; ++slot) {
        state.labels.set(slot, "Inschrift " + std::to_string(slot));
    }
    state.level.zoom = 100;
    return state;
}

struct repair_case {
    const char* name;
    std::function<void(game_state&)> damage;
    std::function<void(const game_state&)> expect;
};

const repair_case cases[] = {
    {"labels outside the table",
     [](game_state& s) {
         s.graves[0].label = 256;
         s.graves[1].label = -1;
         s.transports[0].label = std::numeric_limits<int32_t>::min();
     },
     [](const game_state& s) {
         EXPECT_EQ(s.graves[0].label, 0);
         EXPECT_EQ(s.graves[1].label, 0);
         EXPECT_EQ(s.transports[0].label, 0);
     }},
    {"a shared label stays with the first item",
     [](game_state& s) {
         s.graves[0].label = 2;
         s.graves[1].label = 2;
         s.transports[0].label = 2;
         s.transports[1].label = 3;
     },
     [](const game_state& s) {
         EXPECT_EQ(s.graves[0].label, 2);
         EXPECT_EQ(s.graves[1].label, 0);
         EXPECT_EQ(s.transports[0].label, 0);
         EXPECT_EQ(s.transports[1].label, 3);
     }},
    {"labels naming an empty slot or slot 0",
     [](game_state& s) {
         s.labels.set(0, "nur aus einer Datei");
         s.graves[0].label = 9;
         s.graves[1].label = 0;
         s.transports[2].label = 0;
         s.transports[1].label = 4;
     },
     [](const game_state& s) {
         EXPECT_EQ(s.graves[0].label, 0);
         EXPECT_EQ(s.transports[1].label, 4);
         EXPECT_EQ(s.labels[0], "nur aus einer Datei");
     }},
    {"tokens carry no inscription", [](game_state& s) { s.tokens[1].label = 3; },
     [](const game_state& s) { EXPECT_EQ(s.tokens[1].label, 0); }},
    {"a sound convoy is kept",
     [](game_state& s) {
         s.tokens[2].links = {3, 1, 0, 0, 0, 0};
         s.transports[2].links[0] = 3;
         s.transports[0].links[0] = 3;
     },
     [](const game_state& s) {
         EXPECT_EQ(s.tokens[2].links, (links_t{3, 1, 0, 0, 0, 0}));
         EXPECT_EQ(s.transports[2].links[0], 3);
         EXPECT_EQ(s.transports[0].links[0], 3);
     }},
    {"links naming no transport or no token",
     [](game_state& s) {
         s.tokens[0].links = {4, 200, 255, 0, 0, 0};
         s.transports[1].links[0] = 4;
         s.transports[2].links[0] = 255;
     },
     [](const game_state& s) {
         EXPECT_EQ(s.tokens[0].links, links_t{});
         EXPECT_EQ(s.transports[1].links[0], 0);
         EXPECT_EQ(s.transports[2].links[0], 0);
     }},
    {"links one side does not name back",
     [](game_state& s) {
         s.tokens[0].links = {1, 2, 0, 0, 0, 0};
         s.transports[0].links[0] = 1;
         s.transports[1].links[0] = 2;  // claims token 1, which does not carry it
         s.transports[2].links[0] = 1;  // claims token 0, which does not carry it
     },
     [](const game_state& s) {
         EXPECT_EQ(s.tokens[0].links, (links_t{1, 0, 0, 0, 0, 0}));
         EXPECT_EQ(s.transports[0].links[0], 1);
         EXPECT_EQ(s.transports[1].links[0], 0);
         EXPECT_EQ(s.transports[2].links[0], 0);
     }},
    {"gaps and repeats close up",
     [](game_state& s) {
         s.tokens[1].links = {0, 1, 1, 0, 3, 1};
         s.transports[0].links = {2, 5, 0, 0, 0, 9};
         s.transports[2].links[0] = 2;
     },
     [](const game_state& s) {
         EXPECT_EQ(s.tokens[1].links, (links_t{1, 3, 0, 0, 0, 0}));
         EXPECT_EQ(s.transports[0].links, (links_t{2, 0, 0, 0, 0, 0}));
     }},
    {"two tokens claiming one transport",
     [](game_state& s) {
         s.tokens[0].links = {1, 0, 0, 0, 0, 0};
         s.tokens[1].links = {1, 0, 0, 0, 0, 0};
         s.transports[0].links[0] = 2;
     },
     [](const game_state& s) {
         EXPECT_EQ(s.tokens[0].links, links_t{});
         EXPECT_EQ(s.tokens[1].links, (links_t{1, 0, 0, 0, 0, 0}));
     }},
    {"zoom held within the zoom commands' range", [](game_state& s) { s.level.zoom = -128; },
     [](const game_state& s) { EXPECT_EQ(s.level.zoom, 25); }},
    {"zoom above the range", [](game_state& s) { s.level.zoom = 127; },
     [](const game_state& s) { EXPECT_EQ(s.level.zoom, 100); }},
    {"zoom inside the range", [](game_state& s) { s.level.zoom = 60; },
     [](const game_state& s) { EXPECT_EQ(s.level.zoom, 60); }},
    {"far-off coordinates",
     [](game_state& s) {
         s.tokens[0].x = std::numeric_limits<int32_t>::max();
         s.graves[1].y = std::numeric_limits<int32_t>::min();
         s.transports[2].x = -coordinate_limit - 1;
         s.token_trails[1].points[29] = {std::numeric_limits<int32_t>::min(), 5};
         s.transports[1].y = 1234;
     },
     [](const game_state& s) {
         EXPECT_EQ(s.tokens[0].x, coordinate_limit);
         EXPECT_EQ(s.graves[1].y, -coordinate_limit);
         EXPECT_EQ(s.transports[2].x, -coordinate_limit);
         EXPECT_EQ(s.token_trails[1].points[29], (map_point{-coordinate_limit, 5}));
         EXPECT_EQ(s.transports[1].y, 1234);
     }},
    {"catalogue indices naming no entry are kept",
     [](game_state& s) {
         s.graves[0].catalogue_index = 99;
         s.tokens[2].catalogue_index = -1;
     },
     [](const game_state& s) {
         EXPECT_EQ(s.graves[0].catalogue_index, 99);
         EXPECT_EQ(s.tokens[2].catalogue_index, -1);
     }},
};

TEST(record_repair, every_damage_is_repaired_and_the_invariants_hold) {
    for (const repair_case& c : cases) {
        SCOPED_TRACE(c.name);
        game_state state = sound_state();
        c.damage(state);
        repair_loaded_state(state);
        c.expect(state);
        EXPECT_TRUE(testing::holds_invariants(state));
    }
}

}  // namespace
}  // namespace quill
