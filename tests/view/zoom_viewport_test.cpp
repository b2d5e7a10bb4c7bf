#include "view/zoom_viewport.h"
#include "support/map_fixture.h"

namespace quill {
namespace {

using testing::map_fixture;

std::vector<int> zoom_sequence(game_state& state, int start, zoom_mode mode, int steps) {
    state.level.zoom = start;
    std::vector<int> seen;
    for (int i = 0; i < steps; ++i) {
        zoom_view(state, mode);
        seen.push_back(state.level.zoom);
    }
    return seen;
}

TEST(zoom, out_and_in_sequences_truncate_and_stop_at_their_limits) {
    game_state state;
    EXPECT_EQ(zoom_sequence(state, 100, zoom_mode::zoom_out, 13),
              (std::vector<int>{90, 81, 72, 64, 57, 51, 45, 40, 36, 32, 28, 25, 25}));
    EXPECT_EQ(zoom_sequence(state, 25, zoom_mode::zoom_in, 18),
              (std::vector<int>{27, 29, 31, 34, 37, 40, 44, 48, 52, 57, 62, 68, 74, 81, 89, 97, 100,
                                100}));
    state.level.zoom = 100;
    zoom_view(state, zoom_mode::zoom_out);
    zoom_view(state, zoom_mode::zoom_out);
    zoom_view(state, zoom_mode::zoom_in);
    zoom_view(state, zoom_mode::zoom_in);
    EXPECT_EQ(state.level.zoom, 97);
}

TEST(zoom, every_command_marks_the_game_changed_even_without_effect) {
    for (const auto& [start, mode] :
         {std::pair{25, zoom_mode::zoom_out}, std::pair{100, zoom_mode::zoom_in},
          std::pair{100, zoom_mode::zoom_reset}}) {
        game_state state;
        state.level.zoom = start;
        state.level.view_x = 40;
        zoom_view(state, mode);
        EXPECT_EQ(state.level.zoom, start);
        EXPECT_TRUE(state.state_modified);
        EXPECT_EQ(state.level.view_x, 40);
    }
}

struct viewport : map_fixture {};

TEST_F(viewport, panning_moves_the_view_one_to_one_and_stops_at_the_map_edges) {
    make_level(1000, 800, 40, 40, 400, 300);
    for (const int zoom : {100, 57, 45}) {
        state.level.zoom = zoom;
        state.level.view_x = 0;
        state.level.view_y = 0;
        state.drag_anchor = {200, 150};
        system.set_pointer(150, 130);  // dragged 50 left, 20 up: the view moves right and down
        pan_view(state, system);
        EXPECT_EQ(state.level.view_x, 50) << zoom;
        EXPECT_EQ(state.level.view_y, 20) << zoom;
        EXPECT_EQ(state.drag_anchor.x, 150);
        state.level.view_x = 5000;
        state.level.view_y = 5000;
        system.set_pointer(149, 129);
        pan_view(state, system);
        EXPECT_EQ(state.level.view_x, 1000 - 400 * 100 / zoom) << zoom;
        EXPECT_EQ(state.level.view_y, 800 - 300 * 100 / zoom) << zoom;
        state.level.view_x = 10;
        state.level.view_y = 10;
        system.set_pointer(199, 179);
        pan_view(state, system);
        EXPECT_EQ(state.level.view_x, 0);
        EXPECT_EQ(state.level.view_y, 0);
    }
}

TEST_F(viewport, a_map_narrower_than_the_canvas_stays_at_the_left_edge) {
    make_level(1000, 800, 40, 40, 400, 300);
    state.level.zoom = 36;  // 360 < 400 wide, 288 < 300 high
    state.level.view_x = 70;
    state.level.view_y = 10;
    state.drag_anchor = {100, 100};
    system.set_pointer(50, 60);
    pan_view(state, system);
    EXPECT_EQ(state.level.view_x, 0);
    EXPECT_EQ(state.level.view_y, 0);
    EXPECT_EQ(state.drag_anchor.x, 100);
}

TEST_F(viewport, a_map_that_exactly_fills_the_canvas_is_held_at_zero) {
    make_level(800, 600, 40, 40, 400, 300);
    state.level.zoom = 50;
    state.drag_anchor = {200, 200};
    system.set_pointer(100, 100);
    pan_view(state, system);
    EXPECT_EQ(state.level.view_x, 0);
    EXPECT_EQ(state.drag_anchor.x, 100);
}

TEST_F(viewport, a_pointer_outside_the_window_does_not_pan) {
    make_level(1000, 800, 40, 40, 400, 300);
    state.drag_anchor = {200, 150};
    system.set_pointer_outside();
    pan_view(state, system);
    EXPECT_EQ(state.level.view_x, 0);
    EXPECT_EQ(state.drag_anchor.x, 200);
}

TEST_F(viewport, resizing_fits_the_canvas_and_resets_offsets_only_beyond_the_full_map) {
    make_level(1000, 800, 40, 40, 400, 300);
    state.level.view_x = 300;
    state.level.view_y = 200;
    state.level.zoom = 50;
    system.resize_window(0, 900, 425);  // wider than the zoomed map, not than the full one
    resize_canvas(state, system);
    EXPECT_EQ(state.level.canvas_width, 900);
    EXPECT_EQ(state.level.canvas_height, 400);
    EXPECT_EQ(system.controls.at(0).width, 900);
    EXPECT_EQ(system.controls.at(0).height, 400);
    EXPECT_EQ(state.level.view_x, 300);
    system.resize_window(0, 1100, 900);
    resize_canvas(state, system);
    EXPECT_EQ(state.level.view_x, 0);
    EXPECT_EQ(state.level.view_y, 0);
}

TEST_F(viewport, window_positions_convert_to_map_pixels) {
    make_level(1000, 800, 40, 40, 400, 300);
    state.level.zoom = 50;
    state.level.view_x = 30;
    state.level.view_y = 7;
    EXPECT_EQ(window_to_map(state, system, 101, axis::x), 232);
    EXPECT_EQ(window_to_map(state, system, 101, axis::y), 209);
    EXPECT_EQ(window_to_map(state, system, -1, axis::x), 28);
    state.level.zoom = 0;  // from a damaged file: no division by zero
    EXPECT_EQ(window_to_map(state, system, 3, axis::x), 330);
}

}  // namespace
}  // namespace quill
