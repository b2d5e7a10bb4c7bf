#include "platform/picture_decoding.h"

namespace quill {

std::optional<QImage> decode_picture(picture_input& input) {
    const std::string_view start = input.peek(8);
    if (is_png(start)) {
        return decode_png(input);
    }
    if (is_jpeg(start)) {
        return decode_jpeg(input);
    }
    return std::nullopt;
}

std::optional<QImage> decode_picture(std::string_view bytes) {
    picture_input input(bytes);
    return decode_picture(input);
}

}  // namespace quill
