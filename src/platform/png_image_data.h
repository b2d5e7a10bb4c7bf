#pragma once

#include <cstdint>
#include <optional>
#include <span>

namespace quill {

// How many bytes of filtered image data (each row with its filter byte, every pass of an
// interlaced picture) a PNG with this IHDR chunk's 13 data bytes holds: exactly what libpng
// takes from the inflated stream. Nothing for a header libpng would refuse or a picture beyond
// the size limits.
std::optional<uint64_t> png_image_data_bytes(std::span<const uint8_t, 13> header);

}  // namespace quill
