#include <gmock/gmock.h>
#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QTimer>

#include <functional>

#include "platform_qt/qt_test_window.h"

namespace quill::test {
namespace {

using ::testing::ElementsAre;

class qt_menus : public qt_main_window_test {
protected:
    void SetUp() override {
        qt_main_window_test::SetUp();
        platform.add_menu("Spiel");
        platform.add_menu_item(3, "Neues Spiel");
        platform.add_menu_separator();
        platform.add_menu_item(6, "Spiel & Stand");
        platform.add_menu("Zoom");
        platform.add_menu_item(10, "Vergrößern [STRG] + [NUM +]");
        platform.create_popup_menu(0);
        platform.add_popup_item(11, "Grabstein setzen");
        platform.add_popup_item(12, "Transportmittel erstellen");
        const unsigned ctrl = unsigned(key_modifier::ctrl);
        platform.add_shortcut(0, ctrl, shortcut_key::keypad_plus, 15);
        platform.add_shortcut(0, ctrl, shortcut_key::keypad_minus, 16);
        platform.add_shortcut(0, ctrl, shortcut_key::enter, 17);
        platform.add_shortcut(0, ctrl, shortcut_key::z, 18);
        platform.add_shortcut(0, ctrl, shortcut_key::y, 19);
        platform.add_shortcut(0, ctrl | unsigned(key_modifier::shift), shortcut_key::z, 19);
        queued_events();
    }

    // Acts on the popup once it is open, so that the blocking call under test returns.
    static void when_popup_opens(std::function<void(QMenu*)> act) {
        QTimer::singleShot(0, [act] {
            if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
                act(menu);
            } else {
                when_popup_opens(act);
            }
        });
    }
};

TEST_F(qt_menus, bar_items_keep_their_order_text_and_id) {
    const QList<QAction*> menus = platform.window_widget(0)->findChild<QMenuBar*>()->actions();
    ASSERT_EQ(menus.size(), 2);
    EXPECT_EQ(menus[1]->text(), QString("Zoom"));
    const QList<QAction*> game = menus[0]->menu()->actions();
    ASSERT_EQ(game.size(), 3);
    EXPECT_TRUE(game[1]->isSeparator());
    // An "&" is shown as typed, not taken as a mnemonic mark.
    EXPECT_EQ(game[2]->iconText(), QString("Spiel & Stand"));
    EXPECT_EQ(menus[1]->menu()->actions()[0]->text(), QString("Vergrößern [STRG] + [NUM +]"));

    game[2]->trigger();
    game[0]->trigger();
    EXPECT_THAT(queued_menu_ids(), ElementsAre(6, 3));
}

TEST_F(qt_menus, only_the_keypad_keys_and_enter_with_ctrl_are_shortcuts) {
    QWidget* window = platform.window_widget(0);
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));

    QTest::keyClick(window, Qt::Key_Plus, Qt::ControlModifier | Qt::KeypadModifier);
    QTest::keyClick(window, Qt::Key_Minus, Qt::ControlModifier | Qt::KeypadModifier);
    QTest::keyClick(window, Qt::Key_Return, Qt::ControlModifier);
    QTest::keyClick(window, Qt::Key_Enter, Qt::ControlModifier | Qt::KeypadModifier);
    QTest::keyClick(window, Qt::Key_Plus, Qt::ControlModifier);
    QTest::keyClick(window, Qt::Key_Minus, Qt::ControlModifier);
    QTest::keyClick(window, Qt::Key_Plus, Qt::KeypadModifier);
    EXPECT_THAT(queued_menu_ids(), ElementsAre(15, 16, 17, 17));
}

TEST_F(qt_menus, undo_and_redo_keys_and_a_greyed_item) {
    QWidget* window = platform.window_widget(0);
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    QTest::keyClick(window, Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(window, Qt::Key_Y, Qt::ControlModifier);
    QTest::keyClick(window, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QTest::keyClick(window, Qt::Key_Z, Qt::NoModifier);
    EXPECT_THAT(queued_menu_ids(), ElementsAre(18, 19, 19));

    platform.set_menu_item_enabled(3, false);
    const QList<QAction*> game =
        platform.window_widget(0)->findChild<QMenuBar*>()->actions()[0]->menu()->actions();
    EXPECT_FALSE(game[0]->isEnabled());
    platform.set_menu_item_enabled(3, true);
    EXPECT_TRUE(game[0]->isEnabled());
}

// On X11 the shortcut map never sees the keypad modifier: only the key event itself carries it.
// F11 and Esc reach the logic as their ids; a ticked item shows the logic's state.
TEST_F(qt_menus, function_keys_and_a_ticked_item) {
    platform.add_shortcut(0, 0, shortcut_key::f11, 21);
    platform.add_shortcut(0, 0, shortcut_key::escape, 23);
    QWidget* window = platform.window_widget(0);
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    QTest::keyClick(window, Qt::Key_F11);
    QTest::keyClick(window, Qt::Key_Escape);
    EXPECT_THAT(queued_menu_ids(), ElementsAre(21, 23));

    QAction* item = window->findChild<QMenuBar*>()->actions()[1]->menu()->actions()[0];
    EXPECT_FALSE(item->isCheckable());
    platform.set_menu_item_checked(10, true);
    EXPECT_TRUE(item->isChecked());
    platform.set_menu_item_checked(10, false);
    EXPECT_TRUE(item->isCheckable());
    EXPECT_FALSE(item->isChecked());
}

TEST_F(qt_menus, keypad_keys_act_on_the_key_event_that_reaches_the_window) {
    QWidget* window = platform.window_widget(0);
    const auto press = [window](Qt::Key key, Qt::KeyboardModifiers modifiers) {
        QKeyEvent event(QEvent::KeyPress, key, modifiers);
        QApplication::sendEvent(window, &event);
    };
    press(Qt::Key_Plus, Qt::ControlModifier | Qt::KeypadModifier);
    press(Qt::Key_Minus, Qt::ControlModifier | Qt::KeypadModifier);
    press(Qt::Key_Plus, Qt::ControlModifier);
    press(Qt::Key_Minus, Qt::KeypadModifier);
    press(Qt::Key_Minus, Qt::ControlModifier | Qt::ShiftModifier | Qt::KeypadModifier);
    EXPECT_THAT(queued_menu_ids(), ElementsAre(15, 16));
}

TEST_F(qt_menus, a_popup_item_chosen_after_a_text_change_is_queued_and_a_dismissal_is_not) {
    platform.set_menu_item_text(12, "Transportmittel abhängen");
    QString shown;
    when_popup_opens([&shown](QMenu* menu) {
        shown = menu->actions()[1]->text();
        QTest::keyClick(menu, Qt::Key_Down);
        QTest::keyClick(menu, Qt::Key_Down);
        QTest::keyClick(menu, Qt::Key_Return);
    });
    platform.show_popup_menu(0, 0);
    EXPECT_EQ(shown, QString("Transportmittel abhängen"));
    EXPECT_THAT(queued_menu_ids(), ElementsAre(12));

    when_popup_opens([](QMenu* menu) { QTest::keyClick(menu, Qt::Key_Escape); });
    platform.show_popup_menu(0, 0);
    EXPECT_THAT(queued_menu_ids(), ElementsAre());
}

}  // namespace
}  // namespace quill::test
