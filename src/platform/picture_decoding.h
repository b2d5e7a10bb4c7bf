#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include <QImage>

#include "platform/picture_input.h"

namespace quill {

// A small file header must not be able to demand an unbounded allocation.
inline constexpr int max_picture_side = 30000;
inline constexpr int64_t max_picture_pixel_bytes = 1'200'000'000;
inline constexpr int64_t max_picture_file_bytes = int64_t{1} << 30;

inline bool picture_size_acceptable(int64_t width, int64_t height) {
    return width > 0 && height > 0 && width <= max_picture_side && height <= max_picture_side &&
           width * height * 4 <= max_picture_pixel_bytes;
}

bool is_png(std::string_view bytes);
bool is_jpeg(std::string_view bytes);

// Pictures with transparency come out as Format_ARGB32_Premultiplied, the others as
// Format_RGB32, decoded straight into their rows. Nothing for corrupt, truncated or oversized
// data.
std::optional<QImage> decode_png(picture_input& input);
std::optional<QImage> decode_jpeg(picture_input& input);
std::optional<QImage> decode_png(std::string_view bytes);
std::optional<QImage> decode_jpeg(std::string_view bytes);

// A picture file, read a piece at a time, decoded by its content; nothing when it is missing,
// empty, larger than max_picture_file_bytes or not a picture that decodes. Touches nothing
// but the file and the progress, so it may run on any thread.
std::optional<QImage> decode_picture_file(const std::string& path,
                                          load_progress* progress = nullptr);

// Chooses the decoder by the leading bytes.
std::optional<QImage> decode_picture(picture_input& input);
std::optional<QImage> decode_picture(std::string_view bytes);

}  // namespace quill
