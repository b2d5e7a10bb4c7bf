#include "platform/drawing.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#include <QFontDatabase>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QRect>

#include "platform/disc_rows.h"

namespace quill {

namespace {

QColor to_colour(rgb colour) {
    return QColor(colour.r, colour.g, colour.b);
}

// Coordinates come straight from the logic and may be far outside the target; working in
// 64 bits before clipping keeps QRect's right and bottom edges from overflowing.
QRect clip(int64_t x, int64_t y, int64_t width, int64_t height, const QRect& bounds) {
    const int64_t left = std::max<int64_t>(x, bounds.left());
    const int64_t top = std::max<int64_t>(y, bounds.top());
    const int64_t right = std::min<int64_t>(x + width, int64_t{bounds.right()} + 1);
    const int64_t bottom = std::min<int64_t>(y + height, int64_t{bounds.bottom()} + 1);
    if (left >= right || top >= bottom) {
        return {};
    }
    return QRect(static_cast<int>(left), static_cast<int>(top), static_cast<int>(right - left),
                 static_cast<int>(bottom - top));
}

}  // namespace

struct drawing::impl {
    impl(picture_store& pictures, picture_handle target_handle, std::function<void()> stopped)
        : store(pictures), target(pictures.image(target_handle)), on_stop(std::move(stopped)) {
        font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
        font.setStyleStrategy(QFont::NoAntialias);
        if (this->target && !painter.begin(this->target)) {
            this->target = nullptr;
        }
        if (!this->target) {
            return;
        }
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setRenderHint(QPainter::TextAntialiasing, false);
        painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
        painter.setFont(font);
        painter.setPen(Qt::white);
        painter.setBackground(Qt::black);
        painter.setBackgroundMode(Qt::OpaqueMode);
    }

    QFontMetrics metrics() const { return target ? painter.fontMetrics() : QFontMetrics(font); }

    QRect bounds() const { return target->rect(); }

    void draw_image(const QImage& picture, int x, int y) {
        if (mode == draw_mode::alpha_blend || !picture.hasAlphaChannel()) {
            painter.drawImage(QPoint(x, y), picture);
            return;
        }
        const QRect visible = clip(x, y, picture.width(), picture.height(), bounds());
        if (visible.isEmpty()) {
            return;
        }
        // Without blending a picture lands as an opaque copy of its colours; only the part
        // that shows is converted.
        const QImage part(picture.constScanLine(visible.y() - y) +
                              static_cast<qsizetype>(visible.x() - x) * (picture.depth() / 8),
                          visible.width(), visible.height(), picture.bytesPerLine(),
                          picture.format());
        painter.drawImage(visible.topLeft(), part.convertToFormat(QImage::Format_RGB32));
    }

    picture_store& store;
    QImage* target;
    std::function<void()> on_stop;
    QPainter painter;
    QFont font;
    draw_mode mode = draw_mode::solid;
};

drawing::drawing(picture_store& store, picture_handle target, std::function<void()> on_stop)
    : impl_(std::make_unique<impl>(store, target, std::move(on_stop))) {}

drawing::~drawing() {
    if (!active()) {
        return;
    }
    impl_->painter.end();
    if (impl_->on_stop) {
        impl_->on_stop();
    }
}

bool drawing::active() const {
    return impl_->target != nullptr;
}

void drawing::set_mode(draw_mode mode) {
    impl_->mode = mode;
}

void drawing::fill_box(int x, int y, int width, int height, rgb colour) {
    if (!active() || width <= 0 || height <= 0) {
        return;
    }
    const QColor fill = to_colour(colour);
    const QRect bounds = impl_->bounds();
    auto paint = [&](int64_t left, int64_t top, int64_t w, int64_t h) {
        const QRect box = clip(left, top, w, h, bounds);
        if (!box.isEmpty()) {
            impl_->painter.fillRect(box, fill);
        }
    };
    if (impl_->mode != draw_mode::outline) {
        paint(x, y, width, height);
        return;
    }
    const int64_t right = int64_t{x} + width - 1;
    const int64_t bottom = int64_t{y} + height - 1;
    paint(x, y, width, 1);
    paint(x, bottom, width, 1);
    paint(x, y, 1, height);
    paint(right, y, 1, height);
}

void drawing::draw_picture(picture_handle picture, int x, int y) {
    const QImage* source = impl_->store.image(picture);
    if (!active() || !source || source->isNull()) {
        return;
    }
    impl_->draw_image(*source, x, y);
}

void drawing::draw_picture_scaled(picture_handle picture, int x, int y, int width, int height) {
    const QImage* source = impl_->store.image(picture);
    if (!active() || !source || source->isNull() || width <= 0 || height <= 0) {
        return;
    }
    // Only the part of the stretched picture that falls on the target is produced.
    const QRect on_target = clip(x, y, width, height, impl_->bounds());
    if (on_target.isEmpty()) {
        return;
    }
    const QRect region = on_target.translated(-x, -y);
    const QImage part = stretch_nearest(*source, width, height, region);
    if (part.isNull()) {
        return;
    }
    impl_->draw_image(part, on_target.x(), on_target.y());
}

void drawing::draw_circle(int centre_x, int centre_y, int radius, rgb colour) {
    if (!active() || radius < 0) {
        return;
    }
    const QRect bounds = impl_->bounds();
    const int64_t r = radius;
    const int64_t cx = centre_x;
    const int64_t cy = centre_y;
    const int64_t first = std::max<int64_t>(-r, bounds.top() - cy);
    const int64_t last = std::min<int64_t>(r, bounds.bottom() - cy);
    const QColor fill = to_colour(colour);
    auto span = [&](int64_t row, int64_t from, int64_t to) {
        const QRect box = clip(from, row, to - from + 1, 1, bounds);
        if (!box.isEmpty()) {
            impl_->painter.fillRect(box, fill);
        }
    };
    // Only rows on the target are visited, so even an absurd radius costs little.
    for (int64_t dy = first; dy <= last; ++dy) {
        const int64_t half = disc_half_width(r, dy);
        if (impl_->mode != draw_mode::outline) {
            span(cy + dy, cx - half, cx + half);
            continue;
        }
        // The ring is the disc's pixels that touch the outside left, right, up or down.
        const int64_t neighbours = std::min(disc_half_width(r, dy - 1), disc_half_width(r, dy + 1));
        const int64_t inner = std::min(neighbours + 1, half);
        span(cy + dy, cx - half, cx - inner);
        span(cy + dy, cx + inner, cx + half);
    }
}

int drawing::text_width(const std::string& text) {
    return impl_->metrics().horizontalAdvance(QString::fromUtf8(text));
}

int drawing::text_height(const std::string&) {
    return impl_->metrics().height();
}

void drawing::draw_text(int x, int y, const std::string& text) {
    if (!active() || text.empty()) {
        return;
    }
    impl_->painter.drawText(QPoint(x, y + impl_->metrics().ascent()), QString::fromUtf8(text));
}

}  // namespace quill
