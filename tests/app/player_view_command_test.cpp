#include <gtest/gtest.h>

#include "app/menus.h"
#include "app/program.h"
#include "content/ui_numbers.h"
#include "support/map_fixture.h"

namespace quill {
namespace {

using testing::map_fixture;

constexpr uint32_t token_pixel = 0xFF0000C8u;

// The player view driven through the event loop, on a desktop of two screens: the main window
// on the left one, the table's screen right of it.
struct player_view_command : map_fixture {
    void SetUp() override {
        make_level(2000, 1500, 40, 40, 800, 600);
        build_menus(system);
        system.set_screens({{0, 0, 1600, 1000}, {1600, 0, 1920, 1080}});
        add_token(100, 100);
    }
    // Runs the queued events and draws what the last one left, as the next pass would.
    void run_queued(int passes) {
        for (int i = 0; i < passes; ++i) {
            ASSERT_TRUE(run_one_pass(state, system));
        }
        render_views(state, system);
    }
    uint32_t table_pixel(int x, int y) {
        return system.pictures().pixel(system.canvas_picture(ui::player_view_canvas), x, y);
    }
    void queue_from_table(event_kind kind, int id = 0) {
        window_event event;
        event.kind = kind;
        event.window = ui::player_view_window;
        event.menu_id = id;
        system.queue_event(event);
    }
};

// F11 opens it on the other screen; each drag step shows there in the pass that handled it; a
// press on the table's screen changes nothing; Esc, the close box and F11 end it.
TEST_F(player_view_command, shows_each_step_of_a_drag_and_ends_three_ways) {
    system.queue_menu(ui::player_view_item);
    run_queued(1);
    ASSERT_TRUE(state.player_view.open);
    // Following the main view at (0, 0), the map lies on the screen one to one.
    EXPECT_EQ(table_pixel(120, 120), token_pixel);

    system.queue_canvas(control_event::left_pressed, 120, 120);
    system.queue_canvas(control_event::mouse_moved, 400, 300);
    run_queued(2);
    EXPECT_EQ(table_pixel(400, 300), token_pixel);
    EXPECT_NE(table_pixel(120, 120), token_pixel);
    system.queue_canvas(control_event::left_released, 400, 300);
    run_queued(1);

    window_event press;
    press.kind = event_kind::control;
    press.window = ui::player_view_window;
    press.control = ui::player_view_canvas;
    press.type = control_event::left_pressed;
    system.queue_event_at(press, 400, 300);
    system.queue_event_at(press, 900, 700);
    run_queued(2);
    EXPECT_EQ(state.drag_mode, drag_kind::drag_none);
    EXPECT_EQ(state.tokens[0].x, 380);

    queue_from_table(event_kind::menu, ui::player_view_escape);
    run_queued(1);
    EXPECT_FALSE(state.player_view.open);
    EXPECT_FALSE(system.windows.at(ui::player_view_window).open);

    system.queue_menu(ui::player_view_item);
    queue_from_table(event_kind::close_request);
    run_queued(2);
    EXPECT_FALSE(state.player_view.open);

    system.queue_menu(ui::player_view_item);
    queue_from_table(event_kind::menu, ui::player_view_item);
    run_queued(2);
    EXPECT_FALSE(state.player_view.open);
    EXPECT_TRUE(system.checked_menu_items.contains(ui::player_view_follows_item));
    EXPECT_FALSE(system.checked_menu_items.contains(ui::player_view_item));
}

// Not following, the table sees the whole map whatever the main window shows, and the item's
// tick says so.
TEST_F(player_view_command, not_following_shows_the_whole_map) {
    system.queue_menu(ui::player_view_item);
    system.queue_menu(ui::player_view_follows_item);
    system.queue_menu(ui::zoom_out_item);
    run_queued(3);
    EXPECT_FALSE(system.checked_menu_items.contains(ui::player_view_follows_item));
    // 2000 x 1500 fits 1920 x 1080 at 72, in the middle: token (100, 100) at (72 + 240, 72).
    EXPECT_EQ(table_pixel(240 + 73, 73), token_pixel);
    EXPECT_EQ(table_pixel(200, 500), 0xFFFFFFFFu);
}

}  // namespace
}  // namespace quill
