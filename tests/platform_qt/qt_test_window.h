#pragma once

#include <gtest/gtest.h>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QWidget>

#include <vector>

#include "platform/qt/qt_platform.h"

namespace quill::test {

// A platform with the program's main window: 1286 x 800 inner, with a menu bar.
class qt_main_window_test : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(
            platform.open_window(0, 220, 0, 1286, 800, "Quillmark", window_style::main_window));
        platform.create_menu_bar(0);
    }

    // Everything queued so far, without blocking: a close request sent last marks the end.
    // A disabled window would not queue it.
    std::vector<window_event> queued_events(int window = 0) {
        if (!platform.window_widget(window)->isEnabled()) {
            ADD_FAILURE() << "window " << window << " is disabled";
            return {};
        }
        QCloseEvent marker;
        QCoreApplication::sendEvent(platform.window_widget(window), &marker);
        std::vector<window_event> events;
        for (window_event event = platform.wait_event();
             event.kind != event_kind::close_request || event.window != window;
             event = platform.wait_event()) {
            events.push_back(event);
        }
        return events;
    }

    std::vector<control_event> queued_control_events(int control) {
        std::vector<control_event> types;
        for (const window_event& event : queued_events()) {
            if (event.kind == event_kind::control && event.control == control) {
                types.push_back(event.type);
            }
        }
        return types;
    }

    std::vector<int> queued_menu_ids() {
        std::vector<int> ids;
        for (const window_event& event : queued_events()) {
            if (event.kind == event_kind::menu) {
                ids.push_back(event.menu_id);
            }
        }
        return ids;
    }

    qt_platform platform;
};

}  // namespace quill::test
