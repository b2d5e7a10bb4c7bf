#include <gtest/gtest.h>

#include "content/ui_numbers.h"
#include "live_map/live_map.h"
#include "live_map/live_map_dialog.h"
#include "live_map/qr_picture.h"
#include "support/map_fixture.h"

namespace quill {
namespace {

using testing::map_fixture;

// A reader finds a code by its three finder patterns: dark squares of 7 modules in three
// corners, inside the quiet zone of 4 light modules.
TEST(qr_picture, has_the_quiet_zone_and_the_finder_patterns_a_reader_looks_for) {
    picture_store pictures;
    const picture_handle code = make_qr_picture(pictures, "http://192.168.1.20:8765/k/0123/", 3);
    ASSERT_NE(code, 0);
    const int side = pictures.width(code);
    ASSERT_EQ(pictures.height(code), side);
    ASSERT_EQ(side % 3, 0);
    const int modules = side / 3 - 8;
    EXPECT_GE(modules, 21);
    const auto dark = [&](int mx, int my) {
        return pictures.pixel(code, (mx + 4) * 3 + 1, (my + 4) * 3 + 1) == 0xFF000000;
    };
    for (const auto& [cx, cy] : {std::pair{0, 0}, {modules - 7, 0}, {0, modules - 7}}) {
        EXPECT_TRUE(dark(cx, cy) && dark(cx + 6, cy + 6) && dark(cx + 3, cy + 3));
        EXPECT_FALSE(dark(cx + 1, cy + 1) || dark(cx + 5, cy + 5));
    }
    EXPECT_EQ(pictures.pixel(code, 1, 1), 0xFFFFFFFF);
    EXPECT_EQ(make_qr_picture(pictures, std::string(8000, 'x'), 3), 0);
}

// The dialog on a sharing of the game, through the platform the tests drive.
struct live_map_dialog : map_fixture {
    void SetUp() override { make_level(600, 400, 40, 40, 800, 600); }
    void click(int control) {
        window_event event;
        event.kind = event_kind::control;
        event.window = ui::live_map_window;
        event.control = control;
        event.type = control_event::left_click;
        system.queue_event(event);
    }
};

TEST_F(live_map_dialog, shows_the_links_copies_the_first_and_ends_the_sharing) {
    live_map live(system);
    ASSERT_TRUE(live.start(state, QHostAddress::LocalHost));
    click(ui::copy_link_button);
    system.queue_close(ui::live_map_window);
    show_live_map_dialog(live, system);
    const auto& window = system.windows.at(ui::live_map_window);
    EXPECT_EQ(window.title, "Live-Karte");
    EXPECT_EQ(window.style, window_style::dialog);
    EXPECT_FALSE(window.open);
    EXPECT_TRUE(system.windows.at(ui::main_window).enabled);
    ASSERT_EQ(system.copied_texts.size(), 1u);
    EXPECT_EQ(system.copied_texts[0], live.links().front());
    EXPECT_TRUE(live.sharing()) << "closing the dialog keeps the sharing on";

    click(ui::stop_sharing_button);
    show_live_map_dialog(live, system);
    EXPECT_FALSE(live.sharing());
    EXPECT_TRUE(live.links().empty());
}

}  // namespace
}  // namespace quill
