#pragma once

#include <QPoint>
#include <QSize>
#include <QString>
#include <QWidget>
#include <functional>
#include <vector>

#include "platform/platform.h"

class QMenu;
class QMenuBar;

namespace quill {

using event_sink = std::function<void(const window_event&)>;

// A window of the logic: an optional menu bar above the client area. The client area holds the
// controls, and every position the logic sees is relative to its top left corner.
class top_window : public QWidget {
public:
    top_window(int number, window_style style, QWidget* owner, event_sink sink);

    int number() const { return number_; }
    QWidget* client() const { return client_; }
    QMenuBar* menu_bar() const { return menu_bar_; }

    // A window that only shows the map: no pointer over it, never the owner of a dialog.
    bool shows_only() const;
    // Shown as its style asks: a full-screen window fills the screen it was opened on.
    void show_as_asked();

    // The client area gives up the counted height, and the window grows or shrinks to the real
    // bar, so that the inner height the logic asked for stays true.
    QMenuBar* create_menu_bar();
    // The bar is as high as its titles need, so the window follows each new menu.
    QMenu* add_menu(const QString& title);
    void set_client_size(QSize size);
    // The outer corner, frame included, goes to position.
    void move_outer(QPoint position);
    // A key of the numeric keypad pressed with exactly these modifiers runs the action. Qt's
    // shortcut matching on X11 loses the keypad modifier, so these keys are caught as they
    // arrive at the window instead.
    void add_keypad_binding(Qt::KeyboardModifiers held, Qt::Key key, std::function<void()> action);

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;

private:
    struct keypad_binding {
        Qt::KeyboardModifiers held;
        Qt::Key key;
        std::function<void()> action;
    };

    int menu_bar_pixels(int width) const;
    void place_frame_once_known();
    void place_children();
    void post(event_kind kind);

    int number_;
    window_style style_;
    event_sink sink_;
    QWidget* client_ = nullptr;
    QMenuBar* menu_bar_ = nullptr;
    std::vector<keypad_binding> keypad_bindings_;
    // Geometry the logic already knows about; only changes beyond it are reported.
    QSize known_client_size_;
    QPoint known_position_;
    QPoint wanted_outer_;
    bool frame_placed_ = true;
};

}  // namespace quill
