#include <gtest/gtest.h>
#include <QCursor>
#include <QMenuBar>

#include <algorithm>
#include <vector>

#include "platform_qt/qt_test_window.h"

namespace quill::test {
namespace {

using qt_windows = qt_main_window_test;

TEST_F(qt_windows, the_menu_bar_sits_in_the_counted_25_pixels_above_the_client_area) {
    platform.add_menu("Spiel");
    QWidget* window = platform.window_widget(0);
    QWidget* client = platform.client_widget(0);
    const QMenuBar* bar = window->findChild<QMenuBar*>();
    ASSERT_GT(bar->height(), 0);

    EXPECT_EQ(client->size(), QSize(1286, 775));
    EXPECT_EQ(platform.inner_height(0), 800);
    EXPECT_EQ(platform.menu_bar_height(0), 25);
    EXPECT_EQ(client->y(), bar->geometry().bottom() + 1);
    EXPECT_EQ(window->height(), bar->height() + 775);
    EXPECT_EQ(window->pos(), QPoint(220, 0));
    EXPECT_EQ(platform.inner_screen_position(0).y, client->mapToGlobal(QPoint(0, 0)).y());
    EXPECT_TRUE(window->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_FALSE(window->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
}

TEST_F(qt_windows, dialogs_and_popups_belong_to_an_open_owner) {
    ASSERT_TRUE(platform.open_window(1, 220, 0, 220, 474, "Players", window_style::dialog, 0));
    ASSERT_TRUE(platform.open_window(2, 300, 200, 240, 144, "", window_style::popup, 1));
    QWidget* dialog = platform.window_widget(1);
    EXPECT_EQ(dialog->parentWidget(), platform.window_widget(0));
    EXPECT_EQ(dialog->minimumSize(), dialog->maximumSize());
    EXPECT_EQ(platform.inner_height(1), 474);
    EXPECT_EQ(platform.window_widget(2)->parentWidget(), dialog);
    EXPECT_EQ(platform.inner_screen_position(2).x, 300);
    EXPECT_EQ(platform.inner_screen_position(2).y, 200);

    EXPECT_FALSE(platform.open_window(1, 0, 0, 10, 10, "", window_style::dialog, 0));
    EXPECT_FALSE(platform.open_window(3, 0, 0, 10, 10, "", window_style::popup, 7));
}

// The player view's windows: no pointer over them; the ordinary one is resizable and framed,
// the full-screen one has no frame and fills the screen it opens on.
TEST_F(qt_windows, windows_that_only_show_have_no_pointer_and_the_full_screen_one_no_frame) {
    const std::vector<screen_area> screens = platform.screens();
    ASSERT_FALSE(screens.empty());
    EXPECT_EQ(platform.screen_of(0), 0);
    ASSERT_TRUE(platform.open_window(4, 100, 100, 640, 360, "Quillmark – Spieleransicht",
                                     window_style::viewer));
    platform.create_canvas(4, 400, 0, 0, 640, 360, false);
    QWidget* viewer = platform.window_widget(4);
    EXPECT_EQ(platform.widget_for_control(400)->cursor().shape(), Qt::BlankCursor);
    EXPECT_TRUE(viewer->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_EQ(viewer->minimumSize(), QSize(0, 0));
    EXPECT_EQ(platform.menu_bar_height(4), 0);
    platform.close_window(4);

    const screen_area& area = screens.front();
    ASSERT_TRUE(platform.open_window(4, area.x, area.y, area.width, area.height,
                                     "Quillmark – Spieleransicht", window_style::full_screen));
    platform.show_windows_now();
    QWidget* full = platform.window_widget(4);
    EXPECT_TRUE(full->windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(full->isFullScreen());
    EXPECT_EQ(full->cursor().shape(), Qt::BlankCursor);
    EXPECT_EQ(platform.inner_width(4), area.width);
}

TEST_F(qt_windows, a_close_request_is_queued_and_the_window_stays_open) {
    QWidget* window = platform.window_widget(0);
    window->close();
    const window_event event = platform.wait_event();
    EXPECT_EQ(event.kind, event_kind::close_request);
    EXPECT_EQ(event.window, 0);
    EXPECT_TRUE(window->isVisible());
}

// An idle wait that asked to be woken ends at its time with an event of no kind; an event that is
// there already comes first, and a time long past wakes at once.
TEST_F(qt_windows, a_wait_with_a_wake_up_time_ends_at_that_time_when_nothing_happens) {
    queued_events();
    platform.window_widget(0)->close();
    EXPECT_EQ(platform.wait_event_until(platform.milliseconds() + 60'000).kind,
              event_kind::close_request);
    // The window system may still report the window's activation meanwhile.
    const int64_t wake_at = platform.milliseconds() + 50;
    while (platform.wait_event_until(wake_at).kind != event_kind::none) {
    }
    EXPECT_GE(platform.milliseconds(), wake_at);
    EXPECT_EQ(platform.wait_event_until(0).kind, event_kind::none);
}

TEST_F(qt_windows, closing_a_window_takes_its_owned_windows_controls_and_events) {
    ASSERT_TRUE(platform.open_window(1, 220, 0, 220, 474, "Players", window_style::dialog, 0));
    ASSERT_TRUE(platform.open_window(2, 300, 200, 50, 50, "", window_style::popup, 1));
    platform.create_button(1, 114, 10, 420, 200, 30, "Übernehmen");
    platform.window_widget(2)->close();

    platform.close_window(1);

    EXPECT_EQ(platform.window_widget(2), nullptr);
    EXPECT_EQ(platform.widget_for_control(114), nullptr);
    for (const window_event& event : queued_events()) {
        EXPECT_EQ(event.window, 0);
    }
}

TEST_F(qt_windows, disabling_a_window_leaves_the_windows_it_owns_usable) {
    ASSERT_TRUE(platform.open_window(1, 220, 0, 220, 474, "Players", window_style::dialog, 0));
    platform.disable_window(0);
    ASSERT_TRUE(platform.open_window(2, 300, 200, 50, 50, "", window_style::popup, 1));
    EXPECT_TRUE(platform.window_widget(1)->isEnabled());
    EXPECT_TRUE(platform.window_widget(2)->isEnabled());
    platform.window_widget(0)->close();
    for (const window_event& event : queued_events(1)) {
        EXPECT_NE(event.kind, event_kind::close_request);
    }

    platform.disable_window(1);
    platform.enable_window(0);
    EXPECT_FALSE(platform.window_widget(1)->isEnabled());
    EXPECT_TRUE(platform.window_widget(2)->isEnabled());
}

TEST_F(qt_windows, only_resizes_by_the_user_are_reported) {
    const auto resizes = [this] {
        const std::vector<window_event> events = queued_events();
        return std::count_if(events.begin(), events.end(),
                             [](const window_event& e) { return e.kind == event_kind::resized; });
    };
    EXPECT_EQ(resizes(), 0);
    QWidget* window = platform.window_widget(0);
    window->resize(1000, window->height() - 100);
    EXPECT_EQ(resizes(), 1);
    EXPECT_EQ(platform.inner_width(0), 1000);
    EXPECT_EQ(platform.inner_height(0), 700);
}

TEST_F(qt_windows, mouse_position_is_minus_one_on_an_axis_outside_the_client_area) {
    QWidget* client = platform.client_widget(0);
    QCursor::setPos(client->mapToGlobal(QPoint(100, 50)));
    EXPECT_EQ(platform.mouse_x(0), 100);
    EXPECT_EQ(platform.mouse_y(0), 50);
    QCursor::setPos(client->mapToGlobal(QPoint(1286, -1)));
    EXPECT_EQ(platform.mouse_x(0), -1);
    EXPECT_EQ(platform.mouse_y(0), -1);
}

}  // namespace
}  // namespace quill::test
