#include <QAction>
#include <QCursor>
#include <QKeySequence>
#include <QList>
#include <QMenuBar>
#include <QShortcut>

#include <optional>

#include "platform/qt/qt_platform.h"
#include "platform/qt/qt_platform_impl.h"

namespace quill {

namespace {

Qt::KeyboardModifiers qt_modifiers(unsigned modifiers) {
    Qt::KeyboardModifiers result;
    if (modifiers & static_cast<unsigned>(key_modifier::ctrl)) {
        result |= Qt::ControlModifier;
    }
    if (modifiers & static_cast<unsigned>(key_modifier::shift)) {
        result |= Qt::ShiftModifier;
    }
    if (modifiers & static_cast<unsigned>(key_modifier::alt)) {
        result |= Qt::AltModifier;
    }
    return result;
}

// The keys of the numeric keypad that are bound as they arrive rather than through QShortcut.
std::optional<Qt::Key> keypad_key(shortcut_key key) {
    switch (key) {
        case shortcut_key::keypad_plus:
            return Qt::Key_Plus;
        case shortcut_key::keypad_minus:
            return Qt::Key_Minus;
        default:
            return std::nullopt;
    }
}

QList<QKeySequence> key_sequences(unsigned modifiers, shortcut_key key) {
    const Qt::KeyboardModifiers held = qt_modifiers(modifiers);
    switch (key) {
        case shortcut_key::keypad_plus:
        case shortcut_key::keypad_minus:
            return {};
        case shortcut_key::enter:
            // Qt also tries a keypad key without its keypad modifier, so the Enter of the keypad
            // matches here too.
            return {QKeySequence(QKeyCombination(held, Qt::Key_Return)),
                    QKeySequence(QKeyCombination(held, Qt::Key_Enter))};
        case shortcut_key::plus:
            return {QKeySequence(QKeyCombination(held, Qt::Key_Plus))};
        case shortcut_key::minus:
            return {QKeySequence(QKeyCombination(held, Qt::Key_Minus))};
        case shortcut_key::z:
            return {QKeySequence(QKeyCombination(held, Qt::Key_Z))};
        case shortcut_key::y:
            return {QKeySequence(QKeyCombination(held, Qt::Key_Y))};
        case shortcut_key::f11:
            return {QKeySequence(QKeyCombination(held, Qt::Key_F11))};
        case shortcut_key::escape:
            return {QKeySequence(QKeyCombination(held, Qt::Key_Escape))};
    }
    return {};
}

window_event menu_event(int window, int id) {
    window_event event;
    event.kind = event_kind::menu;
    event.window = window;
    event.menu_id = id;
    return event;
}

}  // namespace

void qt_platform::create_menu_bar(int window) {
    top_window* found = impl_->window(window);
    if (found == nullptr) {
        return;
    }
    found->create_menu_bar();
    impl_->menu_bar_window = window;
    impl_->current_menu = nullptr;
}

void qt_platform::add_menu(const std::string& title) {
    top_window* window = impl_->window(impl_->menu_bar_window);
    if (window == nullptr) {
        return;
    }
    impl_->current_menu = window->add_menu(literal_label(title));
}

void qt_platform::add_menu_item(int id, const std::string& text) {
    if (impl_->current_menu.isNull()) {
        return;
    }
    QAction* action = impl_->current_menu->addAction(literal_label(text));
    action->setData(id);
    QObject::connect(
        action, &QAction::triggered, action,
        [this, window = impl_->menu_bar_window, id] { impl_->post(menu_event(window, id)); });
    impl_->menu_items[id] = action;
}

void qt_platform::add_menu_separator() {
    if (!impl_->current_menu.isNull()) {
        impl_->current_menu->addSeparator();
    }
}

void qt_platform::create_popup_menu(int menu) {
    auto popup = std::make_unique<QMenu>();
    impl_->current_popup = popup.get();
    impl_->popup_menus[menu] = std::move(popup);
}

void qt_platform::add_popup_item(int id, const std::string& text) {
    if (impl_->current_popup == nullptr) {
        return;
    }
    QAction* action = impl_->current_popup->addAction(literal_label(text));
    action->setData(id);
    impl_->menu_items[id] = action;
}

void qt_platform::show_popup_menu(int menu, int window) {
    auto found = impl_->popup_menus.find(menu);
    if (found == impl_->popup_menus.end()) {
        return;
    }
    impl_->show_new_windows();
    const QAction* chosen = found->second->exec(impl_->pointer() - QPoint(1, 1));
    if (chosen != nullptr) {
        impl_->post(menu_event(window, chosen->data().toInt()));
    }
}

void qt_platform::set_menu_item_text(int id, const std::string& text) {
    auto found = impl_->menu_items.find(id);
    if (found != impl_->menu_items.end() && !found->second.isNull()) {
        found->second->setText(literal_label(text));
    }
}

void qt_platform::set_menu_item_checked(int id, bool checked) {
    auto found = impl_->menu_items.find(id);
    if (found != impl_->menu_items.end() && !found->second.isNull()) {
        // Qt turns the tick over on a click by itself; the logic sets it again once it has
        // handled the command, so what is shown is always the logic's state.
        found->second->setCheckable(true);
        found->second->setChecked(checked);
    }
}

void qt_platform::set_menu_item_enabled(int id, bool enabled) {
    auto found = impl_->menu_items.find(id);
    if (found != impl_->menu_items.end() && !found->second.isNull()) {
        found->second->setEnabled(enabled);
    }
}

int qt_platform::menu_bar_height(int window) {
    top_window* found = impl_->window(window);
    return found != nullptr && found->menu_bar() != nullptr ? menu_bar_allowance : 0;
}

void qt_platform::add_shortcut(int window, unsigned modifiers, shortcut_key key, int id) {
    top_window* found = impl_->window(window);
    if (found == nullptr) {
        return;
    }
    if (const std::optional<Qt::Key> keypad = keypad_key(key)) {
        // Only the keypad's plus and minus carry the keypad modifier, which keeps them apart
        // from the plus and minus of the main keyboard.
        found->add_keypad_binding(qt_modifiers(modifiers), *keypad,
                                  [this, window, id] { impl_->post(menu_event(window, id)); });
        return;
    }
    auto* shortcut = new QShortcut(found);
    shortcut->setKeys(key_sequences(modifiers, key));
    shortcut->setContext(Qt::WindowShortcut);
    QObject::connect(shortcut, &QShortcut::activated, shortcut,
                     [this, window, id] { impl_->post(menu_event(window, id)); });
}

}  // namespace quill
