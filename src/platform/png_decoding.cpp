#include <bit>
#include <csetjmp>
#include <cstring>
#include <vector>

#include <png.h>

#include "platform/picture_decoding.h"

namespace quill {

namespace {

constexpr unsigned char png_signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};

// Ancillary chunks (text, ICC profiles) larger than this are refused instead of allocated.
constexpr png_alloc_size_t max_chunk_bytes = 16'000'000;

struct memory_source {
    const unsigned char* data;
    size_t size;
    size_t position;
};

[[noreturn]] void abandon_png(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}

void ignore_png_warning(png_structp, png_const_charp) {}

// Running out of data is an error, so a truncated file ends the decoding at once.
void read_from_memory(png_structp png, png_bytep target, size_t count) {
    auto* source = static_cast<memory_source*>(png_get_io_ptr(png));
    if (count > source->size - source->position) {
        png_error(png, "truncated");
    }
    std::memcpy(target, source->data + source->position, count);
    source->position += count;
}

// Holds the setjmp; everything with a destructor lives in the caller, since libpng leaves
// this frame by longjmp on any error.
bool read_png(png_structp png, png_infop info, QImage& image, std::vector<png_bytep>& rows,
              bool& has_alpha) {
    if (setjmp(png_jmpbuf(png))) {
        return false;
    }
    png_read_info(png, info);
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    int bit_depth = 0;
    int colour_type = 0;
    png_get_IHDR(png, info, &width, &height, &bit_depth, &colour_type, nullptr, nullptr, nullptr);
    if (!picture_size_acceptable(width, height)) {
        return false;
    }
    has_alpha =
        (colour_type & PNG_COLOR_MASK_ALPHA) != 0 || png_get_valid(png, info, PNG_INFO_tRNS);

    // Every colour type and depth becomes four 8-bit channels laid out as a native 32-bit
    // 0xAARRGGBB word, so rows can be decoded straight into the picture's memory.
    png_set_expand(png);
    png_set_scale_16(png);
    png_set_gray_to_rgb(png);
    if constexpr (std::endian::native == std::endian::little) {
        png_set_bgr(png);
        if (!has_alpha) {
            png_set_filler(png, 0xff, PNG_FILLER_AFTER);
        }
    } else {
        png_set_swap_alpha(png);
        if (!has_alpha) {
            png_set_filler(png, 0xff, PNG_FILLER_BEFORE);
        }
    }
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != size_t{width} * 4) {
        return false;
    }

    image = QImage(static_cast<int>(width), static_cast<int>(height),
                   has_alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    if (image.isNull()) {
        return false;
    }
    rows.resize(height);
    for (png_uint_32 y = 0; y < height; ++y) {
        rows[y] = image.scanLine(static_cast<int>(y));
    }
    png_read_image(png, rows.data());
    return true;
}

}  // namespace

bool is_png(std::string_view bytes) {
    return bytes.size() >= sizeof png_signature &&
           std::memcmp(bytes.data(), png_signature, sizeof png_signature) == 0;
}

std::optional<QImage> decode_png(std::string_view bytes) {
    if (!is_png(bytes)) {
        return std::nullopt;
    }
    png_structp png =
        png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, abandon_png, ignore_png_warning);
    if (!png) {
        return std::nullopt;
    }
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return std::nullopt;
    }
    png_set_user_limits(png, max_picture_side, max_picture_side);
    png_set_chunk_malloc_max(png, max_chunk_bytes);
    memory_source source{reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), 0};
    png_set_read_fn(png, &source, read_from_memory);

    QImage image;
    std::vector<png_bytep> rows;
    bool has_alpha = false;
    const bool complete = read_png(png, info, image, rows, has_alpha);
    png_destroy_read_struct(&png, &info, nullptr);
    if (!complete) {
        return std::nullopt;
    }
    if (has_alpha) {
        image.convertTo(QImage::Format_ARGB32_Premultiplied);
    }
    return image;
}

}  // namespace quill
