#include "app/program.h"
#include "support/map_fixture.h"

namespace quill {
namespace {

using testing::map_fixture;

// Whole mouse gestures on the map canvas, delivered through the event loop.
struct map_gestures : map_fixture {
    void SetUp() override { make_level(2000, 1500, 40, 40, 800, 600); }

    void press(int x, int y) { system.queue_canvas(control_event::left_pressed, x, y); }
    void move(int x, int y) { system.queue_canvas(control_event::mouse_moved, x, y); }
    void release(int x, int y) {
        system.queue_canvas(control_event::left_released, x, y);
        system.queue_canvas(control_event::left_click, x, y);
    }
    void run() {
        system.queue_close();
        while (run_one_pass(state, system)) {
        }
        ASSERT_FALSE(system.ran_dry);
    }
    map_point place_of(const map_item& item) { return {item.x, item.y}; }
};

TEST_F(map_gestures, dragging_a_token_centres_it_under_the_pointer) {
    add_token(100, 100);
    press(120, 120);
    move(200, 150);
    move(300, 210);
    release(300, 210);
    run();
    EXPECT_EQ(place_of(state.tokens[0]), (map_point{280, 190}));
    EXPECT_EQ(state.drag_mode, drag_kind::drag_none);
    EXPECT_TRUE(state.state_modified);
    EXPECT_EQ(state.token_trails[0].points[0], (map_point{300, 210}));
}

// A press on any edge of the box pans instead of picking the token up, which the move after it
// shows; one pixel inside, the token follows.
TEST_F(map_gestures, box_edges_miss_and_one_pixel_inside_hits) {
    add_token(100, 100);
    for (const map_point edge :
         {map_point{100, 120}, map_point{120, 100}, map_point{140, 120}, map_point{120, 140}}) {
        press(edge.x, edge.y);
        move(edge.x + 30, edge.y + 30);
        release(edge.x + 30, edge.y + 30);
    }
    run();
    EXPECT_EQ(place_of(state.tokens[0]), (map_point{100, 100}));
    EXPECT_EQ(state.level.view_x, 0);

    press(101, 101);
    move(201, 239);
    release(201, 239);
    run();
    EXPECT_EQ(place_of(state.tokens[0]), (map_point{181, 219}));
    press(200, 258);
    move(300, 300);
    release(300, 300);
    run();
    EXPECT_EQ(place_of(state.tokens[0]), (map_point{280, 280}));
}

TEST_F(map_gestures, the_later_of_two_overlapping_tokens_is_picked_up) {
    add_token(100, 100);
    add_token(110, 110);
    press(125, 125);
    move(400, 300);
    release(400, 300);
    run();
    EXPECT_EQ(state.tokens[0].x, 100);
    EXPECT_EQ(place_of(state.tokens[1]), (map_point{380, 280}));
}

TEST_F(map_gestures, dragging_the_empty_map_pans_it) {
    press(300, 300);
    move(250, 280);
    move(200, 260);
    release(200, 260);
    run();
    EXPECT_EQ(state.level.view_x, 100);
    EXPECT_EQ(state.level.view_y, 40);
    EXPECT_FALSE(state.state_modified);
}

TEST_F(map_gestures, dragging_off_the_window_leaves_the_item_where_it_was_last_moved) {
    add_grave(100, 100);
    press(120, 120);
    move(150, 150);
    system.queue_action([&] { state.state_modified = false; });
    window_event outside;
    outside.kind = event_kind::control;
    outside.window = 0;
    outside.control = 0;
    outside.type = control_event::mouse_moved;
    system.queue_action([&] { system.set_pointer_outside(); });
    system.queue_event(outside);
    system.queue_event(outside);
    run();
    EXPECT_EQ(place_of(state.graves[0]), (map_point{130, 130}));
    EXPECT_TRUE(state.state_modified);
}

// Outside the window the pointer has no map position: the transport stays where it was last
// drawn, free, and no inscription box appears at the window's corner.
TEST_F(map_gestures, a_transport_released_outside_the_window_stays_free_where_it_was) {
    state.level.view_x = 100;
    state.level.view_y = 100;
    add_token(80, 80);  // under the map point of a pointer at -1, -1
    state.labels.set(2, "Wagen von Sturmklingen");
    add_transport(400, 400).label = 2;
    press(320, 320);
    move(330, 340);
    window_event released;
    released.kind = event_kind::control;
    released.window = 0;
    released.control = 0;
    released.type = control_event::left_released;
    system.queue_action([&] { system.set_pointer_outside(); });
    system.queue_event(released);
    run();
    EXPECT_EQ(place_of(state.transports[0]), (map_point{410, 420}));
    EXPECT_EQ(state.transports[0].links[0], 0);
    EXPECT_EQ(state.tokens[0].links[0], 0);
    EXPECT_EQ(state.hover.text, "");
    EXPECT_EQ(state.drag_mode, drag_kind::drag_none);
}

TEST_F(map_gestures, items_stop_at_the_left_edge_of_the_view) {
    state.level.view_x = 300;
    state.level.zoom = 50;
    add_grave(400, 100);
    press(51, 51);  // (400 - 300) * 50 / 100 = 50
    move(2, 30);
    run();
    EXPECT_EQ(state.graves[0].x, 300);
}

TEST_F(map_gestures, zoomed_out_items_are_held_by_the_visible_area_not_the_map) {
    state.level.zoom = 25;  // the view spans 3200 map pixels, the map 2000
    add_grave(100, 100);
    press(30, 30);
    move(799, 30);
    run();
    EXPECT_EQ(state.graves[0].x, 3200 - 40);
}

TEST_F(map_gestures, releasing_a_tombstone_shows_its_inscription_at_the_pointer) {
    state.labels.set(4, "RIP Borin");
    add_grave(100, 100).label = 4;
    press(120, 120);
    move(220, 220);
    release(221, 222);
    run();
    EXPECT_EQ(state.hover.text, "RIP Borin");
    EXPECT_EQ(state.hover.x, 221);
    EXPECT_EQ(state.hover.y, 222);
}

TEST_F(map_gestures, hovering_shows_the_tombstone_before_an_overlapping_transport) {
    state.labels.set(1, "Grab");
    state.labels.set(2, "Wagen");
    add_grave(100, 100).label = 1;
    add_transport(110, 110).label = 2;
    move(140, 140);
    system.queue_action([&] {
        EXPECT_EQ(state.hover.text, "Wagen");
        EXPECT_EQ(state.hover.x, 140);
    });
    move(120, 120);
    system.queue_action([&] { EXPECT_EQ(state.hover.text, "Grab"); });
    move(500, 350);
    run();
    EXPECT_EQ(state.hover.text, "");
    EXPECT_EQ(state.hover.x, 120);
}

TEST_F(map_gestures, a_transport_dropped_on_a_token_joins_its_convoy) {
    add_token(300, 300);
    add_transport(100, 100);
    press(120, 120);
    move(310, 310);
    release(320, 320);
    run();
    EXPECT_EQ(state.tokens[0].links[0], 1);
    EXPECT_EQ(state.transports[0].links[0], 1);
    // Lined up below the unmoved token, along its start trail.
    EXPECT_EQ(place_of(state.transports[0]), (map_point{300, 340}));
}

TEST_F(map_gestures, a_transport_dropped_on_a_carried_transport_joins_that_convoy) {
    add_token(300, 300);
    add_transport(100, 100);
    add_transport(600, 600);
    carry(0, 1);
    state.transports[1].x = 300;
    state.transports[1].y = 340;
    press(120, 120);
    move(315, 355);
    release(315, 355);
    run();
    EXPECT_EQ(state.tokens[0].links, (std::array<uint8_t, 6>{2, 1, 0, 0, 0, 0}));
    EXPECT_EQ(state.transports[0].links[0], 1);
}

TEST_F(map_gestures, a_transport_dropped_on_a_free_transport_stays_free) {
    add_transport(100, 100);
    add_transport(300, 300);
    press(120, 120);
    move(315, 315);
    release(315, 315);
    run();
    EXPECT_EQ(state.transports[0].links[0], 0);
    EXPECT_EQ(state.transports.current_position(), 1);
}

TEST_F(map_gestures, a_click_on_the_last_transport_of_a_convoy_leaves_it_free_in_place) {
    add_token(300, 300);
    for (int i = 0; i < 3; ++i) {
        add_transport(0, 0);
        carry(0, i);
    }
    system.queue_action([&] { state.transports.select(0); });
    // The start trail lines the convoy up below the token: centres at y 360, 400, 440.
    system.queue_action([&] {
        for (int i = 0; i < 3; ++i) {
            state.transports[i].x = 300;
            state.transports[i].y = 340 + 40 * i;
        }
    });
    press(320, 440);
    release(320, 440);
    run();
    EXPECT_EQ(state.tokens[0].links, (std::array<uint8_t, 6>{1, 2, 0, 0, 0, 0}));
    EXPECT_EQ(state.transports[2].links[0], 0);
    EXPECT_EQ(place_of(state.transports[2]), (map_point{300, 420}));
}

TEST_F(map_gestures, a_click_on_the_middle_transport_sends_it_to_the_end_of_the_convoy) {
    add_token(300, 300);
    for (int i = 0; i < 3; ++i) {
        add_transport(300, 340 + 40 * i);
        carry(0, i);
    }
    press(320, 400);
    release(320, 400);
    run();
    EXPECT_EQ(state.tokens[0].links, (std::array<uint8_t, 6>{1, 3, 2, 0, 0, 0}));
    EXPECT_EQ(state.transports[1].links[0], 1);
    EXPECT_EQ(place_of(state.transports[2]), (map_point{300, 380}));
    EXPECT_EQ(place_of(state.transports[1]), (map_point{300, 420}));
}

TEST_F(map_gestures, a_token_carrying_six_refuses_a_seventh) {
    add_token(300, 300);
    for (int i = 0; i < 6; ++i) {
        add_transport(900, 100 + 50 * i);
        carry(0, i);
    }
    add_transport(100, 100);
    press(120, 120);
    move(310, 310);
    release(310, 310);
    run();
    ASSERT_EQ(system.messages.size(), 1u);
    EXPECT_EQ(system.messages[0].title, "Quillmark");
    EXPECT_EQ(system.messages[0].text,
              "Pro Spieler können maximal 6 Transportmittel angehängt werden.");
    EXPECT_EQ(system.messages[0].icon, message_icon::none);
    EXPECT_EQ(state.transports[6].links[0], 0);
    EXPECT_EQ(place_of(state.transports[6]), (map_point{290, 290}));
    EXPECT_EQ(state.tokens[0].links[5], 6);
}

TEST_F(map_gestures, a_double_click_on_an_item_drags_it_and_sets_the_marker) {
    add_grave(100, 100);
    system.set_clock(5000);
    press(120, 120);
    release(120, 120);
    press(120, 120);
    system.queue_canvas(control_event::left_double_click, 120, 120);
    move(200, 200);
    release(200, 200);
    run();
    EXPECT_TRUE(state.marker.active);
    EXPECT_EQ(state.marker.x, 120);
    EXPECT_EQ(state.marker.start_time, 5000);
    EXPECT_EQ(place_of(state.graves[0]), (map_point{180, 180}));
}

TEST_F(map_gestures, resizing_the_window_resizes_the_canvas) {
    system.queue_action([&] { system.resize_window(0, 900, 525); });
    window_event resized;
    resized.kind = event_kind::resized;
    resized.window = 0;
    system.queue_event(resized);
    run();
    EXPECT_EQ(state.level.canvas_width, 900);
    EXPECT_EQ(state.level.canvas_height, 500);
}

TEST_F(map_gestures, zoom_menu_items_and_shortcuts_share_their_commands) {
    system.queue_menu(9);
    system.queue_menu(16);
    system.queue_action([&] { EXPECT_EQ(state.level.zoom, 81); });
    system.queue_menu(10);
    system.queue_menu(15);
    system.queue_action([&] { EXPECT_EQ(state.level.zoom, 97); });
    system.queue_menu(17);
    system.queue_action([&] { EXPECT_EQ(state.level.zoom, 100); });
    system.queue_menu(9);
    system.queue_menu(8);
    run();
    EXPECT_EQ(state.level.zoom, 100);
    EXPECT_TRUE(state.state_modified);
}

}  // namespace
}  // namespace quill
