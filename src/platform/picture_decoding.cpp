#include "platform/picture_decoding.h"

namespace quill {

std::optional<QImage> decode_picture(std::string_view bytes) {
    if (is_png(bytes)) {
        return decode_png(bytes);
    }
    if (is_jpeg(bytes)) {
        return decode_jpeg(bytes);
    }
    return std::nullopt;
}

}  // namespace quill
