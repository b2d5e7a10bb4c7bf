#include <QCoreApplication>
#include <QCursor>
#include <QEventLoop>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <limits>
#include <vector>

#include "platform/qt/qt_platform.h"
#include "platform/qt/qt_platform_impl.h"

namespace quill {

namespace {

// How long showing a window at once may wait for the window system.
constexpr int show_patience_ms = 2000;

// -1 when the value lies outside [0, size).
int inside_or_minus_one(int value, int size) {
    return value >= 0 && value < size ? value : -1;
}

}  // namespace

bool qt_platform::open_window(int number, int x, int y, int inner_width, int inner_height,
                              const std::string& title, window_style style, int owner) {
    if (impl_->window(number) != nullptr) {
        return false;
    }
    top_window* owner_window = nullptr;
    if (owner >= 0) {
        owner_window = impl_->window(owner);
        if (owner_window == nullptr) {
            return false;
        }
    }
    auto* window = new top_window(number, style, owner_window, impl_->sink());
    window->setWindowTitle(QString::fromStdString(title));
    window->set_client_size(QSize(inner_width, inner_height));
    window->move_outer(QPoint(x, y));
    impl_->unshown_windows.emplace_back(window);
    impl_->windows[number] = window;
    if (style == window_style::main_window) {
        impl_->main_window = number;
    }
    impl_->apply_enabled_states();
    return true;
}

void qt_platform::close_window(int number) {
    top_window* window = impl_->window(number);
    if (window == nullptr) {
        return;
    }
    if (impl_->menu_bar_window == number) {
        impl_->menu_bar_window = -1;
    }
    delete window;
    impl_->forget_deleted_widgets();
}

void qt_platform::set_window_title(int number, const std::string& title) {
    if (top_window* window = impl_->window(number)) {
        window->setWindowTitle(QString::fromStdString(title));
    }
}

int qt_platform::inner_width(int window) {
    QWidget* client = impl_->client(window);
    return client == nullptr ? 0 : client->width();
}

int qt_platform::inner_height(int window) {
    QWidget* client = impl_->client(window);
    return client == nullptr ? 0 : client->height() + menu_bar_height(window);
}

screen_point qt_platform::inner_screen_position(int window) {
    QWidget* client = impl_->client(window);
    if (client == nullptr) {
        return {};
    }
    const QPoint position = client->mapToGlobal(QPoint(0, 0));
    return {position.x(), position.y()};
}

void qt_platform::disable_window(int window) {
    if (impl_->window(window) != nullptr) {
        impl_->disabled_windows.insert(window);
        impl_->apply_enabled_states();
    }
}

void qt_platform::enable_window(int window) {
    impl_->disabled_windows.erase(window);
    impl_->apply_enabled_states();
}

void qt_platform::activate_window(int window) {
    impl_->show_new_windows();
    if (top_window* found = impl_->window(window)) {
        found->raise();
        found->activateWindow();
    }
}

void qt_platform::show_windows_now() {
    impl_->show_new_windows();
    top_window* main = impl_->window(impl_->main_window);
    if (main == nullptr || main->isHidden()) {
        return;
    }
    // Until the window system has mapped the main window and it has drawn itself; a window
    // system that never shows it does not hold the program up for long.
    QTimer patience;
    patience.setSingleShot(true);
    bool out_of_patience = false;
    QObject::connect(&patience, &QTimer::timeout, [&out_of_patience] { out_of_patience = true; });
    patience.start(show_patience_ms);
    const auto exposed = [main] {
        const QWindow* handle = main->windowHandle();
        return handle != nullptr && handle->isExposed();
    };
    while (!exposed() && !out_of_patience) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    // The paint that the exposure asked for.
    QCoreApplication::processEvents();
    QGuiApplication::sync();
}

std::vector<screen_area> qt_platform::screens() {
    std::vector<screen_area> areas;
    QScreen* primary = QGuiApplication::primaryScreen();
    QList<QScreen*> all = QGuiApplication::screens();
    std::stable_partition(all.begin(), all.end(), [primary](QScreen* s) { return s == primary; });
    for (const QScreen* screen : all) {
        const QRect area = screen->geometry();
        areas.push_back({area.x(), area.y(), area.width(), area.height()});
    }
    if (areas.empty()) {
        areas.push_back({0, 0, 0, 0});
    }
    return areas;
}

int qt_platform::screen_of(int window) {
    const top_window* found = impl_->window(window);
    if (found == nullptr) {
        return 0;
    }
    const QRect frame = found->frameGeometry();
    return screen_covered_most(screens(), {frame.x(), frame.y(), frame.width(), frame.height()});
}

window_event qt_platform::wait_event_until(std::optional<int64_t> wake_at) {
    impl_->show_new_windows();
    // Only wakes the wait below; whether the time has come is the clock's to say.
    QTimer alarm;
    alarm.setSingleShot(true);
    alarm.setTimerType(Qt::PreciseTimer);
    while (impl_->events.empty()) {
        if (wake_at) {
            const int64_t left = *wake_at - milliseconds();
            if (left <= 0) {
                impl_->handled_pointer.reset();
                return {};
            }
            alarm.start(static_cast<int>(std::min<int64_t>(left, std::numeric_limits<int>::max())));
        }
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        // No Qt event loop runs at this level, so objects Qt deletes later would stay.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    const window_event event = impl_->events.front();
    impl_->events.pop_front();
    impl_->handled_pointer = event.pointer;
    return event;
}

int qt_platform::mouse_x(int window) {
    QWidget* client = impl_->client(window);
    if (client == nullptr) {
        return -1;
    }
    return inside_or_minus_one(client->mapFromGlobal(impl_->pointer()).x(), client->width());
}

int qt_platform::mouse_y(int window) {
    QWidget* client = impl_->client(window);
    if (client == nullptr) {
        return -1;
    }
    return inside_or_minus_one(client->mapFromGlobal(impl_->pointer()).y(), client->height());
}

}  // namespace quill
