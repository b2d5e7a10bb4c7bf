#include "e2e/program_fixture.h"

namespace quill::e2e {
namespace {

// The popup menu takes the left button's release, which the canvas replays at the next move.
// The drag ends as the menu opens: the late release over a token drops nothing, and A, current
// since B was removed, stays where it was.
TEST_F(e2e, a_popup_menu_opened_during_a_drag_ends_it) {
    ASSERT_TRUE(start());
    ASSERT_TRUE(load_two_transports());
    const point b = on_canvas(transport_b.x + 20, transport_b.y + 20);
    x.press(b);
    ASSERT_TRUE(move_held(b + point{10, 10}, cyan));
    x.click(b + point{10, 10}, Button3);
    ASSERT_TRUE(x.wait_popups(1));
    x.release();
    x.key(XK_Down);  // "Transportmittel entfernen"
    x.key(XK_Return);
    ASSERT_TRUE(x.wait_popups(0));
    // The question is answered with the pointer over token 0, where the canvas finds it when the
    // question has gone.
    Window question = None;
    ASSERT_TRUE(x.wait_window("Quillmark", question));
    ASSERT_TRUE(x.wait_active(question));
    x.move(on_canvas(45, 40));
    x.key(XK_Return);  // Yes
    ASSERT_TRUE(x.wait_gone(question));
    ASSERT_TRUE(x.wait_screen({{b + point{10, 10}, ground}}));
    x.move(on_canvas(46, 41));

    // A's inscription shows where A stayed, once the move over the token was handled.
    const point a = on_canvas(transport_a.x + 20, transport_a.y + 20);
    x.move(a);
    EXPECT_TRUE(x.wait_screen(
        {{a + point{1, 1}, black}, {on_canvas(transport_a.x + 1, transport_a.y + 1), cyan}}));
}

// The press counts where it happened, however far the pointer has gone when the program gets to
// it: here beyond the transport's edge.
TEST_F(e2e, a_quick_press_and_move_picks_up_what_was_pressed_on) {
    ASSERT_TRUE(start());
    ASSERT_TRUE(load_two_transports());
    const point edge = on_canvas(transport_a.x + 35, transport_a.y + 20);
    x.press_and_move(edge, edge + point{10, 0});
    EXPECT_TRUE(move_held(edge + point{40, 30}, cyan));
    x.release();
}

// Outside the window the pointer has no place on the map: the transport stays where it was last
// drawn and no inscription shows at the window's corner.
TEST_F(e2e, a_transport_let_go_outside_the_window_stays_where_it_was_last_drawn) {
    ASSERT_TRUE(start());
    ASSERT_TRUE(load_two_transports());
    const point a = on_canvas(transport_a.x + 20, transport_a.y + 20);
    x.press(a);
    ASSERT_TRUE(move_held(a + point{0, 100}, cyan));
    x.move({window_corner.x - 100, a.y + 100});
    x.release();
    // Handled in order: once the zoom shows, the release was handled.
    x.key(XK_KP_Subtract, {XK_Control_L});
    ASSERT_TRUE(x.wait_screen({{on_canvas(899, 300), ground}, {on_canvas(900, 300), white}}));
    const point last = on_canvas(transport_a.x * 9 / 10, (transport_a.y + 100) * 9 / 10);
    EXPECT_TRUE(x.wait_screen(
        {{last + point{1, 1}, cyan},
         {last + point{34, 34}, cyan},
         {on_canvas(5, 5), ground},
         {on_canvas(transport_a.x * 9 / 10 + 5, transport_a.y * 9 / 10 + 5), ground}}));
}

}  // namespace
}  // namespace quill::e2e
