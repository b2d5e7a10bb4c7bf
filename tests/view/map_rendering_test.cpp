#include <gtest/gtest.h>

#include "platform/drawing.h"
#include "platform/scripted/scripted_platform.h"
#include "view/map_rendering.h"

namespace quill {
namespace {

constexpr uint32_t opaque(rgb c) {
    return 0xFF000000u | (c.r << 16) | (c.g << 8) | c.b;
}

constexpr rgb ground{10, 120, 10};
constexpr rgb grave_colour{100, 100, 100};
constexpr rgb transport_colour{150, 80, 20};
constexpr rgb token_colour{0, 0, 200};

// A 400 x 300 map on a 200 x 100 canvas, one catalogue entry per layer, pictures 20 x 20.
struct map_rendering : ::testing::Test {
    scripted_platform system;
    game_state state;
    picture_store& pictures = system.pictures();

    void SetUp() override {
        system.open_window(0, 220, 0, 200, 125, "Quillmark", window_style::main_window, -1);
        system.create_menu_bar(0);
        system.create_canvas(0, 0, 0, 0, 200, 100, true);
        level_info& level = state.level;
        level.background = pictures.create(400, 300, ground);
        level.map_width = 400;
        level.map_height = 300;
        level.canvas_width = 200;
        level.canvas_height = 100;
        level.zoom = 100;
        level.tile_x = level.tile_y = level.playersize = 20;
        state.grave_catalogue.add({"g", "g", pictures.create(20, 20, grave_colour), ""});
        state.transport_catalogue.add({"t", "t", pictures.create(20, 20, transport_colour), ""});
        state.player_catalogue.add({"p", "p", pictures.create(20, 20, token_colour), ""});
    }

