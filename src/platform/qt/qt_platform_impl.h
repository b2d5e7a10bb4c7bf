#pragma once

#include <QCursor>
#include <QElapsedTimer>
#include <QMenu>
#include <QPointer>
#include <QString>
#include <QTranslator>
#include <QWidget>

#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/qt/qt_platform.h"
#include "platform/qt/top_window.h"

namespace quill {

// Menu items and buttons would take an "&" as the mark of a mnemonic letter and hide it.
inline QString literal_label(const std::string& text) {
    return QString::fromStdString(text).replace(QLatin1Char('&'), QLatin1String("&&"));
}

enum class control_kind { canvas, picture_box, button };

struct control_entry {
    control_kind kind = control_kind::canvas;
    QPointer<QWidget> widget;
};

// Shared by the files that implement qt_platform, one group of services each.
struct qt_platform::impl {
    impl() { clock.start(); }
    ~impl();

    // An event without a place of its own happened where the pointer is now.
    void post(window_event event) {
        if (!event.pointer) {
            const QPoint at = QCursor::pos();
            event.pointer = screen_point{at.x(), at.y()};
        }
        events.push_back(event);
    }
    // Where the pointer counts as being: where the event being handled happened.
    QPoint pointer() const {
        return handled_pointer ? QPoint(handled_pointer->x, handled_pointer->y) : QCursor::pos();
    }
    event_sink sink() {
        return [this](const window_event& event) { post(event); };
    }

    top_window* window(int number) const;
    QWidget* client(int number) const;
    const control_entry* control(int number) const;
    // The window dialogs belong to: the active one of ours, else the main window. Shows the new
    // windows first, so that a dialog never stands before a window that is yet to come.
    QWidget* dialog_owner();
    // Adds a control widget, replacing one of the same number.
    void add_control(int number, control_kind kind, QWidget* widget);
    // Shows the windows opened since the last time, owners first. A window is shown only once the
    // logic has finished building it (its menu bar makes it grow), so that the window manager
    // frames it in its final size and place at once: asked to move or resize a window it is
    // still framing, it may keep the window where it first stood.
    void show_new_windows();
    // Qt deletes the windows owned by a closed window, and their controls with them.
    void forget_deleted_widgets();
    // Qt passes a window's disabled state on to the windows it owns; here each window is
    // disabled only by its own number, as the logic expects.
    void apply_enabled_states();

    std::deque<window_event> events;
    std::optional<screen_point> handled_pointer;
    std::map<int, QPointer<top_window>> windows;
    std::map<int, control_entry> controls;
    std::set<int> disabled_windows;
    std::vector<QPointer<top_window>> unshown_windows;
    int main_window = -1;

    int menu_bar_window = -1;
    QPointer<QMenu> current_menu;
    std::map<int, std::unique_ptr<QMenu>> popup_menus;
    QMenu* current_popup = nullptr;
    // Items of the menu bar and of the popup menus alike, by id.
    std::map<int, QPointer<QAction>> menu_items;

    QElapsedTimer clock;
    int progress_delay_ms = 500;
    // Qt's own texts (the buttons of message boxes, the file dialogs) in German, as the rest.
    QTranslator qt_texts;
};

}  // namespace quill
