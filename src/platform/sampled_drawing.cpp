#include "platform/sampled_drawing.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>

#include <QImage>
#include <QPainter>
#include <QRect>

#include "platform/disc_rows.h"

namespace quill {

namespace {

// Gathered pixels are drawn a band of rows at a time through a buffer this small, which stays
// in the cache and never asks the system for fresh pages.
constexpr int64_t band_pixels = 16384;

// The held positions whose coordinates lie in [from, to): one run, since the list is sorted.
struct run {
    int first = 0;
    int count = 0;
};

run held_run(const std::vector<int>& coordinates, int64_t from, int64_t to) {
    if (from >= to) {
        return {};
    }
    const auto below = [](int coordinate, int64_t value) { return coordinate < value; };
    const auto first = std::lower_bound(coordinates.begin(), coordinates.end(), from, below);
    const auto last = std::lower_bound(first, coordinates.end(), to, below);
    return {static_cast<int>(first - coordinates.begin()), static_cast<int>(last - first)};
}

bool consecutive(const std::vector<int>& coordinates) {
    for (size_t i = 1; i < coordinates.size(); ++i) {
        if (coordinates[i] != coordinates[i - 1] + 1) {
            return false;
        }
    }
    return true;
}

bool fits(int64_t left, int64_t top, size_t width, size_t height, const QImage& target) {
    return left >= 0 && top >= 0 && left + static_cast<int64_t>(width) <= target.width() &&
           top + static_cast<int64_t>(height) <= target.height();
}

}  // namespace

struct sampled_drawing::impl {
    impl(picture_store& pictures, picture_handle target_handle, int left, int top,
         picture_handle model_handle, std::vector<int> held_columns, std::vector<int> held_rows)
        : store(pictures), columns(std::move(held_columns)), rows(std::move(held_rows)) {
        QImage* target = store.image(target_handle);
        if (!target || target->depth() != 32 || target->paintingActive() || this->columns.empty() ||
            this->rows.empty() ||
            !fits(left, top, this->columns.size(), this->rows.size(), *target)) {
            return;
        }
        const QImage* model = store.image(model_handle);
        if (model && model->depth() != 32) {
            return;
        }
        const QImage::Format format = model ? model->format() : target->format();
        // bits() detaches a shared target first, so the drawing lands in its own memory.
        uchar* corner = target->bits() + static_cast<qsizetype>(top) * target->bytesPerLine() +
                        static_cast<qsizetype>(left) * 4;
        part = QImage(corner, static_cast<int>(this->columns.size()),
                      static_cast<int>(this->rows.size()), target->bytesPerLine(), format);
        part_bits = corner;
        if (part.isNull() || !painter.begin(&part)) {
            part = QImage();
            return;
        }
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    }

    // The held box of the large picture's box at (x, y) of width x height.
    QRect held_box(int64_t x, int64_t y, int64_t width, int64_t height) const {
        const run across = held_run(columns, x, x + width);
        const run down = held_run(rows, y, y + height);
        return across.count > 0 && down.count > 0
                   ? QRect(across.first, down.first, across.count, down.count)
                   : QRect();
    }

    void fill(int64_t x, int64_t y, int64_t width, int64_t height, const QColor& colour) {
        const QRect box = held_box(x, y, width, height);
        if (!box.isEmpty()) {
            painter.fillRect(box, colour);
        }
    }

    // As drawing does: without blending a picture lands as an opaque copy of its colours.
    void put(const QPoint& at, const QImage& pixels) {
        if (mode == draw_mode::alpha_blend || !pixels.hasAlphaChannel()) {
            painter.drawImage(at, pixels);
        } else {
            painter.drawImage(at, pixels.convertToFormat(QImage::Format_RGB32));
        }
    }

    // source stretched to width x height with its top-left corner at (x, y), by the
    // nearest-neighbour rule of picture_store::resize; unstretched when the size is its own.
    void place(const QImage& source, int64_t x, int64_t y, int64_t width, int64_t height) {
        if (source.depth() != 32) {
            place(source.convertToFormat(source.hasAlphaChannel()
                                             ? QImage::Format_ARGB32_Premultiplied
                                             : QImage::Format_RGB32),
                  x, y, width, height);
            return;
        }
        const QRect box = held_box(x, y, width, height);
        if (box.isEmpty()) {
            return;
        }
        std::vector<int> source_x(static_cast<size_t>(box.width()));
        for (int i = 0; i < box.width(); ++i) {
            source_x[static_cast<size_t>(i)] = static_cast<int>(
                (columns[static_cast<size_t>(box.x() + i)] - x) * source.width() / width);
        }
        std::vector<int> source_y(static_cast<size_t>(box.height()));
        for (int j = 0; j < box.height(); ++j) {
            source_y[static_cast<size_t>(j)] = static_cast<int>(
                (rows[static_cast<size_t>(box.y() + j)] - y) * source.height() / height);
        }
        const qsizetype line_bytes = source.bytesPerLine();
        // At 100 % the picked pixels form one block of the source, drawn straight from it.
        if (consecutive(source_x) && consecutive(source_y)) {
            const QImage block(source.constBits() + source_y.front() * line_bytes +
                                   static_cast<qsizetype>(source_x.front()) * 4,
                               box.width(), box.height(), line_bytes, source.format());
            put(box.topLeft(), block);
            return;
        }
        const int band_rows =
            static_cast<int>(std::clamp<int64_t>(band_pixels / box.width(), 1, box.height()));
        QImage band(box.width(), band_rows, source.format());
        if (band.isNull()) {
            return;
        }
        for (int first = 0; first < box.height(); first += band_rows) {
            const int count = std::min(band_rows, box.height() - first);
            for (int j = 0; j < count; ++j) {
                const auto* line = reinterpret_cast<const uint32_t*>(
                    source.constBits() + source_y[static_cast<size_t>(first + j)] * line_bytes);
                auto* target = reinterpret_cast<uint32_t*>(band.scanLine(j));
                for (size_t i = 0; i < source_x.size(); ++i) {
                    target[i] = line[source_x[i]];
                }
            }
            const QImage rows_done(band.constBits(), box.width(), count, band.bytesPerLine(),
                                   band.format());
            put(QPoint(box.x(), box.y() + first), rows_done);
        }
    }

