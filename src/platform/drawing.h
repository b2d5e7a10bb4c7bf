#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/picture_store.h"

namespace quill {

enum class draw_mode {
    solid,        // pictures are copied without their transparency; boxes and circles are filled
    alpha_blend,  // pictures are blended by their alpha channel
    outline,      // boxes and circles are drawn as outlines one pixel wide
};

// One drawing session on a picture (or a canvas, whose contents are a picture). Starting a
// session selects solid mode, white text on an opaque black background and the stock system
// font; destroying it stops drawing. Nothing is antialiased, so results are exact pixels.
class drawing {
public:
    // on_stop runs when the session ends: a canvas uses it to show what was drawn.
    drawing(picture_store& store, picture_handle target, std::function<void()> on_stop = {});
    ~drawing();
    drawing(const drawing&) = delete;
    drawing& operator=(const drawing&) = delete;

    // False when the target handle is unknown; every call then draws nothing.
    bool active() const;

    void set_mode(draw_mode mode);
    void fill_box(int x, int y, int width, int height, rgb colour);
    // Nothing for handle 0 or an unknown handle.
    void draw_picture(picture_handle picture, int x, int y);
    // Stretched to width x height by nearest neighbour; nothing when either is 0 or less.
    void draw_picture_scaled(picture_handle picture, int x, int y, int width, int height);
    void draw_circle(int centre_x, int centre_y, int radius, rgb colour);
    int text_width(const std::string& text);
    int text_height(const std::string& text);
    void draw_text(int x, int y, const std::string& text);

private:
    struct impl;
    std::unique_ptr<impl> impl_;
};

}  // namespace quill
