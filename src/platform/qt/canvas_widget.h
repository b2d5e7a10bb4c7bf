#pragma once

#include <QWidget>
#include <functional>

#include "platform/platform.h"

namespace quill {

// Receives a control event and where on the screen it happened.
using canvas_sink = std::function<void(control_event, QPoint global)>;

// A drawing surface whose contents are a picture of the store, with the mouse reported as
// control events.
class canvas_widget : public QWidget {
public:
    canvas_widget(picture_store& pictures, bool sunken, canvas_sink sink, QWidget* parent);
    ~canvas_widget() override;
    canvas_widget(const canvas_widget&) = delete;
    canvas_widget& operator=(const canvas_widget&) = delete;

    picture_handle picture() const { return picture_; }
    // The picture follows the size at once, even while the canvas is hidden: what it shows
    // stays at the top left and new room is white.
    void set_area(const QRect& area);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void fit_picture();
    // Every left press is followed by a release, even when a modal menu took the real one.
    void end_lost_press(Qt::MouseButtons held, QPoint global);

    picture_store& pictures_;
    bool sunken_;
    canvas_sink sink_;
    picture_handle picture_ = 0;
    bool left_held_ = false;
};

}  // namespace quill
