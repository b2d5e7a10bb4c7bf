#include "platform/qt/canvas_widget.h"

#include <qdrawutil.h>
#include <QImage>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWheelEvent>

namespace quill {

namespace {

// A canvas may shrink to nothing, but its picture handle must stay valid for the logic.
QSize picture_size_for(QSize widget_size) {
    return widget_size.expandedTo(QSize(1, 1));
}

}  // namespace

canvas_widget::canvas_widget(picture_store& pictures, bool sunken, canvas_sink sink,
                             QWidget* parent)
    : QWidget(parent), pictures_(pictures), sunken_(sunken), sink_(std::move(sink)) {
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    fit_picture();
}

canvas_widget::~canvas_widget() {
    pictures_.free(picture_);
}

void canvas_widget::set_area(const QRect& area) {
    setGeometry(area);
    fit_picture();
}

void canvas_widget::fit_picture() {
    const QSize wanted = picture_size_for(size());
    QImage* current = pictures_.image(picture_);
    if (current != nullptr && current->size() == wanted) {
        return;
    }
    QImage fresh(wanted, QImage::Format_RGB32);
    fresh.fill(Qt::white);
    if (current != nullptr) {
        QPainter painter(&fresh);
        painter.drawImage(0, 0, *current);
        painter.end();
        *current = std::move(fresh);
    } else {
        picture_ = pictures_.adopt(std::move(fresh));
    }
    update();
}

void canvas_widget::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    if (const QImage* image = pictures_.image(picture_)) {
        painter.drawImage(event->rect(), *image, event->rect());
    }
    if (sunken_) {
        qDrawWinPanel(&painter, rect(), palette(), true);
    }
}

void canvas_widget::end_lost_press(Qt::MouseButtons held, QPoint global) {
    if (left_held_ && !held.testFlag(Qt::LeftButton)) {
        left_held_ = false;
        sink_(control_event::left_released, global);
    }
}

void canvas_widget::mousePressEvent(QMouseEvent* event) {
    const QPoint at = event->globalPosition().toPoint();
    if (event->button() == Qt::LeftButton) {
        end_lost_press(Qt::NoButton, at);
        left_held_ = true;
        sink_(control_event::left_pressed, at);
    }
}

// A popup menu opened during a drag (a right click) takes the left release for itself; the
// first move afterwards shows the button up and ends the drag there.
void canvas_widget::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->globalPosition().toPoint();
    end_lost_press(event->buttons(), at);
    sink_(control_event::mouse_moved, at);
}

void canvas_widget::mouseReleaseEvent(QMouseEvent* event) {
    // Qt keeps the mouse grabbed from the press on, so the release arrives here even outside.
    const bool inside = rect().contains(event->position().toPoint());
    const QPoint at = event->globalPosition().toPoint();
    if (event->button() == Qt::LeftButton) {
        left_held_ = false;
        sink_(control_event::left_released, at);
        if (inside) {
            sink_(control_event::left_click, at);
        }
    } else if (event->button() == Qt::RightButton && inside) {
        sink_(control_event::right_click, at);
    }
}

void canvas_widget::mouseDoubleClickEvent(QMouseEvent* event) {
    // The second press of a double click arrives only as this event.
    if (event->button() == Qt::LeftButton) {
        const QPoint at = event->globalPosition().toPoint();
        left_held_ = true;
        sink_(control_event::left_pressed, at);
        sink_(control_event::left_double_click, at);
    }
}

void canvas_widget::wheelEvent(QWheelEvent* event) {
    sink_(control_event::wheel, event->globalPosition().toPoint());
}

}  // namespace quill
