#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

#include "platform/qt/canvas_widget.h"
#include "platform/qt/qt_platform.h"
#include "platform/qt/qt_platform_impl.h"

namespace quill {

namespace {

window_event control_event_of(int window, int control, control_event type) {
    window_event event;
    event.kind = event_kind::control;
    event.window = window;
    event.control = control;
    event.type = type;
    return event;
}

window_event control_event_at(int window, int control, control_event type, QPoint global) {
    window_event event = control_event_of(window, control, type);
    event.pointer = screen_point{global.x(), global.y()};
    return event;
}

QPixmap pixmap_of(const picture_store& pictures, picture_handle picture) {
    const QImage* image = pictures.image(picture);
    return image == nullptr ? QPixmap() : QPixmap::fromImage(*image);
}

}  // namespace

void qt_platform::create_canvas(int window, int control, int x, int y, int width, int height,
                                bool sunken) {
    QWidget* client = impl_->client(window);
    if (client == nullptr) {
        return;
    }
    auto* canvas = new canvas_widget(
        pictures(), sunken,
        [this, window, control](control_event type, QPoint global) {
            impl_->post(control_event_at(window, control, type, global));
        },
        client);
    canvas->set_area(QRect(x, y, width, height));
    canvas->show();
    impl_->add_control(control, control_kind::canvas, canvas);
}

void qt_platform::move_control(int control, int x, int y, int width, int height) {
    const control_entry* entry = impl_->control(control);
    if (entry == nullptr) {
        return;
    }
    const QRect now = entry->widget->geometry();
    const auto pick = [](int wanted, int current) {
        return wanted == keep_value ? current : wanted;
    };
    const QRect area(pick(x, now.x()), pick(y, now.y()), pick(width, now.width()),
                     pick(height, now.height()));
    if (entry->kind == control_kind::canvas) {
        static_cast<canvas_widget*>(entry->widget.data())->set_area(area);
    } else {
        entry->widget->setGeometry(area);
    }
}

void qt_platform::hide_control(int control) {
    if (const control_entry* entry = impl_->control(control)) {
        entry->widget->hide();
    }
}

void qt_platform::show_control(int control) {
    if (const control_entry* entry = impl_->control(control)) {
        // Controls may overlap, as the picker canvas does the map canvas: the one shown last is
        // the one meant to be seen.
        entry->widget->raise();
        entry->widget->show();
    }
}

void qt_platform::remove_control(int control) {
    auto found = impl_->controls.find(control);
    if (found == impl_->controls.end()) {
        return;
    }
    delete found->second.widget.data();
    impl_->controls.erase(found);
}

screen_point qt_platform::control_position(int control) {
    const control_entry* entry = impl_->control(control);
    if (entry == nullptr) {
        return {};
    }
    return {entry->widget->x(), entry->widget->y()};
}

void qt_platform::create_picture_box(int window, int control, int x, int y, int width, int height,
                                     picture_handle picture, bool sunken) {
    QWidget* client = impl_->client(window);
    if (client == nullptr) {
        return;
    }
    auto* box = new QLabel(client);
    box->setAlignment(Qt::AlignCenter);
    if (sunken) {
        box->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    }
    box->setPixmap(pixmap_of(pictures(), picture));
    box->setGeometry(x, y, width, height);
    box->show();
    impl_->add_control(control, control_kind::picture_box, box);
}

void qt_platform::set_picture_box_image(int control, picture_handle picture) {
    const control_entry* entry = impl_->control(control);
    if (entry != nullptr && entry->kind == control_kind::picture_box) {
        static_cast<QLabel*>(entry->widget.data())->setPixmap(pixmap_of(pictures(), picture));
    }
}

void qt_platform::create_button(int window, int control, int x, int y, int width, int height,
                                const std::string& text) {
    QWidget* client = impl_->client(window);
    if (client == nullptr) {
        return;
    }
    auto* button = new QPushButton(literal_label(text), client);
    button->setGeometry(x, y, width, height);
    QObject::connect(button, &QPushButton::clicked, button, [this, window, control] {
        impl_->post(control_event_of(window, control, control_event::left_click));
    });
    button->show();
    impl_->add_control(control, control_kind::button, button);
}

std::unique_ptr<drawing> qt_platform::start_canvas_drawing(int control) {
    const picture_handle target = canvas_picture(control);
    QPointer<QWidget> canvas = widget_for_control(control);
    return std::make_unique<drawing>(pictures(), target, [canvas] {
        if (!canvas.isNull()) {
            canvas->update();
        }
    });
}

picture_handle qt_platform::canvas_picture(int control) {
    const control_entry* entry = impl_->control(control);
    if (entry == nullptr || entry->kind != control_kind::canvas) {
        return 0;
    }
    return static_cast<const canvas_widget*>(entry->widget.data())->picture();
}

}  // namespace quill
