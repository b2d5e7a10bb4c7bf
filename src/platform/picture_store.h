#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class QImage;
class QRect;

namespace quill {

// Pictures are known to the logic by number; 0 stands for "no picture" everywhere.
using picture_handle = int32_t;

struct rgb {
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;
    friend bool operator==(const rgb&, const rgb&) = default;
};

enum class resize_method { fast, smooth };

// Owns every picture of the program. One implementation serves the real program and the
// tests alike, so that tests check real pixels.
class picture_store {
public:
    picture_store();
    ~picture_store();
    picture_store(const picture_store&) = delete;
    picture_store& operator=(const picture_store&) = delete;

    // Decodes a PNG or JPEG file, told apart by its content; 0 when the file is missing,
    // foreign, corrupt or truncated.
    picture_handle load(const std::string& path);
    // An opaque picture filled with one colour; 0 for a size of 0 or less.
    picture_handle create(int width, int height, rgb fill);
    picture_handle copy(picture_handle source);
    // A picture with a drawing session on it is not freed: free it after the session.
    void free(picture_handle handle);
    bool valid(picture_handle handle) const;

    // 0 for an unknown handle.
    int width(picture_handle handle) const;
    int height(picture_handle handle) const;
    // Changes whenever the picture may have changed: drawn on, resized, replaced. 0 for an
    // unknown handle.
    uint64_t version(picture_handle handle) const;

    // Resizes in place. The fast method is nearest neighbour: target pixel (x, y) takes source
    // pixel (x * old_width / new_width, y * old_height / new_height). Returns false for an
    // unknown handle, a size of 0 or less or a picture with a drawing session on it, leaving
    // the picture unchanged.
    bool resize(picture_handle handle, int new_width, int new_height, resize_method method);

    // Moves the contents by (dx, dy) pixels within the picture; what nothing moves onto keeps
    // its pixels. False for an unknown handle, a picture with a drawing session on it or one
    // not of 32 bits a pixel.
    bool scroll(picture_handle handle, int dx, int dy);
    // Gives the picture a new size, its pixels moved by (dx, dy); pixels nothing moves onto
    // have all their bits 0 (black). False, changing nothing, for an unknown handle, a size of 0 or
    // less, a picture with a drawing session on it or one not of 32 bits a pixel.
    bool reframe(picture_handle handle, int width, int height, int dx, int dy);

    // 0xAARRGGBB, not premultiplied; 0 outside the picture or for an unknown handle.
    uint32_t pixel(picture_handle handle, int x, int y) const;

    // For the platform layer and the drawing code only.
    picture_handle adopt(QImage image);
    QImage* image(picture_handle handle);
    const QImage* image(picture_handle handle) const;
    // For the drawing code only: work(first, end) over the rows [0, count) of a picture
    // `width` pixels wide, shared with the store's second thread when they are many (see
    // row_sharer).
    void share_rows(int count, int64_t width, const std::function<void(int first, int end)>& work);

private:
    struct impl;
    std::unique_ptr<impl> impl_;
};

// For the platform layer and the drawing code only: the part `region` (in target pixels) of
// source stretched to width x height by the nearest-neighbour rule of picture_store::resize.
// Producing only a region keeps a huge stretch that is mostly off the target cheap. The
// result keeps the source's format; a null image when nothing is left.
QImage stretch_nearest(const QImage& source, int width, int height, const QRect& region);

}  // namespace quill