    uint32_t canvas_pixel(int x, int y) { return pictures.pixel(system.canvas_picture(0), x, y); }
    map_item item_at(int x, int y) {
        map_item item;
        item.x = x;
        item.y = y;
        return item;
    }
};

TEST_F(map_rendering, nothing_is_drawn_without_a_level) {
    state.level.background = 0;
    {
        auto canvas = system.start_canvas_drawing(0);
        canvas->fill_box(0, 0, 200, 100, {1, 2, 3});
    }
    render_map_view(state, system);
    EXPECT_EQ(canvas_pixel(50, 50), opaque({1, 2, 3}));
}

TEST_F(map_rendering, layers_stack_tombstones_transports_tokens) {
    state.graves.add(item_at(10, 10));
    state.transports.add(item_at(15, 15));
    state.tokens.add(item_at(20, 20));
    render_map_view(state, system);
    EXPECT_EQ(canvas_pixel(12, 12), opaque(grave_colour));
    EXPECT_EQ(canvas_pixel(17, 17), opaque(transport_colour));
    EXPECT_EQ(canvas_pixel(25, 25), opaque(token_colour));
    EXPECT_EQ(canvas_pixel(5, 5), opaque(ground));
}

TEST_F(map_rendering, a_dragged_transport_lies_above_the_tokens) {
    state.tokens.add(item_at(20, 20));
    state.transports.add(item_at(15, 15));
    state.transports.add(item_at(100, 50));
    state.transports.select(0);
    render_map_view(state, system);
    EXPECT_EQ(canvas_pixel(25, 25), opaque(token_colour));
    state.drag_mode = drag_kind::drag_transport;
    render_map_view(state, system);
    EXPECT_EQ(canvas_pixel(25, 25), opaque(transport_colour));
    EXPECT_EQ(state.transports.current_position(), 0);
}

TEST_F(map_rendering, later_items_of_a_layer_cover_earlier_ones) {
    state.player_catalogue.add({"q", "q", pictures.create(20, 20, {200, 0, 0}), ""});
    state.tokens.add(item_at(20, 20));
    map_item second = item_at(25, 25);
    second.catalogue_index = 1;
    state.tokens.add(second);
    state.tokens.select(0);
    render_map_view(state, system);
    EXPECT_EQ(canvas_pixel(30, 30), opaque({200, 0, 0}));
    EXPECT_EQ(state.tokens.current_position(), 0);
}

TEST_F(map_rendering, zoom_and_view_offset_place_the_scaled_map) {
    state.graves.add(item_at(200, 0));
    state.level.zoom = 50;
    state.level.view_x = 101;
    render_map_view(state, system);
    // 101 * 50 / 100 = 50: map pixel 200 lands on canvas pixel 100 - 50 = 50.
    EXPECT_EQ(canvas_pixel(50, 2), opaque(grave_colour));
    EXPECT_EQ(canvas_pixel(49, 2), opaque(ground));
    EXPECT_EQ(canvas_pixel(59, 2), opaque(grave_colour));
    EXPECT_EQ(canvas_pixel(60, 2), opaque(ground));
}

TEST_F(map_rendering, the_canvas_beyond_the_scaled_map_is_white) {
    state.level.zoom = 25;
    render_map_view(state, system);
    EXPECT_EQ(canvas_pixel(99, 10), opaque(ground));
    EXPECT_EQ(canvas_pixel(100, 10), opaque({255, 255, 255}));
    EXPECT_EQ(canvas_pixel(10, 75), opaque({255, 255, 255}));
}

// A view panned off the map shows no map pixel: the kept ground of the last view is given up
// rather than left behind, one canvas-sized picture a redraw.
TEST_F(map_rendering, a_view_without_map_pixels_keeps_no_ground) {
    render_map_view(state, system);
    const picture_handle kept = state.view_memory.ground;
    ASSERT_TRUE(pictures.valid(kept));
    state.level.view_x = 5000;
    render_map_view(state, system);
    EXPECT_FALSE(pictures.valid(kept));
    EXPECT_EQ(state.view_memory.ground, 0);
    EXPECT_EQ(canvas_pixel(10, 10), opaque({255, 255, 255}));
}

// A smaller canvas keeps its ground in the corner of the picture the larger one kept, sparing
// fresh memory; grown again, the canvas is composed anew and shows nothing an older ground left
// beyond that corner.
TEST_F(map_rendering, a_canvas_grown_again_shows_no_older_ground) {
    const auto resize = [&](int width, int height) {
        system.move_control(0, platform::keep_value, platform::keep_value, width, height);
        state.level.canvas_width = width;
        state.level.canvas_height = height;
    };
    render_map_view(state, system);
    const picture_handle kept = state.view_memory.ground;
    resize(150, 80);
    render_map_view(state, system);
    EXPECT_EQ(state.view_memory.ground, kept);
    {
        drawing repaint(pictures, state.level.background);
        repaint.fill_box(0, 0, 400, 300, {200, 10, 10});
    }
    render_map_view(state, system);
    resize(200, 100);
    render_map_view(state, system);
    EXPECT_EQ(canvas_pixel(180, 90), opaque({200, 10, 10}));
}

TEST_F(map_rendering, items_beyond_the_map_picture_are_not_drawn) {
    state.tokens.add(item_at(395, 10));
    state.level.view_x = 250;
    render_map_view(state, system);
    EXPECT_EQ(canvas_pixel(147, 15), opaque(token_colour));
    EXPECT_EQ(canvas_pixel(152, 15), opaque({255, 255, 255}));
}

// The picture swings away from the point for half a second and back for the next; the ring
// grows from the point. The redraw after 3000 ms still shows the marker, the next does not.
TEST_F(map_rendering, the_marker_swings_out_and_back_and_lives_for_3000_ms) {
    constexpr rgb yellow{255, 255, 0};
    state.marker.image = pictures.create(8, 8, yellow);
    state.marker.width = 8;
    state.marker.height = 8;
    state.marker.active = true;
    state.marker.start_time = 1000;
    state.marker.x = 100;
    state.marker.y = 50;
    system.set_clock(1000 + 200);  // ring radius 10
    render_map_view(state, system);
    EXPECT_EQ(canvas_pixel(110, 50), opaque({255, 0, 0}));
    EXPECT_EQ(canvas_pixel(100, 49), opaque(ground));

    const std::pair<int, int> swings[] = {{100, 5}, {480, 24}, {980, 1}, {1500, 25}, {3001, 0}};
    for (const auto& [elapsed, d] : swings) {
        SCOPED_TRACE(elapsed);
        system.set_clock(1000 + elapsed);
        render_map_view(state, system);
        EXPECT_EQ(canvas_pixel(100 + d + 1, 50 + d + 1), opaque(yellow));
        EXPECT_EQ(canvas_pixel(100 + d + 7, 50 + d + 7), opaque(yellow));
        EXPECT_NE(canvas_pixel(100 + d + 8, 50 + d + 8), opaque(yellow));
    }
    EXPECT_FALSE(state.marker.active);
    render_map_view(state, system);
    EXPECT_EQ(canvas_pixel(103, 53), opaque(ground));
}

TEST_F(map_rendering, the_marker_picture_keeps_its_screen_size_at_every_zoom) {
    state.marker.image = pictures.create(8, 8, {255, 255, 0});
    state.marker.width = 8;
    state.marker.height = 8;
    state.marker.active = true;
    state.marker.x = 100;
    state.marker.y = 100;
    state.level.zoom = 25;
    system.set_clock(0);  // d = 0, ring radius 0
    render_map_view(state, system);
    // 8 * 100 / 25 = 32 map pixels, 8 canvas pixels: canvas 25..32 at zoom 25.
    EXPECT_EQ(canvas_pixel(30, 30), opaque({255, 255, 0}));
    EXPECT_EQ(canvas_pixel(26, 32), opaque({255, 255, 0}));
    EXPECT_NE(canvas_pixel(34, 34), opaque({255, 255, 0}));
}

TEST_F(map_rendering, the_label_box_is_clamped_to_the_window) {
    state.hover.text = "Wagen von Sturmklingen und noch viel mehr Text";
    state.hover.x = 190;
    state.hover.y = 95;
    render_map_view(state, system);
    // Right and bottom edges of the box sit on the window's inner right edge and the canvas bottom.
    EXPECT_EQ(canvas_pixel(199, 99), opaque({0, 0, 0}));
    EXPECT_EQ(state.hover.x, 190);
}

}  // namespace
}  // namespace quill
