#include "platform/picture_store.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <unordered_map>
#include <utility>
#include <vector>

#include <QFile>
#include <QImage>
#include <QRect>

#include "platform/picture_decoding.h"
#include "platform/row_sharing.h"

namespace quill {

namespace {

// QPainter has its fastest paths for these two formats, and stretching can then move whole
// 32-bit words.
void normalise_format(QImage& image) {
    const QImage::Format wanted =
        image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32;
    if (image.format() != wanted) {
        image.convertTo(wanted);
    }
}

}  // namespace

struct picture_store::impl {
    // Node-based, so pointers handed out by image() survive later insertions.
    std::unordered_map<picture_handle, QImage> pictures;
    picture_handle next_handle = 1;
    row_sharer rows;
};

picture_store::picture_store() : impl_(std::make_unique<impl>()) {}

picture_store::~picture_store() = default;

picture_handle picture_store::load(const std::string& path) {
    std::optional<QImage> picture = decode_picture_file(path);
    return picture ? adopt(std::move(*picture)) : 0;
}

picture_handle picture_store::create(int width, int height, rgb fill) {
    if (width <= 0 || height <= 0) {
        return 0;
    }
    QImage picture(width, height, QImage::Format_RGB32);
    if (picture.isNull()) {
        return 0;
    }
    picture.fill(qRgb(fill.r, fill.g, fill.b));
    return adopt(std::move(picture));
}

picture_handle picture_store::copy(picture_handle source) {
    const QImage* picture = image(source);
    // Implicit sharing makes this cheap: the first drawing on either one detaches it, and
    // QImage copies at once a picture that is being drawn on.
    return picture ? adopt(*picture) : 0;
}

void picture_store::share_rows(int count, int64_t width,
                               const std::function<void(int first, int end)>& work) {
    impl_->rows.share(count, width, work);
}

void picture_store::free(picture_handle handle) {
    const QImage* picture = image(handle);
    // The session's painter still writes into it, so it must outlive the session.
    if (picture && !picture->paintingActive()) {
        impl_->pictures.erase(handle);
    }
}

bool picture_store::valid(picture_handle handle) const {
    return image(handle) != nullptr;
}

int picture_store::width(picture_handle handle) const {
    const QImage* picture = image(handle);
    return picture ? picture->width() : 0;
}

int picture_store::height(picture_handle handle) const {
    const QImage* picture = image(handle);
    return picture ? picture->height() : 0;
}

uint64_t picture_store::version(picture_handle handle) const {
    const QImage* picture = image(handle);
    // Qt gives a new key to every change of the contents and to every fresh picture.
    return picture ? static_cast<uint64_t>(picture->cacheKey()) : 0;
}

bool picture_store::resize(picture_handle handle, int new_width, int new_height,
                           resize_method method) {
    QImage* picture = image(handle);
    if (!picture || new_width <= 0 || new_height <= 0 || picture->paintingActive()) {
        return false;
    }
    QImage resized;
    if (method == resize_method::fast) {
        resized =
            stretch_nearest(*picture, new_width, new_height, QRect(0, 0, new_width, new_height));
    } else {
        resized =
            picture->scaled(new_width, new_height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        normalise_format(resized);
    }
    if (resized.isNull()) {
        return false;
    }
    *picture = std::move(resized);
    return true;
}

bool picture_store::scroll(picture_handle handle, int dx, int dy) {
    QImage* picture = image(handle);
    if (!picture || picture->paintingActive() || picture->depth() != 32) {
        return false;
    }
    const int width = picture->width();
    const int height = picture->height();
    if (std::abs(int64_t{dx}) >= width || std::abs(int64_t{dy}) >= height) {
        return true;
    }
    constexpr int pixel_bytes = 4;
    const size_t row_bytes = static_cast<size_t>(width - std::abs(dx)) * pixel_bytes;
    const qsizetype from_x = static_cast<qsizetype>(std::max(0, -dx)) * pixel_bytes;
    const qsizetype to_x = static_cast<qsizetype>(std::max(0, dx)) * pixel_bytes;
    uchar* bits = picture->bits();
    const qsizetype stride = picture->bytesPerLine();
    // Rows are taken in the order that never reads a row already written.
    for (int i = 0; i < height - std::abs(dy); ++i) {
        const int to_y = dy > 0 ? height - 1 - i : i;
        const int from_y = to_y - dy;
        std::memmove(bits + to_y * stride + to_x, bits + from_y * stride + from_x, row_bytes);
    }
    return true;
}

bool picture_store::reframe(picture_handle handle, int width, int height, int dx, int dy) {
    QImage* picture = image(handle);
    if (!picture || picture->paintingActive() || picture->depth() != 32 || width <= 0 ||
        height <= 0) {
        return false;
    }
    QImage framed(width, height, picture->format());
    if (framed.isNull()) {
        return false;
    }
    const auto from_x = static_cast<int>(std::clamp<int64_t>(dx, 0, width));
    const auto to_x =
        static_cast<int>(std::clamp<int64_t>(int64_t{dx} + picture->width(), from_x, width));
    const auto from_y = static_cast<int>(std::clamp<int64_t>(dy, 0, height));
    const auto to_y =
        static_cast<int>(std::clamp<int64_t>(int64_t{dy} + picture->height(), from_y, height));
    constexpr int pixel_bytes = 4;
    const size_t row_bytes = static_cast<size_t>(width) * pixel_bytes;
    // Every pixel is written once: moved, or cleared where nothing moves onto it.
    for (int y = 0; y < height; ++y) {
        uchar* row = framed.scanLine(y);
        if (y < from_y || y >= to_y || from_x == to_x) {
            std::memset(row, 0, row_bytes);
            continue;
        }
        std::memset(row, 0, static_cast<size_t>(from_x) * pixel_bytes);
        std::memcpy(
            row + static_cast<qsizetype>(from_x) * pixel_bytes,
            picture->constScanLine(y - dy) + static_cast<qsizetype>(from_x - dx) * pixel_bytes,
            static_cast<size_t>(to_x - from_x) * pixel_bytes);
        std::memset(row + static_cast<qsizetype>(to_x) * pixel_bytes, 0,
                    static_cast<size_t>(width - to_x) * pixel_bytes);
    }
    *picture = std::move(framed);
    return true;
}

uint32_t picture_store::pixel(picture_handle handle, int x, int y) const {
    const QImage* picture = image(handle);
    if (!picture || !picture->valid(x, y)) {
        return 0;
    }
    if (picture->format() == QImage::Format_ARGB32_Premultiplied) {
        return qUnpremultiply(picture->pixel(x, y));
    }
    return picture->pixelColor(x, y).rgba();
}

picture_handle picture_store::adopt(QImage picture) {
    if (picture.isNull()) {
        return 0;
    }
    normalise_format(picture);
    if (picture.isNull()) {
        return 0;
    }
    const picture_handle handle = impl_->next_handle++;
    impl_->pictures.emplace(handle, std::move(picture));
    return handle;
}

QImage* picture_store::image(picture_handle handle) {
    auto found = impl_->pictures.find(handle);
    return found == impl_->pictures.end() ? nullptr : &found->second;
}

const QImage* picture_store::image(picture_handle handle) const {
    auto found = impl_->pictures.find(handle);
    return found == impl_->pictures.end() ? nullptr : &found->second;
}

QImage stretch_nearest(const QImage& source, int width, int height, const QRect& region) {
    const QRect part = region.intersected(QRect(0, 0, width, height));
    if (source.isNull() || part.isEmpty()) {
        return {};
    }
    if (source.depth() != 32) {
        QImage converted = source;
        normalise_format(converted);
        return stretch_nearest(converted, width, height, region);
    }
    QImage result(part.size(), source.format());
    if (result.isNull()) {
        return {};
    }
    const int64_t source_width = source.width();
    const int64_t source_height = source.height();
    std::vector<int> source_x(static_cast<size_t>(part.width()));
    for (int i = 0; i < part.width(); ++i) {
        source_x[static_cast<size_t>(i)] =
            static_cast<int>((part.x() + int64_t{i}) * source_width / width);
    }
    const size_t row_bytes = static_cast<size_t>(part.width()) * sizeof(uint32_t);
    int64_t previous_source_y = -1;
    for (int row = 0; row < part.height(); ++row) {
        const int64_t source_y = (part.y() + int64_t{row}) * source_height / height;
        auto* target = reinterpret_cast<uint32_t*>(result.scanLine(row));
        // Enlarging repeats source rows; copying the finished row is much cheaper.
        if (source_y == previous_source_y) {
            std::memcpy(target, result.constScanLine(row - 1), row_bytes);
            continue;
        }
        const auto* line =
            reinterpret_cast<const uint32_t*>(source.constScanLine(static_cast<int>(source_y)));
        for (size_t i = 0; i < source_x.size(); ++i) {
            target[i] = line[source_x[i]];
        }
        previous_source_y = source_y;
    }
    return result;
}

}  // namespace quill
