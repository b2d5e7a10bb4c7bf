#include "view/picture_picker.h"
#include "support/content_fixture.h"
#include "support/map_fixture.h"

namespace quill {
namespace {

constexpr uint32_t white = 0xFFFFFFFFu;
constexpr uint32_t opaque(rgb c) {
    return 0xFF000000u | (c.r << 16) | (c.g << 8) | c.b;
}
constexpr rgb kind_colour(int i) {
    return {static_cast<uint8_t>(10 * i), 50, 200};
}

// A 800 x 600 canvas (window inner height 625 with the menu bar) and seven kinds of 40 x 40.
struct picture_picker : testing::map_fixture {
    item_list<catalogue_entry> kinds;

    void SetUp() override {
        make_level(2000, 1500, 40, 40, 800, 600);
        for (int i = 0; i < 7; ++i) {
            kinds.add({"k", "k", system.pictures().create(40, 40, kind_colour(i)), ""});
        }
    }
    void click(int x, int y) { system.queue_canvas(control_event::left_click, x, y); }
    int pick_at(int x, int y, random_cell random = random_cell::offered) {
        system.set_pointer(x, y);
        return pick_picture(state, system, kinds, 40, 40, random);
    }
    const scripted_platform::control_record& picker() { return system.controls.at(1); }
};

TEST_F(picture_picker, draws_the_grid_centred_on_the_pointer_and_hides_it_after_the_click) {
    testing::content_fixture content;
    content.write_png("pics/rnd.png", 40, 40, {255, 250, 0, 0});
    state.program_dir = content.program_dir();
    system.queue_action([&] {
        EXPECT_TRUE(picker().visible);
        EXPECT_EQ(picker().x, 180);
        EXPECT_EQ(picker().y, 130);
        EXPECT_EQ(picker().width, 200);
        EXPECT_EQ(picker().height, 80);
        auto pixel = [&](int x, int y) {
            return system.pictures().pixel(system.canvas_picture(1), x, y);
        };
        EXPECT_EQ(pixel(125, 5), opaque(kind_colour(3)));
        EXPECT_EQ(pixel(45, 45), opaque(kind_colour(6)));
        EXPECT_EQ(pixel(85, 45), opaque({250, 0, 0}));  // the random cell
        EXPECT_EQ(pixel(165, 45), white);
    });
    click(305, 135);
    EXPECT_EQ(pick_at(200, 150), 3);
    EXPECT_FALSE(picker().visible);
}

TEST_F(picture_picker, is_pulled_inside_the_window_but_never_pushed_right) {
    system.queue_action([&] {
        EXPECT_EQ(picker().x, 600);
        EXPECT_EQ(picker().y, 600 - 80);  // ends at the canvas's bottom, not below the window
    });
    click(799, 546);
    EXPECT_EQ(pick_at(790, 598), 4);

    system.resize_window(0, 150, 625);
    system.queue_action([&] { EXPECT_EQ(picker().x, -50); });
    click(0, 100);
    EXPECT_EQ(pick_at(100, 100), 1);
}

TEST_F(picture_picker, clicks_beside_the_grid_or_on_empty_cells_choose_nothing) {
    click(380, 135);  // one pixel right of the last column
    EXPECT_EQ(pick_at(200, 150), -1);
    click(379, 135);
    EXPECT_EQ(pick_at(200, 150), 4);
    click(305, 175);  // cell 8
    EXPECT_EQ(pick_at(200, 150), -1);
    click(345, 175);  // cell 9
    EXPECT_EQ(pick_at(200, 150), -1);
    click(265, 175);  // cell 7 without the random cell
    EXPECT_EQ(pick_at(200, 150, random_cell::left_out), -1);
    click(190, 175);  // below the single row of five
    kinds = {};
    for (int i = 0; i < 5; ++i) {
        kinds.add({});
    }
    EXPECT_EQ(pick_at(200, 150, random_cell::left_out), -1);
}

TEST_F(picture_picker, the_random_cell_draws_a_position_of_the_catalogue) {
    system.queue_random(5);
    click(265, 175);
    EXPECT_EQ(pick_at(200, 150), 5);
}

TEST_F(picture_picker, an_empty_catalogue_has_nothing_to_draw_at_random) {
    kinds = {};
    system.queue_random(0);
    click(185, 135);
    EXPECT_EQ(pick_at(200, 150), -1);
}

TEST_F(picture_picker, right_clicks_and_menu_commands_cancel_other_events_are_swallowed) {
    system.queue_canvas(control_event::right_click, 185, 135);
    EXPECT_EQ(pick_at(200, 150), -1);
    system.queue_menu(15);
    EXPECT_EQ(pick_at(200, 150), -1);

    system.queue_canvas(control_event::mouse_moved, 10, 10);
    system.queue_canvas(control_event::left_pressed, 500, 500);
    system.queue_canvas(control_event::left_click, 185, 135, 2);  // not a canvas of the window
    system.queue_close();
    window_event resized;
    resized.kind = event_kind::resized;
    resized.window = 0;
    system.queue_event(resized);
    click(185, 135);
    EXPECT_EQ(pick_at(200, 150), 0);
    EXPECT_EQ(system.events_delivered, 8);
}

TEST_F(picture_picker, a_grid_of_unusable_cell_sizes_is_not_shown) {
    system.set_pointer(200, 150);
    EXPECT_EQ(pick_picture(state, system, kinds, 0, 40, random_cell::offered), -1);
    EXPECT_EQ(pick_picture(state, system, kinds, 40, -3, random_cell::offered), -1);
    EXPECT_EQ(pick_picture(state, system, kinds, 1 << 30, 40, random_cell::offered), -1);
    EXPECT_EQ(pick_picture(state, system, {}, 40, 40, random_cell::left_out), -1);
    EXPECT_EQ(system.events_delivered, 0);
    EXPECT_FALSE(picker().visible);
}

}  // namespace
}  // namespace quill
