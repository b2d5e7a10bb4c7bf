#include <gtest/gtest.h>

#include "app/menus.h"
#include "app/program.h"
#include "content/ui_numbers.h"
#include "live_map/live_map.h"
#include "support/map_fixture.h"

namespace quill {
namespace {

using testing::map_fixture;

struct live_map_command : map_fixture {
    void SetUp() override {
        make_level(600, 400, 40, 40, 800, 600);
        build_menus(system);
    }
    std::string item_text() {
        for (const auto& [id, text] : system.menu_bar.at(2).items) {
            if (id == ui::live_map_item) {
                return text;
            }
        }
        return {};
    }
    void click(int control) {
        window_event event;
        event.kind = event_kind::control;
        event.window = ui::live_map_window;
        event.control = control;
        event.type = control_event::left_click;
        system.queue_event(event);
    }
};

// While the game is shared, the item shows the dialog again and says so; ending the sharing in
// the dialog gives it back its first text. (The sharing is started on loopback beforehand: the
// command itself would listen on every address.)
TEST_F(live_map_command, the_item_reads_what_it_does_next) {
    live_map live(system);
    EXPECT_EQ(item_text(), "Live-Karte freigeben…");
    ASSERT_TRUE(live.start(state, QHostAddress::LocalHost));
    system.queue_close(ui::live_map_window);
    dispatch_command(state, system, ui::live_map_item, &live);
    EXPECT_TRUE(live.sharing());
    EXPECT_EQ(item_text(), "Live-Karte anzeigen…");
    EXPECT_EQ(system.windows.at(ui::live_map_window).title, "Live-Karte");

    click(ui::stop_sharing_button);
    dispatch_command(state, system, ui::live_map_item, &live);
    EXPECT_FALSE(live.sharing());
    EXPECT_EQ(item_text(), "Live-Karte freigeben…");
}

}  // namespace
}  // namespace quill
