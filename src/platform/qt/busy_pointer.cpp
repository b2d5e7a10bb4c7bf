#include "platform/qt/busy_pointer.h"

#include <QCursor>
#include <QGuiApplication>

#include "platform/qt/qt_platform.h"

namespace quill {

void qt_platform::begin_busy() {
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    // The load that follows keeps the event loop from running, so the window system is told
    // now.
    QGuiApplication::sync();
}

void qt_platform::end_busy() {
    QGuiApplication::restoreOverrideCursor();
}

normal_pointer_for_dialog::normal_pointer_for_dialog()
    : over_busy_(QGuiApplication::overrideCursor() != nullptr) {
    if (over_busy_) {
        QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
    }
}

normal_pointer_for_dialog::~normal_pointer_for_dialog() {
    if (over_busy_) {
        QGuiApplication::restoreOverrideCursor();
    }
}

}  // namespace quill
