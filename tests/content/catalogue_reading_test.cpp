#include <gtest/gtest.h>

#include "content/level_loading.h"
#include "support/content_fixture.h"

namespace quill {
namespace {

using testing::content_fixture;

struct catalogue_reading : ::testing::Test {
    content_fixture content;
    void load() { load_level(content.state, content.system, {}); }
};

TEST_F(catalogue_reading, players_get_tokens_in_a_row_and_trails_running_down) {
    content.write_level("L", 500, 500, 40, 40, 50);
    content.write_players({{255, 255, 0, 0}, {255, 0, 255, 0}, {255, 0, 0, 255}}, 50);
    load();
    const game_state& state = content.state;
    ASSERT_EQ(state.tokens.size(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(state.tokens[i].x, 25 + 50 * i);
        EXPECT_EQ(state.tokens[i].y, 20);
        EXPECT_EQ(state.tokens[i].catalogue_index, i);
        EXPECT_NE(state.player_catalogue[i].image, 0);
    }
    EXPECT_EQ(state.token_trails[0].points[0], (map_point{50, 45}));
    EXPECT_EQ(state.token_trails[0].points[29], (map_point{50, 393}));
    EXPECT_EQ(state.player_catalogue[1].name, "Spieler 1");
    EXPECT_EQ(state.player_catalogue[1].id, "p1");
}

TEST_F(catalogue_reading, an_empty_player_entry_still_gets_a_token) {
    content.write_text("players.xml", "<x><player/><player><pic>none.png</pic></player></x>");
    load();
    ASSERT_EQ(content.state.tokens.size(), 2);
    EXPECT_EQ(content.state.player_catalogue[0].name, "");
    EXPECT_EQ(content.state.player_catalogue[1].image, 0);
}

TEST_F(catalogue_reading, kind_pictures_are_found_by_id_and_orientation) {
    content.write_level("L", 500, 500, 40, 30, 50, 2);
    content.write_png("pics/boat2.png", 30, 40, {255, 200, 0, 0});
    content.write_png("pics/boat0.png", 30, 40, {255, 0, 0, 200});
    content.write_text("transports.xml",
                       "<t><item><comment>c</comment><id>boat</id><pic>ignored.png</pic>"
                       "<name>Boot</name></item><item><id>boat</id></item><player><id>boat</id>"
                       "</player></t>");
    content.write_text("graves.xml", "<g><player><id>boat</id></player></g>");
    load();
    const game_state& state = content.state;
    ASSERT_EQ(state.transport_catalogue.size(), 2);
    EXPECT_EQ(state.transport_catalogue[0].name, "Boot");
    EXPECT_EQ(state.transport_catalogue[0].comment, "c");
    for (const catalogue_entry& kind : state.transport_catalogue) {
        EXPECT_EQ(content.system.pictures().pixel(kind.image, 5, 5), 0xFFC80000u);
    }
    EXPECT_TRUE(state.grave_catalogue.empty());
}

TEST_F(catalogue_reading, a_broken_catalogue_keeps_the_entries_before_the_error) {
    content.write_text(
        "graves.xml",
        "<g>\n<item><id>a</id></item>\n<item><id>b</id></item>\n<item><id>c</i></item>");
    load();
    ASSERT_EQ(content.system.messages.size(), 1u);
    EXPECT_EQ(content.system.messages[0].title, "Error");
    ASSERT_GE(content.state.grave_catalogue.size(), 2);
    EXPECT_EQ(content.state.grave_catalogue[1].id, "b");
}

TEST_F(catalogue_reading, windows_1252_catalogues_keep_their_umlauts) {
    content.write_text("graves.xml",
                       "<?xml version=\"1.0\" encoding=\"windows-1252\"?>\n<g><item><name>Gr\xE4"
                       "ber</name></item></g>");
    load();
    ASSERT_EQ(content.state.grave_catalogue.size(), 1);
    EXPECT_EQ(content.state.grave_catalogue[0].name,
              "Gr\xC3\xA4"
              "ber");
}

}  // namespace
}  // namespace quill
