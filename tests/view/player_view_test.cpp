#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "content/ui_numbers.h"
#include "support/map_fixture.h"
#include "view/player_view.h"

namespace quill {
namespace {

using player_view = testing::map_fixture;

// The main canvas is 1286 x 775 in each case.
struct frame_case {
    std::string name;
    int map_width;
    int map_height;
    int zoom;
    int view_x;
    int view_y;
    bool following;
    int width;
    int height;
    map_frame expected;
};

TEST_F(player_view, looks_at_the_map_as_its_mode_and_size_ask) {
    const std::vector<frame_case> cases = {
        {"following at the same size: the main view",
         8192,
         8192,
         57,
         3000,
         2000,
         true,
         1286,
         775,
         {57, 3000, 2000}},
        // The middle of the main view (4128, 2679) in the middle of 3368 x 1894 map pixels.
        {"following on a larger screen",
         8192,
         8192,
         57,
         3000,
         2000,
         true,
         1920,
         1080,
         {57, 2444, 1732}},
        {"following at the map's top left corner",
         8192,
         8192,
         100,
         0,
         0,
         true,
         1920,
         1080,
         {100, 0, 0}},
        {"following at the map's far corner",
         4000,
         3000,
         100,
         2714,
         2225,
         true,
         1920,
         1080,
         {100, 2080, 1920}},
        {"following a map narrower than the screen",
         1500,
         8192,
         100,
         200,
         500,
         true,
         1920,
         1080,
         {100, 0, 347}},
        // 2000 x 1500 fits 1920 x 1080 at 72; the map's middle in the screen's.
        {"whole map, fitted", 2000, 1500, 57, 3000, 2000, false, 1920, 1080, {72, -333, 0}},
        {"whole small map at 100", 500, 400, 40, 0, 0, false, 1920, 1080, {100, -710, -340}},
        {"whole map too large even at 25",
         16384,
         16384,
         57,
         0,
         0,
         false,
         1920,
         1080,
         {25, 4352, 6032}},
    };
    for (const frame_case& c : cases) {
        state.level.map_width = c.map_width;
        state.level.map_height = c.map_height;
        state.level.canvas_width = 1286;
        state.level.canvas_height = 775;
        state.level.zoom = c.zoom;
        state.level.view_x = c.view_x;
        state.level.view_y = c.view_y;
        state.player_view.following = c.following;
        const map_frame frame = player_view_frame(state, c.width, c.height);
        EXPECT_EQ(frame.zoom, c.expected.zoom) << c.name;
        EXPECT_EQ(frame.view_x, c.expected.view_x) << c.name;
        EXPECT_EQ(frame.view_y, c.expected.view_y) << c.name;
    }
}

TEST_F(player_view, fills_a_screen_that_does_not_hold_the_main_window) {
    const screen_area left{0, 0, 1600, 1000};
    const screen_area right{1600, 0, 1920, 1080};
    EXPECT_EQ(table_screen({left}, 0), -1);
    EXPECT_EQ(table_screen({left, right}, 0), 1);
    EXPECT_EQ(table_screen({left, right}, 1), 0);
    EXPECT_EQ(table_screen({left, right, {3520, 0, 800, 600}}, 0), 1);

    make_level(4000, 3000, 40, 40, 1286, 775);
    system.set_screens({left, right});
    toggle_player_view(state, system);
    const auto& window = system.windows.at(ui::player_view_window);
    EXPECT_EQ(window.style, window_style::full_screen);
    EXPECT_EQ((screen_area{window.x, window.y, window.inner_width, window.inner_height}), right);
    EXPECT_EQ(system.controls.at(ui::player_view_canvas).width, 1920);
    EXPECT_EQ(system.controls.at(ui::player_view_canvas).height, 1080);
    EXPECT_EQ(system.checked_menu_items,
              (std::set<int>{ui::player_view_item, ui::player_view_follows_item}));
    // The game master's keys stay with the main window; F11 and Esc also work on the table's.
    EXPECT_EQ(system.active_window, ui::main_window);
    ASSERT_EQ(system.shortcuts.size(), 2u);
    EXPECT_EQ(system.shortcuts[0].key, shortcut_key::f11);
    EXPECT_EQ(system.shortcuts[0].id, ui::player_view_item);
    EXPECT_EQ(system.shortcuts[1].key, shortcut_key::escape);
    EXPECT_EQ(system.shortcuts[1].id, ui::player_view_escape);

    toggle_player_view(state, system);
    EXPECT_FALSE(system.windows.at(ui::player_view_window).open);
    EXPECT_FALSE(state.player_view.open);
    EXPECT_EQ(system.checked_menu_items, (std::set<int>{ui::player_view_follows_item}));
}

TEST_F(player_view, with_one_screen_is_an_ordinary_window) {
    make_level(4000, 3000, 40, 40, 1286, 775);
    system.set_screens({{0, 0, 1366, 768}});
    toggle_player_view(state, system);
    const auto& window = system.windows.at(ui::player_view_window);
    EXPECT_EQ(window.style, window_style::viewer);
    EXPECT_EQ(window.title, "Quillmark – Spieleransicht");
    EXPECT_EQ((screen_area{window.x, window.y, window.inner_width, window.inner_height}),
              (screen_area{171, 96, 1024, 576}));
    system.resize_window(ui::player_view_window, 800, 500);
    fit_player_view(state, system);
    EXPECT_EQ(system.controls.at(ui::player_view_canvas).width, 800);
    EXPECT_EQ(system.controls.at(ui::player_view_canvas).height, 500);
}

TEST_F(player_view, shows_no_hover_label_and_the_marker_at_its_own_size) {
    make_level(400, 300, 20, 20, 200, 100);
    system.set_screens({{0, 0, 1920, 1080}});
    toggle_player_view(state, system);
    system.resize_window(ui::player_view_window, 200, 100);
    fit_player_view(state, system);
    picture_store& pictures = system.pictures();
    const auto pixel = [&](int x, int y) {
        return pictures.pixel(system.canvas_picture(ui::player_view_canvas), x, y);
    };
    state.player_view.following = false;
    state.hover = {10, 10, "Grab"};
    render_player_view(state, system, false);
    // The map (400 x 300) fits 200 x 100 at 33: 132 x 99, in the middle.
    EXPECT_EQ(player_view_frame(state, 200, 100).zoom, 33);
    const uint32_t ground = pixel(100, 50);
    EXPECT_EQ(pixel(10, 10), 0xFFFFFFFFu);
    EXPECT_EQ(pixel(35, 1), ground);

    // A 12 x 12 marker stays 12 x 12 on the table's screen at 33.
    state.marker = {0, pictures.create(12, 12, {250, 250, 0}), true, 200, 150, 12, 12};
    system.set_clock(0);
    render_player_view(state, system, true);
    int marker_pixels = 0;
    for (int y = 0; y < 100; ++y) {
        for (int x = 0; x < 200; ++x) {
            marker_pixels += pixel(x, y) == 0xFFFAFA00u ? 1 : 0;
        }
    }
    EXPECT_GE(marker_pixels, 10 * 10);
    EXPECT_LE(marker_pixels, 13 * 13);
}

}  // namespace
}  // namespace quill
