#include <gtest/gtest.h>
#include <QFile>

#include "content/level_loading.h"
#include "content/xml_error_report.h"
#include "state/game_rules.h"
#include "support/content_fixture.h"

namespace quill {
namespace {

using testing::content_fixture;

struct level_loading : ::testing::Test {
    content_fixture content;

    void open_main_window() {
        content.system.open_window(0, 220, 0, 1286, 800, "Quillmark", window_style::main_window,
                                   -1);
    }
    void load(const std::string& path = {}) { load_level(content.state, content.system, path); }
    void write_level_body(const std::string& body) {
        content.write_text("KTV.gxml", "<?xml version=\"1.0\"?>\n<level>" + body + "</level>\n");
    }
};

TEST_F(level_loading, reads_the_level_file_and_exchanges_tiles_once_after_it) {
    content.write_png("pics/bg.png", 300, 200, {255, 1, 2, 3});
    write_level_body(
        "<tile_orientation>1</tile_orientation><name>Das Tal</name><pic type=\"bg\">bg.png</pic>"
        "<tile_x>60</tile_x><tile_y>40</tile_y><playersize>50</playersize>");
    open_main_window();
    load();
    const level_info& level = content.state.level;
    EXPECT_EQ(level.name, "Das Tal");
    EXPECT_EQ(level.tile_x, 40);
    EXPECT_EQ(level.tile_y, 60);
    EXPECT_EQ(level.playersize, 50);
    EXPECT_EQ(level.map_width, 300);
    EXPECT_EQ(level.map_height, 200);
    EXPECT_NE(level.background, 0);
    // The map comes through the load that shows its progress; the catalogues' pictures do not.
    EXPECT_EQ(content.system.map_pictures_loaded,
              std::vector<std::string>{content.path("pics/bg.png")});
    EXPECT_EQ(level.zoom, 100);
    EXPECT_EQ(level.level_file, content.path("KTV.gxml"));
    EXPECT_EQ(content.system.windows[0].title, "Das Tal");
}

TEST_F(level_loading, names_are_case_sensitive_and_the_last_occurrence_wins) {
    content.write_png("pics/one.png", 10, 10, {});
    content.write_png("pics/two.png", 20, 30, {});
    write_level_body(
        "<Name>Falsch</Name><name>Erst</name><name>Zweit</name><TILE_X>9</TILE_X>"
        "<tile_x>8</tile_x><pic type=\"bg\">one.png</pic><pic type=\"fg\">one.png</pic>"
        "<pic>one.png</pic><pic type=\"bg\">two.png</pic><pic type=\"bg\" type2=\"x\">x</pic>");
    load();
    EXPECT_EQ(content.state.level.name, "Zweit");
    EXPECT_EQ(content.state.level.tile_x, 8);
    // The last bg picture cannot be loaded: the background is gone with it.
    EXPECT_EQ(content.state.level.map_width, 0);
    EXPECT_EQ(content.state.level.background, 0);
    EXPECT_FALSE(content.state.level.shows_map());
}

TEST_F(level_loading, the_type_attribute_counts_wherever_it_stands) {
    content.write_png("pics/bg.png", 12, 10, {});
    write_level_body("<pic kind=\"fg\" type=\"bg\">bg.png</pic>");
    load();
    EXPECT_EQ(content.state.level.map_width, 12);
}

TEST_F(level_loading, a_missing_level_file_keeps_old_values_and_still_reads_catalogues) {
    game_state& state = content.state;
    state.level.tile_x = 33;
    state.level.name = "Alt";
    state.level.view_x = 7;
    state.level.zoom = 50;
    state.state_modified = true;
    state.labels.set(5, "RIP");
    state.graves.add({});
    content.write_players({{}, {}}, 40);
    load();
    EXPECT_EQ(state.level.tile_x, 33);
    EXPECT_EQ(state.level.name, "Alt");
    EXPECT_EQ(state.level.view_x, 7);
    EXPECT_EQ(state.level.zoom, 100);
    EXPECT_EQ(state.level.level_file, "");
    EXPECT_FALSE(state.state_modified);
    EXPECT_EQ(state.labels[5], "");
    EXPECT_TRUE(state.graves.empty());
    EXPECT_EQ(state.player_catalogue.size(), 2);
}

// No real board has tiles or tokens beyond max_level_size; larger or negative sizes would
// overflow the arithmetic of boxes, convoys and the starting row.
TEST_F(level_loading, sizes_beyond_any_board_are_held_within_the_level_limits) {
    const std::pair<const char*, int32_t> cases[] = {
        {"300", 300},
        {"16384", max_level_size},
        {"2000000000", max_level_size},
        {"$7FFFFFFF", max_level_size},
        {"-5", 0},
        {"-2147483648", 0},
    };
    for (const auto& [text, expected] : cases) {
        SCOPED_TRACE(text);
        write_level_body(std::string("<tile_x>") + text + "</tile_x><tile_y>" + text +
                         "</tile_y><playersize>" + text + "</playersize>");
        load();
        EXPECT_EQ(content.state.level.tile_x, expected);
        EXPECT_EQ(content.state.level.tile_y, expected);
        EXPECT_EQ(content.state.level.playersize, expected);
    }
}

TEST_F(level_loading, a_row_of_tokens_longer_than_any_map_ends_at_the_coordinate_limit) {
    write_level_body("<playersize>2000000000</playersize>");
    std::string players = "<players>";
    for (int i = 0; i < 1100; ++i) {
        players += "<player/>";
    }
    content.write_text("players.xml", players + "</players>");
    load();
    const game_state& state = content.state;
    ASSERT_EQ(state.tokens.size(), 1100);
    EXPECT_EQ(state.tokens[1].x, max_level_size + 25);
    EXPECT_EQ(state.tokens[1099].x, coordinate_limit);
    EXPECT_EQ(state.token_trails[1099].points[29],
              (map_point{coordinate_limit, 20 + max_level_size / 2 + max_level_size / 4 * 29}));
}

// A load exchanges the sizes it read, and only those: the others stay as the last read left
// them (exchanged by that load already), however often a new game is started.
TEST_F(level_loading, tiles_are_exchanged_only_as_far_as_this_load_read_them) {
    struct exchange_case {
        const char* name;
        const char* level_file;  // nullptr: no level file
        int32_t tile_x;
        int32_t tile_y;
    };
    const exchange_case cases[] = {
        {"no level file", nullptr, 40, 60},
        {"an empty file", "", 40, 60},
        {"no root element", "<?xml version=\"1.0\"?>\n", 40, 60},
        {"a root without sizes", "<level><name>B</name></level>", 40, 60},
        {"only the orientation", "<level><tile_orientation>0</tile_orientation></level>", 40, 60},
        {"only tile_x", "<level><tile_x>70</tile_x></level>", 40, 70},
        {"only tile_y", "<level><tile_y>30</tile_y></level>", 30, 60},
        {"both sizes", "<level><tile_x>70</tile_x><tile_y>30</tile_y></level>", 30, 70},
    };
    for (const exchange_case& c : cases) {
        SCOPED_TRACE(c.name);
        write_level_body(
            "<tile_orientation>1</tile_orientation><tile_x>60</tile_x><tile_y>40</tile_y>");
        load();
        if (c.level_file) {
            content.write_text("KTV.gxml", c.level_file);
        } else {
            ASSERT_TRUE(QFile::remove(QString::fromStdString(content.path("KTV.gxml"))));
        }
        for (int i = 0; i < 2; ++i) {
            load();
            EXPECT_EQ(content.state.level.tile_x, c.tile_x);
            EXPECT_EQ(content.state.level.tile_y, c.tile_y);
        }
    }
}

TEST_F(level_loading, a_broken_level_file_is_reported_and_its_parsed_part_used) {
    content.write_text("KTV.gxml",
                       "<level>\n<tile_x>5</tile_x>\n<name>A</nam>\n<tile_y>9</tile_y>");
    load();
    ASSERT_EQ(content.system.messages.size(), 1u);
    const auto& box = content.system.messages[0];
    EXPECT_EQ(box.title, "Error");
    EXPECT_EQ(box.text.rfind("Error in the XML file:\rMessage: mismatched tag\rLine: 3", 0), 0u)
        << box.text;
    EXPECT_NE(box.text.find("\rLine: 3   Character: "), std::string::npos);
    EXPECT_EQ(content.state.level.tile_x, 5);
    EXPECT_EQ(content.state.level.tile_y, 0);
}

TEST_F(level_loading, error_text_has_its_three_lines) {
    xml_document document;
    document.error_text = "not well-formed (invalid token)";
    document.error_line = 3;
    document.error_column = 7;
    EXPECT_EQ(xml_error_text(document),
              "Error in the XML file:\rMessage: not well-formed (invalid token)\rLine: 3   "
              "Character: 7");
}

TEST_F(level_loading, an_explicit_path_is_read_instead_of_the_default) {
    content.write_text("other/level.gxml", "<l><playersize>64</playersize></l>");
    write_level_body("<playersize>10</playersize>");
    load(content.path("other/level.gxml"));
    EXPECT_EQ(content.state.level.playersize, 64);
    EXPECT_EQ(content.state.level.level_file, content.path("other/level.gxml"));
}

TEST_F(level_loading, a_second_load_leaves_one_token_and_trail_per_player) {
    content.write_level("L", 400, 300, 40, 40, 40);
    content.write_players({{}, {}, {}}, 40);
    load();
    const picture_handle first_background = content.state.level.background;
    content.state.tokens[1].x = 300;
    content.state.token_trails[1].points[0] = {1, 1};
    load();
    // The first background is freed, and nothing of the new one is held twice over.
    const picture_store& pictures = content.system.pictures();
    EXPECT_FALSE(pictures.valid(first_background));
    EXPECT_TRUE(pictures.valid(content.state.level.background));
    ASSERT_EQ(content.state.tokens.size(), 3);
    ASSERT_EQ(content.state.token_trails.size(), 3);
    EXPECT_EQ(content.state.tokens[1].x, 65);
    EXPECT_EQ(content.state.token_trails[1].points[0], (map_point{85, 40}));
}

}  // namespace
}  // namespace quill
