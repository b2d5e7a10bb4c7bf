#include <gtest/gtest.h>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QCursor>
#include <QTest>
#include <QWidget>

#include "app/program.h"
#include "platform/qt/qt_platform.h"
#include "view/map_rendering.h"

namespace quill {
namespace {

// The real backend under the offscreen platform: Qt mouse events on the map canvas, through
// the program's own event loop, move a token.
TEST(qt_drag, a_press_drag_and_release_on_the_canvas_moves_a_token) {
    qt_platform system;
    game_state state;
    ASSERT_TRUE(start_up(state, system));

    level_info& level = state.level;
    level.background = system.pictures().create(2000, 1500, {20, 140, 20});
    level.map_width = 2000;
    level.map_height = 1500;
    level.playersize = level.tile_x = level.tile_y = 40;
    state.player_catalogue.add({"p", "p", system.pictures().create(40, 40, {0, 0, 200}), ""});
    map_item token;
    token.x = 100;
    token.y = 100;
    state.tokens.add(token);
    state.token_trails.add({});

    QWidget* canvas = system.widget_for_control(0);
    ASSERT_NE(canvas, nullptr);
    // The logic reads the pointer when it handles an event, so each Qt event is handled before
    // the pointer moves on. A close request of a second window marks the end of what is queued.
    constexpr int marker_window = 5;
    ASSERT_TRUE(system.open_window(marker_window, 0, 0, 10, 10, "", window_style::dialog, 0));
    const auto handle_queued = [&] {
        QCloseEvent close;
        QCoreApplication::sendEvent(system.window_widget(marker_window), &close);
        for (window_event event = system.wait_event();
             event.kind != event_kind::close_request || event.window != marker_window;
             event = system.wait_event()) {
            dispatch_event(state, system, event);
        }
    };
    const auto at = [&](int x, int y) {
        const QPoint point(x, y);
        QCursor::setPos(canvas->mapToGlobal(point));
        return point;
    };
    QTest::mousePress(canvas, Qt::LeftButton, {}, at(120, 120));
    handle_queued();
    EXPECT_EQ(state.drag_mode, drag_kind::drag_token);
    QTest::mouseMove(canvas, at(200, 180));
    handle_queued();
    QTest::mouseMove(canvas, at(300, 240));
    handle_queued();
    QTest::mouseRelease(canvas, Qt::LeftButton, {}, at(300, 240));
    handle_queued();
    render_map_view(state, system);

    EXPECT_EQ(state.tokens[0].x, 280);
    EXPECT_EQ(state.tokens[0].y, 220);
    EXPECT_EQ(state.drag_mode, drag_kind::drag_none);
}

}  // namespace
}  // namespace quill
