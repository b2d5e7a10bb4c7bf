#include "live_map/qr_picture.h"

#include <qrencode.h>

#include <memory>

#include "platform/drawing.h"

namespace quill {

namespace {

constexpr int quiet_modules = 4;

struct qr_code_deleter {
    void operator()(QRcode* code) const { QRcode_free(code); }
};

}  // namespace

picture_handle make_qr_picture(picture_store& pictures, const std::string& text,
                               int module_pixels) {
    // Medium error correction survives a glare or a finger on the screen.
    const std::unique_ptr<QRcode, qr_code_deleter> code(
        QRcode_encodeString(text.c_str(), 0, QR_ECLEVEL_M, QR_MODE_8, 1));
    if (!code || module_pixels <= 0) {
        return 0;
    }
    const int modules = code->width;
    const int side = (modules + 2 * quiet_modules) * module_pixels;
    const picture_handle picture = pictures.create(side, side, {255, 255, 255});
    drawing canvas(pictures, picture);
    for (int y = 0; y < modules; ++y) {
        for (int x = 0; x < modules; ++x) {
            // The lowest bit of each module says whether it is dark.
            if ((code->data[y * modules + x] & 1) != 0) {
                canvas.fill_box((x + quiet_modules) * module_pixels,
                                (y + quiet_modules) * module_pixels, module_pixels, module_pixels,
                                {0, 0, 0});
            }
        }
    }
    return picture;
}

}  // namespace quill
