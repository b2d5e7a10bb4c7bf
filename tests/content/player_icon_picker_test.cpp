#include <gtest/gtest.h>

#include "content/player_icon_picker.h"
#include "content/ui_numbers.h"
#include "support/content_fixture.h"

namespace quill {
namespace {

using testing::argb;
using testing::content_fixture;

constexpr int dialog = ui::player_icons_window;
constexpr int popup = ui::icon_picker_window;

window_event event_of(event_kind kind, int window) {
    window_event event;
    event.kind = kind;
    event.window = window;
    return event;
}

window_event control_of(int window, int control, control_event type) {
    window_event event = event_of(event_kind::control, window);
    event.control = control;
    event.type = type;
    return event;
}

// The picker opened over the player icons dialog, as the dialog opens it.
struct icon_picker : ::testing::Test {
    content_fixture content;
    scripted_platform& system = content.system;

    void SetUp() override {
        system.open_window(ui::main_window, 220, 0, 1286, 800, "Quillmark",
                           window_style::main_window, -1);
        system.open_window(dialog, 220, 0, 220, 474, "Players", window_style::dialog,
                           ui::main_window);
    }

    void write_icons(int count, int size) {
        for (int k = 0; k < count; ++k) {
            const std::string number = (k < 10 ? "0" : "") + std::to_string(k);
            content.write_png("players/icon" + number + ".png", size, size,
                              {255, 0, static_cast<uint8_t>(10 * k), 200});
        }
    }
    // A click at a screen position on the picker's canvas.
    void click_picker(int screen_x, int screen_y, control_event type = control_event::left_click) {
        system.queue_action(
            [this, screen_x, screen_y] { system.set_pointer_screen(screen_x, screen_y); });
        system.queue_event(control_of(popup, ui::icon_picker_canvas, type));
    }
    std::string choose(int screen_x = 300, int screen_y = 100) {
        return choose_player_icon(content.state, system, screen_x, screen_y);
    }
    void expect_closed() {
        EXPECT_FALSE(system.windows.at(popup).open);
        EXPECT_FALSE(system.controls.contains(ui::icon_picker_canvas));
        EXPECT_FALSE(system.ran_dry);
    }
};

TEST_F(icon_picker, eleven_icons_make_three_rows_and_empty_cells_are_not_chosen) {
    write_icons(11, 48);
    content.write_png("players/icon00.png", 48, 48, {128, 255, 0, 0});
    system.queue_action([this] {
        const auto& window = system.windows.at(popup);
        EXPECT_EQ(window.x, 300);
        EXPECT_EQ(window.y, 100);
        EXPECT_EQ(window.inner_width, 240);
        EXPECT_EQ(window.inner_height, 144);
        EXPECT_EQ(window.style, window_style::popup);
        EXPECT_EQ(window.owner, dialog);
        EXPECT_EQ(window.title, "");
        EXPECT_EQ(system.active_window, popup);
        const auto& canvas = system.controls.at(ui::icon_picker_canvas);
        EXPECT_EQ(canvas.window, popup);
        EXPECT_EQ(canvas.x, 0);
        EXPECT_EQ(canvas.y, 0);
        EXPECT_EQ(canvas.width, 240);
        EXPECT_EQ(canvas.height, 144);

        const picture_store& pictures = system.pictures();
        const uint32_t blended = pictures.pixel(canvas.picture, 10, 10);  // half red over white
        EXPECT_EQ(blended >> 16 & 0xFF, 255u);
        EXPECT_NEAR(static_cast<int>(blended >> 8 & 0xFF), 127, 1);
        EXPECT_EQ(pictures.pixel(canvas.picture, 7 % 5 * 48 + 5, 48 + 5), 0xFF0046C8u);
        EXPECT_EQ(pictures.pixel(canvas.picture, 100, 100), 0xFFFFFFFFu);  // cell 12: empty
    });
    click_picker(400, 200);                              // (100, 100): cell 12, no icon
    click_picker(400, 160, control_event::right_click);  // its own right click: nothing
    click_picker(400, 160);                              // (100, 60): icon 7
    EXPECT_EQ(choose(), "icon07.png");
    expect_closed();
    EXPECT_EQ(system.events_delivered, 3);
}

TEST_F(icon_picker, rows_are_filled_five_icons_wide) {
    write_icons(5, 30);
    system.queue_action([this] { EXPECT_EQ(system.windows.at(popup).inner_height, 30); });
    click_picker(300 + 149, 100 + 29);
    EXPECT_EQ(choose(), "icon04.png");

    write_icons(6, 30);
    system.queue_action([this] {
        EXPECT_EQ(system.windows.at(popup).inner_width, 150);
        EXPECT_EQ(system.windows.at(popup).inner_height, 60);
    });
    click_picker(300 + 31, 100 + 31);  // the empty second cell of the second row
    click_picker(300 + 29, 100 + 31);
    EXPECT_EQ(choose(), "icon05.png");
    expect_closed();
}

TEST_F(icon_picker, the_dialog_brings_it_back_when_activated_and_any_click_there_ends_it) {
    write_icons(3, 40);
    // A click on an empty part of the dialog makes it the active window.
    system.queue_action([this] { system.activate_window(dialog); });
    system.queue_event(event_of(event_kind::activated, dialog));
    system.queue_event(event_of(event_kind::deactivated, dialog));
    system.queue_event(event_of(event_kind::repaint, dialog));
    system.queue_event(control_of(dialog, 107, control_event::mouse_moved));
    system.queue_action([this] {
        EXPECT_EQ(system.active_window, popup);
        EXPECT_TRUE(system.windows.at(popup).open);
    });
    system.queue_event(control_of(dialog, 108, control_event::left_click));
    system.queue_event(control_of(dialog, 114, control_event::left_click));
    EXPECT_EQ(choose(), "");
    expect_closed();
    EXPECT_TRUE(system.windows.at(dialog).open);
    // The button click was used up; the next one is still waiting.
    EXPECT_EQ(system.events_delivered, 5);

    for (event_kind kind : {event_kind::moved, event_kind::close_request, event_kind::resized}) {
        system.queue_event(event_of(kind, dialog));
        EXPECT_EQ(choose(), "") << static_cast<int>(kind);
        expect_closed();
        EXPECT_TRUE(system.windows.at(dialog).open);
    }
    system.queue_event(control_of(dialog, 100, control_event::right_click));
    EXPECT_EQ(choose(), "");
    expect_closed();
}

TEST_F(icon_picker, a_missing_directory_is_reported_and_nothing_opens) {
    EXPECT_EQ(choose(), "");
    ASSERT_EQ(system.messages.size(), 1u);
    EXPECT_EQ(system.messages[0].title, "Quillmark");
    EXPECT_EQ(system.messages[0].text,
              "Player icons are missing. Please check the players directory.");
    EXPECT_EQ(system.messages[0].icon, message_icon::error);
    EXPECT_EQ(system.messages[0].buttons, message_buttons::ok);
    EXPECT_FALSE(system.windows.contains(popup));
}

TEST_F(icon_picker, nothing_to_show_opens_nothing) {
    content.write_text("players/readme.txt", "no icons here");
    EXPECT_EQ(choose(), "");
    EXPECT_FALSE(system.windows.contains(popup));
    EXPECT_TRUE(system.messages.empty());

    content.write_text("players/broken.png", "not a picture");
    EXPECT_EQ(choose(), "");
    EXPECT_FALSE(system.windows.contains(popup));
    EXPECT_EQ(system.events_delivered, 0);
}

TEST_F(icon_picker, a_broken_last_icon_takes_the_size_of_the_last_one_that_loaded) {
    write_icons(2, 32);
    content.write_text("players/zz.png", "not a picture");
    system.queue_action([this] {
        EXPECT_EQ(system.windows.at(popup).inner_width, 160);
        EXPECT_EQ(system.windows.at(popup).inner_height, 32);
    });
    click_picker(300 + 70, 100 + 5);  // its white cell can still be chosen
    EXPECT_EQ(choose(), "zz.png");
    expect_closed();
}

TEST_F(icon_picker, icons_added_while_running_appear_at_the_next_call) {
    write_icons(1, 20);
    click_picker(300 + 5, 100 + 5);
    EXPECT_EQ(choose(), "icon00.png");
    content.write_png("players/a_new.PNG", 20, 20, {});
    click_picker(300 + 5, 100 + 5);
    EXPECT_EQ(choose(), "a_new.PNG");
}

}  // namespace
}  // namespace quill
