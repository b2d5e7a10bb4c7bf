#include <unistd.h>

#include "e2e/program_fixture.h"

namespace quill::e2e {
namespace {

constexpr const char* player_view_title = "Quillmark – Spieleransicht";

// The second monitor's top left corner on the desktop of two.
constexpr point table{1600, 0};

struct player_view_e2e : e2e {
    void SetUp() override {
        const ::testing::AssertionResult started = x.start_two_screens();
        // The real X server lets others than root start it only from the console.
        if (!started && getuid() != 0) {
            GTEST_SKIP() << "the X server with two monitors needs root or a console session: "
                         << started.message();
        }
        ASSERT_TRUE(started);
    }
};

// F11 puts the map on the other monitor, without frame or pointer, while the game master's keys
// stay with the main window; a drag there moves the token on the table's screen; F11 ends it.
TEST_F(player_view_e2e, f11_shows_the_map_on_the_second_screen_and_follows_a_drag) {
    ASSERT_TRUE(start());
    x.key(XK_F11);
    Window view = None;
    ASSERT_TRUE(x.wait_window(player_view_title, view));
    ASSERT_TRUE(x.wait_until(
        [&] {
            const window_box box = x.inner(view);
            return box.at.x == table.x && box.at.y == table.y && box.width == 1920 &&
                   box.height == 1080;
        },
        "the player view filling the second monitor"));
    ASSERT_TRUE(x.wait_active(main));
    // Following the main view at the map's top left corner, the map lies there one to one, and
    // white right of it; token 0 stands at (25, 20).
    ASSERT_TRUE(x.wait_screen({{table + point{26, 21}, red},
                               {table + point{64, 59}, red},
                               {table + point{500, 500}, ground},
                               {table + point{1100, 100}, white}}));
    // Straight down, clear of the other tokens, which would cover it on the way.
    ASSERT_TRUE(drag(on_canvas(45, 40), on_canvas(45, 340), red));
    ASSERT_TRUE(x.wait_screen({{table + point{26, 321}, red},
                               {table + point{64, 359}, red},
                               {table + point{45, 40}, ground}}));

    x.move(table + point{800, 600});
    ASSERT_TRUE(x.wait_until([&] { return x.pointer_hidden(); }, "no pointer over the map"));

    x.key(XK_F11);
    ASSERT_TRUE(x.wait_gone(view));
}

// With one screen the player view is an ordinary window, framed, in the middle of the screen,
// and Esc in it ends it.
TEST_F(e2e, with_one_screen_the_player_view_is_an_ordinary_window_that_esc_ends) {
    ASSERT_TRUE(start());
    x.key(XK_F11);
    Window view = None;
    ASSERT_TRUE(x.wait_window(player_view_title, view));
    ASSERT_TRUE(x.wait_framed_at(view, {200, 140}));
    const window_box box = x.inner(view);
    EXPECT_EQ(box.width, 1200);
    EXPECT_EQ(box.height, 720);
    // Following the main view, 27 map pixels down keep the middles together: token 0's top
    // shows at the window's top.
    ASSERT_TRUE(x.wait_screen({{box.at + point{30, 10}, red}, {box.at + point{500, 400}, ground}}));
    ASSERT_TRUE(x.wait_active(view));
    x.key(XK_Escape);
    ASSERT_TRUE(x.wait_gone(view));
    ASSERT_TRUE(x.wait_active(main));
}

}  // namespace
}  // namespace quill::e2e
