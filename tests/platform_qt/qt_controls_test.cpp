#include <gtest/gtest.h>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "platform_qt/qt_test_window.h"

namespace quill::test {
namespace {

class qt_controls : public qt_main_window_test {
protected:
    void SetUp() override {
        qt_main_window_test::SetUp();
        ASSERT_TRUE(platform.open_window(1, 220, 0, 220, 474, "Players", window_style::dialog, 0));
    }
};

TEST_F(qt_controls, a_pressed_button_is_a_left_click_of_its_control) {
    platform.create_button(1, 107, 90, 35, 110, 30, "Icon ändern");
    QTest::mouseClick(platform.widget_for_control(107), Qt::LeftButton);
    std::vector<window_event> clicks;
    for (const window_event& event : queued_events(1)) {
        if (event.kind == event_kind::control) {
            clicks.push_back(event);
        }
    }
    ASSERT_EQ(clicks.size(), 1u);
    EXPECT_EQ(clicks[0].window, 1);
    EXPECT_EQ(clicks[0].control, 107);
    EXPECT_EQ(clicks[0].type, control_event::left_click);
}

TEST_F(qt_controls, a_picture_box_keeps_its_own_copy_of_the_picture) {
    const picture_handle icon = platform.pictures().create(40, 40, rgb{0, 128, 0});
    platform.create_picture_box(1, 100, 30, 30, 40, 40, icon, true);
    platform.pictures().free(icon);
    auto* box = static_cast<QLabel*>(platform.widget_for_control(100));
    EXPECT_EQ(box->pixmap().toImage().pixel(20, 20), 0xFF008000);

    platform.set_picture_box_image(100, 0);
    EXPECT_TRUE(box->pixmap().isNull());
}

}  // namespace
}  // namespace quill::test