    picture_store& store;
    std::vector<int> columns;
    std::vector<int> rows;
    QImage part;
    uchar* part_bits = nullptr;  // the part's first row, in target's memory
    QPainter painter;
    draw_mode mode = draw_mode::solid;
};

sampled_drawing::sampled_drawing(picture_store& store, picture_handle target, int left, int top,
                                 picture_handle model, std::vector<int> columns,
                                 std::vector<int> rows)
    : impl_(std::make_unique<impl>(store, target, left, top, model, std::move(columns),
                                   std::move(rows))) {}

sampled_drawing::~sampled_drawing() {
    if (active()) {
        impl_->painter.end();
    }
}

bool sampled_drawing::active() const {
    return !impl_->part.isNull();
}

void sampled_drawing::set_mode(draw_mode mode) {
    impl_->mode = mode;
}

void sampled_drawing::fill_box(int x, int y, int width, int height, rgb colour) {
    if (!active() || width <= 0 || height <= 0) {
        return;
    }
    const QColor fill(colour.r, colour.g, colour.b);
    if (impl_->mode != draw_mode::outline) {
        impl_->fill(x, y, width, height, fill);
        return;
    }
    const int64_t right = int64_t{x} + width - 1;
    const int64_t bottom = int64_t{y} + height - 1;
    impl_->fill(x, y, width, 1, fill);
    impl_->fill(x, bottom, width, 1, fill);
    impl_->fill(x, y, 1, height, fill);
    impl_->fill(right, y, 1, height, fill);
}

void sampled_drawing::draw_picture(picture_handle picture, int x, int y) {
    const QImage* source = impl_->store.image(picture);
    if (!active() || !source || source->isNull()) {
        return;
    }
    impl_->place(*source, x, y, source->width(), source->height());
}

void sampled_drawing::draw_picture_scaled(picture_handle picture, int x, int y, int width,
                                          int height) {
    const QImage* source = impl_->store.image(picture);
    if (!active() || !source || source->isNull() || width <= 0 || height <= 0) {
        return;
    }
    impl_->place(*source, x, y, width, height);
}

void sampled_drawing::draw_circle(int centre_x, int centre_y, int radius, rgb colour) {
    if (!active() || radius < 0) {
        return;
    }
    const int64_t r = radius;
    const int64_t cx = centre_x;
    const int64_t cy = centre_y;
    const QColor fill(colour.r, colour.g, colour.b);
    const run down = held_run(impl_->rows, cy - r, cy + r + 1);
    for (int j = down.first; j < down.first + down.count; ++j) {
        const int64_t dy = impl_->rows[static_cast<size_t>(j)] - cy;
        const int64_t half = disc_half_width(r, dy);
        auto span = [&](int64_t from, int64_t to) {
            const run across = held_run(impl_->columns, from, to + 1);
            if (across.count > 0) {
                impl_->painter.fillRect(QRect(across.first, j, across.count, 1), fill);
            }
        };
        if (impl_->mode != draw_mode::outline) {
            span(cx - half, cx + half);
            continue;
        }
        // The same ring as drawing's: the disc's pixels that touch the outside.
        const int64_t neighbours = std::min(disc_half_width(r, dy - 1), disc_half_width(r, dy + 1));
        const int64_t inner = std::min(neighbours + 1, half);
        span(cx - half, cx - inner);
        span(cx + inner, cx + half);
    }
}

picture_handle sampled_drawing::keep_pixels(picture_handle kept) {
    if (!active()) {
        impl_->store.free(kept);
        return 0;
    }
    const QImage& part = impl_->part;
    const QImage* existing = impl_->store.image(kept);
    if (!existing || existing->size() != part.size() || existing->format() != part.format()) {
        impl_->store.free(kept);
        kept = impl_->store.adopt(QImage(part.size(), part.format()));
    }
    QImage* copy = impl_->store.image(kept);
    if (!copy) {
        return 0;
    }
    uchar* into = copy->bits();
    const size_t row_bytes = static_cast<size_t>(part.width()) * 4;
    for (int y = 0; y < part.height(); ++y) {
        std::memcpy(into + y * copy->bytesPerLine(), impl_->part_bits + y * part.bytesPerLine(),
                    row_bytes);
    }
    return kept;
}

// Written straight into the memory: the painter keeps no pixels of its own.
bool sampled_drawing::restore_pixels(picture_handle kept) {
    const QImage* copy = impl_->store.image(kept);
    const QImage& part = impl_->part;
    if (!active() || !copy || copy->size() != part.size() || copy->format() != part.format()) {
        return false;
    }
    const size_t row_bytes = static_cast<size_t>(part.width()) * 4;
    for (int y = 0; y < part.height(); ++y) {
        std::memcpy(impl_->part_bits + y * part.bytesPerLine(), copy->constScanLine(y), row_bytes);
    }
    return true;
}

}  // namespace quill
