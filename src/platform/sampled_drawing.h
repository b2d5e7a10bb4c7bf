#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/drawing.h"
#include "platform/picture_store.h"

namespace quill {

// Drawing on a sample of a large picture that is never made. The sample is the part of
// `target` at (left, top) of columns.size() x rows.size() pixels; its pixel (i, j) stands for
// pixel (columns[i], rows[j]) of the large picture. Every operation takes the large picture's
// coordinates and changes the sample's pixels exactly as the same operation of `drawing` would
// change the pixels they stand for, with the same blending: the part is drawn on in the pixel
// format of `model`, the format the large picture would have, laid over target's memory. A
// nearest-neighbour reduction of a drawing thus costs what the reduction holds, not what the
// large picture would hold, and needs no memory of its own. A picture that lands as a plain
// copy of opaque pixels (the background of a map) is written straight into the part, and a
// large part's rows, like those of keep_pixels and restore_pixels, are shared with a second
// thread that ends before the call returns.
// Both lists must be non-decreasing and lie inside the large picture, which then clips nothing
// that the sample holds. Nothing is drawn when the lists are empty, the part does not lie
// inside target, target is unknown or has a drawing session, or either picture is not one of
// 32 bits a pixel.
// Whether a picture of kept_width x kept_height keeps pixels of width x height in its top left
// corner: large enough, and not more than twice their area, which a pan would move along whole.
bool keeps_in_corner(int64_t kept_width, int64_t kept_height, int64_t width, int64_t height);

class sampled_drawing {
public:
    sampled_drawing(picture_store& store, picture_handle target, int left, int top,
                    picture_handle model, std::vector<int> columns, std::vector<int> rows);
    ~sampled_drawing();
    sampled_drawing(const sampled_drawing&) = delete;
    sampled_drawing& operator=(const sampled_drawing&) = delete;

    bool active() const;

    void set_mode(draw_mode mode);
    void fill_box(int x, int y, int width, int height, rgb colour);
    void draw_picture(picture_handle picture, int x, int y);
    void draw_picture_scaled(picture_handle picture, int x, int y, int width, int height);
    void draw_circle(int centre_x, int centre_y, int radius, rgb colour);

    // The sample's pixels as they are now, kept in the top left corner of picture `kept` of the
    // store; it is made anew, of the sample's size, when it is 0, of another format, too small
    // or more than twice the sample's size. A larger one is reused, since fresh memory costs a
    // page fault every 4 KiB when first written, more than the copy itself. Returns its handle, 0
    // when nothing was kept, and then `kept` is freed.
    picture_handle keep_pixels(picture_handle kept);
    // Puts pixels kept by keep_pixels back from the top left corner of `kept`; false, changing
    // nothing, when they do not fit. Whether they are this sample's is the caller's to know.
    bool restore_pixels(picture_handle kept);

private:
    struct impl;
    std::unique_ptr<impl> impl_;
};

}  // namespace quill
