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

// Picks pixels from rows of a 32-bit source at the columns x.
class column_picker {
public:
    column_picker(const QImage& source, const std::vector<int>& x)
        : bits_(source.constBits()),
          line_bytes_(source.bytesPerLine()),
          x_(x),
          straight_(consecutive(x)) {}

    // Row y's picked pixels into `into`; one block copy when the columns follow each other, as
    // at 100 %.
    void pick(int y, uint32_t* into) const {
        const auto* line = reinterpret_cast<const uint32_t*>(bits_ + y * line_bytes_);
        if (straight_) {
            std::memcpy(into, line + x_.front(), x_.size() * 4);
            return;
        }
        const int* x = x_.data();
        for (size_t i = 0; i < x_.size(); ++i) {
            into[i] = line[x[i]];
        }
    }

private:
    const uchar* bits_;
    qsizetype line_bytes_;
    const std::vector<int>& x_;
    bool straight_;
};

// Rows of 32-bit pixels from one memory to another, on both cores for many.
void copy_rows(picture_store& store, uchar* into, qsizetype into_line, const uchar* from,
               qsizetype from_line, int width, int height) {
    const size_t row_bytes = static_cast<size_t>(width) * 4;
    store.share_rows(height, width, [&](int first, int end) {
        for (int y = first; y < end; ++y) {
            std::memcpy(into + y * into_line, from + y * from_line, row_bytes);
        }
    });
}

int rows_per_band(const QRect& box) {
    return static_cast<int>(std::clamp<int64_t>(band_pixels / box.width(), 1, box.height()));
}

// Whether kept has room for the part's pixels in its top left corner, in the part's format.
bool holds(const QImage* kept, const QImage& part) {
    return kept && kept->format() == part.format() && kept->width() >= part.width() &&
           kept->height() >= part.height();
}

bool fits(int64_t left, int64_t top, size_t width, size_t height, const QImage& target) {
    return left >= 0 && top >= 0 && left + static_cast<int64_t>(width) <= target.width() &&
           top + static_cast<int64_t>(height) <= target.height();
}

}  // namespace

bool keeps_in_corner(int64_t kept_width, int64_t kept_height, int64_t width, int64_t height) {
    return kept_width >= width && kept_height >= height &&
           kept_width * kept_height <= 2 * width * height;
}

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
        if (lands_as_copy(source)) {
            copy_pixels(source, box, source_x, source_y);
            return;
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
        const int band_rows = rows_per_band(box);
        QImage band(box.width(), band_rows, source.format());
        if (band.isNull()) {
            return;
        }
        const column_picker picker(source, source_x);
        for (int first = 0; first < box.height(); first += band_rows) {
            const int count = std::min(band_rows, box.height() - first);
            for (int j = 0; j < count; ++j) {
                picker.pick(source_y[static_cast<size_t>(first + j)],
                            reinterpret_cast<uint32_t*>(band.scanLine(j)));
            }
            const QImage rows_done(band.constBits(), box.width(), count, band.bytesPerLine(),
                                   band.format());
            put(QPoint(box.x(), box.y() + first), rows_done);
        }
    }

    // Whether source, drawn in the present mode, lands on the part as an unchanged copy of
    // opaque pixels: an opaque picture, or one whose transparency put drops, on a part whose
    // format holds opaque pixels bit for bit as QPainter copies them there.
    bool lands_as_copy(const QImage& source) const {
        const bool opaque = source.format() == QImage::Format_RGB32;
        const bool dropped = source.format() == QImage::Format_ARGB32_Premultiplied &&
                             mode != draw_mode::alpha_blend;
        return (opaque || dropped) && (part.format() == QImage::Format_RGB32 ||
                                       part.format() == QImage::Format_ARGB32_Premultiplied);
    }

    // The picked pixels of source written straight into the part's box, the rows shared with a
    // second thread when there are many: no painter is involved, so the threads share nothing
    // but the pixels they read. Qt drops the transparency, a band of rows at a time, so that
    // the colours come out as put's would.
    void copy_pixels(const QImage& source, const QRect& box, const std::vector<int>& source_x,
                     const std::vector<int>& source_y) {
        const qsizetype part_line = part.bytesPerLine();
        uchar* const corner = part_bits + box.y() * part_line + static_cast<qsizetype>(box.x()) * 4;
        const size_t row_bytes = static_cast<size_t>(box.width()) * 4;
        const bool opaque = source.format() == QImage::Format_RGB32;
        const int band_rows = rows_per_band(box);
        const column_picker picker(source, source_x);
        store.share_rows(box.height(), box.width(), [&](int first, int end) {
            if (opaque) {
                for (int j = first; j < end; ++j) {
                    picker.pick(source_y[static_cast<size_t>(j)],
                                reinterpret_cast<uint32_t*>(corner + j * part_line));
                }
                return;
            }
            QImage band(box.width(), band_rows, source.format());
            if (band.isNull()) {
                return;
            }
            for (int from = first; from < end; from += band_rows) {
                const int count = std::min(band_rows, end - from);
                for (int j = 0; j < count; ++j) {
                    picker.pick(source_y[static_cast<size_t>(from + j)],
                                reinterpret_cast<uint32_t*>(band.scanLine(j)));
                }
                const QImage opaque_rows =
                    QImage(band.constBits(), box.width(), count, band.bytesPerLine(), band.format())
                        .convertToFormat(QImage::Format_RGB32);
                for (int j = 0; j < count; ++j) {
                    std::memcpy(corner + (from + j) * part_line, opaque_rows.constScanLine(j),
                                row_bytes);
                }
            }
        });
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
    if (!holds(existing, part) ||
        !keeps_in_corner(existing->width(), existing->height(), part.width(), part.height())) {
        impl_->store.free(kept);
        kept = impl_->store.adopt(QImage(part.size(), part.format()));
    }
    QImage* copy = impl_->store.image(kept);
    if (!copy) {
        return 0;
    }
    copy_rows(impl_->store, copy->bits(), copy->bytesPerLine(), impl_->part_bits,
              part.bytesPerLine(), part.width(), part.height());
    return kept;
}

// Written straight into the memory: the painter keeps no pixels of its own.
bool sampled_drawing::restore_pixels(picture_handle kept) {
    const QImage* copy = impl_->store.image(kept);
    const QImage& part = impl_->part;
    if (!active() || !holds(copy, part)) {
        return false;
    }
    copy_rows(impl_->store, impl_->part_bits, part.bytesPerLine(), copy->constBits(),
              copy->bytesPerLine(), part.width(), part.height());
    return true;
}

}  // namespace quill
