#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QImage>
#include <QProgressBar>
#include <QTimer>

#include <atomic>
#include <memory>
#include <optional>
#include <system_error>
#include <thread>

#include "platform/picture_decoding.h"
#include "platform/qt/load_progress_bar.h"
#include "platform/qt/qt_platform.h"
#include "platform/qt/qt_platform_impl.h"

namespace quill {

namespace {

// Often enough that the bar moves smoothly, seldom enough to cost nothing.
constexpr int update_ms = 50;

// Keeps the user's input from the program's windows while a map loads: a click or a key meant
// for a game half loaded must not act on it, neither now nor once the load is over.
class input_swallower : public QObject {
protected:
    bool eventFilter(QObject*, QEvent* event) override {
        switch (event->type()) {
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonRelease:
            case QEvent::MouseButtonDblClick:
            case QEvent::MouseMove:
            case QEvent::Wheel:
            case QEvent::KeyPress:
            case QEvent::KeyRelease:
            case QEvent::ShortcutOverride:
            case QEvent::Shortcut:
            case QEvent::ContextMenu:
            case QEvent::TouchBegin:
            case QEvent::TouchUpdate:
            case QEvent::TouchEnd:
                return true;
            default:
                return false;
        }
    }
};

}  // namespace

void qt_platform::set_progress_delay(int milliseconds) {
    impl_->progress_delay_ms = milliseconds;
}

// The picture is decoded on a thread of its own, which touches nothing but the file and the
// progress; this thread meanwhile lets the windows be drawn and moved, and adds the picture to
// the store once it is there.
picture_handle qt_platform::load_map_picture(const std::string& path) {
    load_progress progress;
    std::optional<QImage> picture;
    std::atomic<bool> done{false};
    QObject waker;
    std::thread worker;
    try {
        worker = std::thread([&] {
            picture = decode_picture_file(path, &progress);
            done.store(true, std::memory_order_release);
            QMetaObject::invokeMethod(
                &waker, [] {}, Qt::QueuedConnection);
        });
    } catch (const std::system_error&) {
        return pictures().load(path);
    }
    input_swallower swallower;
    QCoreApplication::instance()->installEventFilter(&swallower);
    QTimer tick;
    tick.start(update_ms);
    QElapsedTimer clock;
    clock.start();
    std::unique_ptr<load_progress_bar> bar;
    while (!done.load(std::memory_order_acquire)) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        if (bar == nullptr && clock.elapsed() >= impl_->progress_delay_ms) {
            if (QWidget* client = impl_->client(impl_->main_window)) {
                bar = std::make_unique<load_progress_bar>(client);
            }
        }
        if (bar != nullptr) {
            bar->show_percent(progress.percent());
        }
    }
    worker.join();
    QCoreApplication::instance()->removeEventFilter(&swallower);
    return picture ? pictures().adopt(std::move(*picture)) : 0;
}

}  // namespace quill
