#include "platform/qt/top_window.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenuBar>
#include <QMoveEvent>
#include <QResizeEvent>
#include <QScreen>
#include <QWindow>

#include <algorithm>

namespace quill {

namespace {

Qt::WindowFlags flags_for(window_style style) {
    switch (style) {
        case window_style::main_window:
            return Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint;
        case window_style::dialog:
            return Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint;
        case window_style::popup:
            // Not Qt::Popup: that would grab the mouse, and a click on another window must reach
            // the event queue so that the logic can close the popup itself.
            return Qt::Tool | Qt::FramelessWindowHint;
        case window_style::viewer:
            return Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint;
        case window_style::full_screen:
            return Qt::Window | Qt::FramelessWindowHint;
    }
    return Qt::Window;
}

}  // namespace

top_window::top_window(int number, window_style style, QWidget* owner, event_sink sink)
    : QWidget(owner, flags_for(style)), number_(number), style_(style), sink_(std::move(sink)) {
    // Made here, not in the initialiser list: adding a child sends this window an event, and
    // event() reads members that are initialised only after the list.
    client_ = new QWidget(this);
    if (shows_only()) {
        // Children inherit it, the canvas included.
        setCursor(Qt::BlankCursor);
    }
    if (style_ == window_style::full_screen) {
        // On a screen of its own it must not take the keyboard from the window in use.
        setAttribute(Qt::WA_ShowWithoutActivating);
    }
}

bool top_window::shows_only() const {
    return style_ == window_style::viewer || style_ == window_style::full_screen;
}

void top_window::show_as_asked() {
    if (style_ != window_style::full_screen) {
        show();
        return;
    }
    // The window manager fills the screen the window stands on, so it is put there first.
    if (QScreen* screen = QGuiApplication::screenAt(wanted_outer_ + QPoint(1, 1))) {
        setGeometry(screen->geometry());
    }
    // Not showFullScreen(), which would also make it the active window.
    setWindowState(windowState() | Qt::WindowFullScreen);
    show();
}

QMenuBar* top_window::create_menu_bar() {
    if (menu_bar_ == nullptr) {
        menu_bar_ = new QMenuBar(this);
        menu_bar_->show();
        set_client_size(known_client_size_ - QSize(0, menu_bar_allowance));
    }
    return menu_bar_;
}

QMenu* top_window::add_menu(const QString& title) {
    QMenu* menu = create_menu_bar()->addMenu(title);
    set_client_size(known_client_size_);
    return menu;
}

void top_window::set_client_size(QSize size) {
    size = size.expandedTo(QSize(0, 0));
    known_client_size_ = size;
    const QSize outer(size.width(), size.height() + menu_bar_pixels(size.width()));
    if (style_ == window_style::dialog) {
        setFixedSize(outer);
    } else {
        resize(outer);
    }
    place_children();
}

void top_window::move_outer(QPoint position) {
    known_position_ = position;
    wanted_outer_ = position;
    frame_placed_ = style_ == window_style::popup || style_ == window_style::full_screen;
    move(position);
}

// A window manager adds its frame only once the window is shown, and until then the client
// area stands where the frame's corner belongs, which puts the title bar above the screen.
// As soon as the frame is known the window is placed once more.
void top_window::place_frame_once_known() {
    if (frame_placed_ || !isVisible() || windowHandle() == nullptr ||
        windowHandle()->frameMargins().isNull()) {
        return;
    }
    frame_placed_ = true;
    if (pos() != wanted_outer_) {
        move(wanted_outer_);
    }
}

void top_window::add_keypad_binding(Qt::KeyboardModifiers held, Qt::Key key,
                                    std::function<void()> action) {
    keypad_bindings_.push_back({held, key, std::move(action)});
}

void top_window::keyPressEvent(QKeyEvent* event) {
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    if (modifiers.testFlag(Qt::KeypadModifier)) {
        for (const keypad_binding& binding : keypad_bindings_) {
            if (binding.key == event->key() && binding.held == (modifiers & ~Qt::KeypadModifier)) {
                event->accept();
                binding.action();
                return;
            }
        }
    }
    QWidget::keyPressEvent(event);
}

bool top_window::event(QEvent* event) {
    place_frame_once_known();
    if (event->type() == QEvent::WindowActivate) {
        post(event_kind::activated);
    } else if (event->type() == QEvent::WindowDeactivate) {
        post(event_kind::deactivated);
    }
    return QWidget::event(event);
}

void top_window::closeEvent(QCloseEvent* event) {
    // The logic decides whether and when the window closes. A disabled window takes no input,
    // its close box included.
    event->ignore();
    if (isEnabled()) {
        post(event_kind::close_request);
    }
}

void top_window::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    place_children();
    if (client_->size() != known_client_size_) {
        known_client_size_ = client_->size();
        post(event_kind::resized);
    }
}

void top_window::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    if (pos() != known_position_) {
        known_position_ = pos();
        post(event_kind::moved);
    }
}

int top_window::menu_bar_pixels(int width) const {
    if (menu_bar_ == nullptr || menu_bar_->isNativeMenuBar()) {
        return 0;
    }
    const int height = menu_bar_->heightForWidth(width);
    return height > 0 ? height : menu_bar_->sizeHint().height();
}

void top_window::place_children() {
    const int bar = menu_bar_pixels(width());
    if (menu_bar_ != nullptr) {
        menu_bar_->setGeometry(0, 0, width(), bar);
    }
    client_->setGeometry(0, bar, width(), std::max(0, height() - bar));
}

void top_window::post(event_kind kind) {
    window_event event;
    event.kind = kind;
    event.window = number_;
    sink_(event);
}

}  // namespace quill
