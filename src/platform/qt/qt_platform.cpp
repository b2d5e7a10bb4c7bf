#include "platform/qt/qt_platform.h"

#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QDate>
#include <QDateTime>
#include <QGuiApplication>
#include <QLocale>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTime>

#include <algorithm>
#include <utility>
#include <vector>

#include "platform/qt/qt_platform_impl.h"

namespace quill {

qt_platform::impl::~impl() {
    for (auto& [number, window] : windows) {
        delete window.data();
    }
}

top_window* qt_platform::impl::window(int number) const {
    auto found = windows.find(number);
    return found == windows.end() ? nullptr : found->second.data();
}

QWidget* qt_platform::impl::client(int number) const {
    top_window* found = window(number);
    return found == nullptr ? nullptr : found->client();
}

const control_entry* qt_platform::impl::control(int number) const {
    auto found = controls.find(number);
    if (found == controls.end() || found->second.widget.isNull()) {
        return nullptr;
    }
    return &found->second;
}

QWidget* qt_platform::impl::dialog_owner() {
    show_new_windows();
    QWidget* active = QApplication::activeWindow();
    for (const auto& [number, window] : windows) {
        if (!window.isNull() && window.data() == active && !window->shows_only()) {
            return active;
        }
    }
    return window(main_window);
}

void qt_platform::impl::show_new_windows() {
    std::vector<QPointer<top_window>> shown;
    shown.swap(unshown_windows);
    for (const QPointer<top_window>& window : shown) {
        if (!window.isNull()) {
            window->show_as_asked();
        }
    }
}

void qt_platform::impl::add_control(int number, control_kind kind, QWidget* widget) {
    auto previous = controls.find(number);
    if (previous != controls.end()) {
        delete previous->second.widget.data();
    }
    controls[number] = control_entry{kind, widget};
}

void qt_platform::impl::forget_deleted_widgets() {
    std::erase_if(controls, [](const auto& entry) { return entry.second.widget.isNull(); });
    for (auto it = windows.begin(); it != windows.end();) {
        if (it->second.isNull()) {
            const int number = it->first;
            // Numbers are used again; a new window must not receive the old one's events.
            std::erase_if(events,
                          [number](const window_event& event) { return event.window == number; });
            it = windows.erase(it);
        } else {
            ++it;
        }
    }
}

void qt_platform::impl::apply_enabled_states() {
    std::vector<std::pair<int, top_window*>> by_depth;
    for (const auto& [number, window] : windows) {
        if (!window.isNull()) {
            by_depth.emplace_back(0, window.data());
            for (QWidget* owner = window->parentWidget(); owner != nullptr;
                 owner = owner->parentWidget()) {
                ++by_depth.back().first;
            }
        }
    }
    // Owners first: enabling a window enables what it owns, which then gets its own state.
    std::stable_sort(by_depth.begin(), by_depth.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& [depth, window] : by_depth) {
        window->setEnabled(!disabled_windows.contains(window->number()));
    }
}

void use_german_system_locale() {
    qputenv("LC_ALL", "de_DE.UTF-8");
}

qt_platform::qt_platform() : impl_(std::make_unique<impl>()) {
    const QLocale german(QLocale::German, QLocale::Germany);
    QLocale::setDefault(german);
    if (impl_->qt_texts.load(QStringLiteral(":/translations/qtbase_de.qm"))) {
        QCoreApplication::installTranslator(&impl_->qt_texts);
    }
}

qt_platform::~qt_platform() {
    QCoreApplication::removeTranslator(&impl_->qt_texts);
}

int64_t qt_platform::milliseconds() {
    return impl_->clock.elapsed();
}

int qt_platform::random_int(int low, int high) {
    if (high <= low) {
        return low;
    }
    return static_cast<int>(QRandomGenerator::global()->bounded(qint64{low}, qint64{high} + 1));
}

local_date_time qt_platform::now() {
    const QDateTime current = QDateTime::currentDateTime();
    const QDate date = current.date();
    const QTime time = current.time();
    return {{date.day(), date.month(), date.year()}, time.hour(), time.minute(), time.second()};
}

void qt_platform::copy_text(const std::string& text) {
    QGuiApplication::clipboard()->setText(QString::fromStdString(text));
}

std::string qt_platform::program_file_path() {
    return QCoreApplication::applicationFilePath().toStdString();
}

std::string qt_platform::data_dir() {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    return folder.isEmpty() ? std::string() : folder.toStdString() + "/";
}

QWidget* qt_platform::window_widget(int window) const {
    return impl_->window(window);
}

QWidget* qt_platform::client_widget(int window) const {
    return impl_->client(window);
}

QWidget* qt_platform::widget_for_control(int control) const {
    const control_entry* entry = impl_->control(control);
    return entry == nullptr ? nullptr : entry->widget.data();
}

}  // namespace quill
