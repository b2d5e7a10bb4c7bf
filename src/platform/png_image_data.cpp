#include "platform/png_image_data.h"

#include "platform/picture_decoding.h"

namespace quill {

namespace {

uint32_t big_endian(const uint8_t* at) {
    return uint32_t{at[0]} << 24 | uint32_t{at[1]} << 16 | uint32_t{at[2]} << 8 | at[3];
}

// Samples per pixel of each colour type; 0 for a type that does not exist.
int channels_of(int colour_type) {
    switch (colour_type) {
        case 0:  // grey
        case 3:  // palette
            return 1;
        case 2:
            return 3;
        case 4:
            return 2;
        case 6:
            return 4;
        default:
            return 0;
    }
}

uint64_t rows_bytes(uint64_t width, uint64_t height, uint64_t bits_per_pixel) {
    if (width == 0 || height == 0) {
        return 0;
    }
    return height * (1 + (width * bits_per_pixel + 7) / 8);
}

// The seven passes of Adam7: first column and row, column and row steps.
struct pass_grid {
    uint64_t x0;
    uint64_t y0;
    uint64_t dx;
    uint64_t dy;
};
constexpr pass_grid adam7[] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                               {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};

uint64_t cells(uint64_t size, uint64_t first, uint64_t step) {
    return size > first ? (size - first + step - 1) / step : 0;
}

}  // namespace

std::optional<uint64_t> png_image_data_bytes(std::span<const uint8_t, 13> header) {
    const uint32_t width = big_endian(header.data());
    const uint32_t height = big_endian(header.data() + 4);
    const int depth = header[8];
    const int colour_type = header[9];
    const int interlace = header[12];
    const int channels = channels_of(colour_type);
    const bool depth_fits = depth == 8 || (depth == 16 && colour_type != 3) ||
                            ((depth == 1 || depth == 2 || depth == 4) && channels == 1);
    if (!picture_size_acceptable(width, height) || channels == 0 || !depth_fits || interlace > 1) {
        return std::nullopt;
    }
    const uint64_t bits_per_pixel = uint64_t(channels) * depth;
    if (interlace == 0) {
        return rows_bytes(width, height, bits_per_pixel);
    }
    uint64_t bytes = 0;
    for (const pass_grid& pass : adam7) {
        bytes += rows_bytes(cells(width, pass.x0, pass.dx), cells(height, pass.y0, pass.dy),
                            bits_per_pixel);
    }
    return bytes;
}

}  // namespace quill
