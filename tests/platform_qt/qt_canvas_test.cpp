#include <gmock/gmock.h>
#include <QCursor>
#include <QMouseEvent>
#include <QTest>
#include <QWheelEvent>
#include <QWindow>

#include <tuple>

#include "platform_qt/qt_test_window.h"

namespace quill::test {
namespace {

using ::testing::ElementsAre;
using enum control_event;

class qt_canvas : public qt_main_window_test {
protected:
    void SetUp() override {
        qt_main_window_test::SetUp();
        platform.create_canvas(0, 0, 0, 0, 1286, 775, true);
        canvas = platform.widget_for_control(0);
        queued_events();
    }

    // The mouse goes through Qt's window handling, so that its pointer grab takes part.
    QWindow* window() { return canvas->window()->windowHandle(); }
    QPoint at(int x, int y) { return canvas->mapTo(canvas->window(), QPoint(x, y)); }
    // Qt may report a move of the pointer to where a button goes down; only the buttons count.
    std::vector<control_event> queued_button_events(int control = 0) {
        std::vector<control_event> types = queued_control_events(control);
        std::erase(types, mouse_moved);
        return types;
    }

    QWidget* canvas = nullptr;
};

TEST_F(qt_canvas, clicks_count_only_when_released_inside) {
    QTest::mouseClick(window(), Qt::LeftButton, {}, at(10, 10));
    EXPECT_THAT(queued_button_events(), ElementsAre(left_pressed, left_released, left_click));

    QTest::mousePress(window(), Qt::LeftButton, {}, at(10, 10));
    queued_events();
    // Above the canvas lies the menu bar.
    QTest::mouseMove(window(), at(10, -5));
    QTest::mouseRelease(window(), Qt::LeftButton, {}, at(10, -5));
    EXPECT_THAT(queued_control_events(0), ElementsAre(mouse_moved, left_released));

    QTest::mouseClick(window(), Qt::RightButton, {}, at(100, 100));
    EXPECT_THAT(queued_button_events(), ElementsAre(right_click));
    QTest::mousePress(window(), Qt::RightButton, {}, at(100, 100));
    QTest::mouseRelease(window(), Qt::RightButton, {}, at(100, -5));
    EXPECT_THAT(queued_button_events(), ElementsAre());
}

// A popup menu opened during a drag takes the left release; the next move, which shows the
// button up, ends the press there.
TEST_F(qt_canvas, a_press_whose_release_went_elsewhere_ends_at_the_next_move) {
    QTest::mousePress(window(), Qt::LeftButton, {}, at(10, 10));
    const auto move_with = [this](Qt::MouseButtons held) {
        QMouseEvent move(QEvent::MouseMove, QPointF(20, 20), canvas->mapToGlobal(QPointF(20, 20)),
                         Qt::NoButton, held, Qt::NoModifier);
        QCoreApplication::sendEvent(canvas, &move);
    };
    move_with(Qt::LeftButton);
    move_with(Qt::NoButton);
    move_with(Qt::NoButton);
    std::vector<control_event> types = queued_control_events(0);
    // Qt may first report a move to where the button went down.
    if (!types.empty() && types.front() == mouse_moved) {
        types.erase(types.begin());
    }
    EXPECT_THAT(types,
                ElementsAre(left_pressed, mouse_moved, left_released, mouse_moved, mouse_moved));
}

// The logic hit-tests a press when it gets to it; by then the pointer may be far on. It reads
// where each event happened, as long as it handles that event.
TEST_F(qt_canvas, the_pointer_is_where_the_event_being_handled_happened) {
    const auto send = [this](QEvent::Type type, Qt::MouseButton button, QPoint at) {
        QMouseEvent event(type, at, canvas->mapToGlobal(at), button, Qt::LeftButton,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(canvas, &event);
    };
    send(QEvent::MouseButtonPress, Qt::LeftButton, {20, 30});
    send(QEvent::MouseMove, Qt::NoButton, {60, 35});
    QCursor::setPos(canvas->mapToGlobal(QPoint(500, 400)));
    const auto next_of_canvas = [this] {
        window_event event = platform.wait_event();
        while (event.kind != event_kind::control) {
            event = platform.wait_event();
        }
        return std::tuple(event.type, platform.mouse_x(0), platform.mouse_y(0));
    };
    EXPECT_EQ(next_of_canvas(), std::tuple(left_pressed, 20, 30));
    EXPECT_EQ(next_of_canvas(), std::tuple(mouse_moved, 60, 35));
}

TEST_F(qt_canvas, a_double_click_reports_the_second_press_before_the_double_click) {
    QTest::mouseDClick(window(), Qt::LeftButton, {}, at(50, 50));
    EXPECT_THAT(queued_button_events(),
                ElementsAre(left_pressed, left_released, left_click, left_pressed,
                            left_double_click, left_released, left_click));
}

TEST_F(qt_canvas, moves_and_the_wheel_are_reported_without_a_button) {
    QTest::mouseMove(window(), at(300, 200));
    queued_events();
    QTest::mouseMove(window(), at(301, 200));
    QWheelEvent turn(QPointF(5, 5), canvas->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, 120),
                     Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(canvas, &turn);
    EXPECT_THAT(queued_control_events(0), ElementsAre(mouse_moved, wheel));
}

TEST_F(qt_canvas, a_canvas_shown_over_another_takes_the_clicks_there) {
    platform.create_canvas(0, 1, 0, 0, 10, 10, false);
    platform.hide_control(1);
    platform.move_control(1, 100, 100, 50, 50);
    platform.show_control(1);
    QTest::mouseClick(window(), Qt::LeftButton, {}, at(110, 110));
    std::vector<int> clicked;
    for (const window_event& event : queued_events()) {
        if (event.type == left_click) {
            clicked.push_back(event.control);
        }
    }
    EXPECT_THAT(clicked, ElementsAre(1));
}

TEST_F(qt_canvas, drawing_shows_in_the_picture_which_keeps_its_top_left_when_resized) {
    const picture_handle picture = platform.canvas_picture(0);
    const picture_store& pictures = platform.pictures();
    EXPECT_EQ(pictures.pixel(picture, 640, 400), 0xFFFFFFFF);
    platform.start_canvas_drawing(0)->fill_box(0, 0, 1286, 775, rgb{0, 0, 255});
    EXPECT_EQ(pictures.pixel(picture, 12, 22), 0xFF0000FF);
    EXPECT_EQ(canvas->grab().toImage().pixel(12, 22), 0xFF0000FF);

    platform.move_control(0, 5, platform::keep_value, 1400, 800);

    EXPECT_EQ(canvas->geometry(), QRect(5, 0, 1400, 800));
    EXPECT_EQ(platform.canvas_picture(0), picture);
    EXPECT_EQ(pictures.width(picture), 1400);
    EXPECT_EQ(pictures.pixel(picture, 1285, 774), 0xFF0000FF);
    EXPECT_EQ(pictures.pixel(picture, 1286, 0), 0xFFFFFFFF);
    EXPECT_EQ(pictures.pixel(picture, 0, 775), 0xFFFFFFFF);
}

}  // namespace
}  // namespace quill::test
