#include <bit>
#include <csetjmp>
#include <cstring>
#include <functional>
#include <optional>
#include <vector>

#include <png.h>

#include "platform/picture_decoding.h"
#include "platform/pre_inflated_png.h"
#include "platform/row_finishing.h"

namespace quill {

namespace {

constexpr unsigned char png_signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};

// Ancillary chunks (text, ICC profiles) larger than this are refused instead of allocated.
constexpr png_alloc_size_t max_chunk_bytes = 16'000'000;

[[noreturn]] void abandon_png(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}

void ignore_png_warning(png_structp, png_const_charp) {}

// Running out of data, or damaged data ahead of libpng, is an error that ends the decoding at
// once.
void read_pre_inflated(png_structp png, png_bytep target, size_t count) {
    auto* source = static_cast<pre_inflated_png*>(png_get_io_ptr(png));
    if (!source->read(target, count)) {
        png_error(png, "damaged or truncated");
    }
}

// What libpng leaves in a row of the picture and what then makes it a row of 32-bit words.
enum class row_layout {
    // 8-bit RGB as stored, placed at the row's last three quarters and spread into 0xFFRRGGBB.
    stored_rgb,
    // 8-bit RGBA as stored, made into premultiplied 0xAARRGGBB in place.
    stored_rgba,
    // Any other kind, expanded by libpng into 0xAARRGGBB words; premultiplied when with alpha.
    expanded,
    expanded_opaque,
};

// The most common kinds of map take the short path: libpng only inflates and unfilters them,
// and the rows are spread into words without any further pass over the picture.
row_layout layout_of(int colour_type, int bit_depth, int interlace, bool colour_key) {
    if (bit_depth == 8 && interlace == PNG_INTERLACE_NONE && !colour_key) {
        if (colour_type == PNG_COLOR_TYPE_RGB) {
            return row_layout::stored_rgb;
        }
        if (colour_type == PNG_COLOR_TYPE_RGB_ALPHA) {
            return row_layout::stored_rgba;
        }
    }
    return row_layout::expanded;
}

// Where libpng writes row y: the stored RGB bytes go behind the room their words will take,
// so that spreading them from the front never overwrites a byte still to be read.
png_bytep decoded_row(const decoded_rows& rows, row_layout layout, int y) {
    return layout == row_layout::stored_rgb ? rows.line(y) + rows.width : rows.line(y);
}

void spread_rgb(uchar* line, int width) {
    auto* words = reinterpret_cast<QRgb*>(line);
    const uchar* stored = line + width;
    for (int x = 0; x < width; ++x, stored += 3) {
        words[x] = qRgb(stored[0], stored[1], stored[2]);
    }
}

void premultiply_rgba(uchar* line, int width) {
    auto* words = reinterpret_cast<QRgb*>(line);
    for (int x = 0; x < width; ++x) {
        const uchar* stored = line + 4 * x;
        words[x] = qPremultiply(qRgba(stored[0], stored[1], stored[2], stored[3]));
    }
}

void premultiply_words(uchar* line, int width) {
    auto* words = reinterpret_cast<QRgb*>(line);
    for (int x = 0; x < width; ++x) {
        words[x] = qPremultiply(words[x]);
    }
}

std::function<void(uchar*, int)> finishing_of(row_layout layout) {
    switch (layout) {
        case row_layout::stored_rgb:
            return spread_rgb;
        case row_layout::stored_rgba:
            return premultiply_rgba;
        case row_layout::expanded:
            return premultiply_words;
        case row_layout::expanded_opaque:
            break;
    }
    return {};
}

// What the header phase found out about a picture.
struct png_plan {
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    bool has_alpha = false;
    row_layout layout = row_layout::expanded;
    int passes = 1;
};

// The two phases hold a setjmp each, since libpng leaves them by longjmp on any error; the
// picture, its rows and their finisher live in the caller, between the phases, because no
// object with a destructor may live in a frame that longjmp leaves.
bool read_png_header(png_structp png, png_infop info, png_plan& plan) {
    if (setjmp(png_jmpbuf(png))) {
        return false;
    }
    // Each image data chunk the pre-reader makes is read in one piece.
    png_set_compression_buffer_size(png, pre_inflated_png::largest_chunk_data);
    png_read_info(png, info);
    int bit_depth = 0;
    int colour_type = 0;
    int interlace = 0;
    png_get_IHDR(png, info, &plan.width, &plan.height, &bit_depth, &colour_type, &interlace,
                 nullptr, nullptr);
    if (!picture_size_acceptable(plan.width, plan.height)) {
        return false;
    }
    const bool colour_key = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
    plan.has_alpha = (colour_type & PNG_COLOR_MASK_ALPHA) != 0 || colour_key;
    plan.layout = layout_of(colour_type, bit_depth, interlace, colour_key);
    if (plan.layout == row_layout::expanded) {
        // Every other colour type and depth becomes four 8-bit channels laid out as a native
        // 32-bit 0xAARRGGBB word.
        png_set_expand(png);
        png_set_scale_16(png);
        png_set_gray_to_rgb(png);
        if constexpr (std::endian::native == std::endian::little) {
            png_set_bgr(png);
            if (!plan.has_alpha) {
                png_set_filler(png, 0xff, PNG_FILLER_AFTER);
            }
        } else {
            png_set_swap_alpha(png);
            if (!plan.has_alpha) {
                png_set_filler(png, 0xff, PNG_FILLER_BEFORE);
            }
        }
        if (!plan.has_alpha) {
            plan.layout = row_layout::expanded_opaque;
        }
    }
    plan.passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    const size_t row_bytes =
        plan.layout == row_layout::stored_rgb ? size_t{plan.width} * 3 : size_t{plan.width} * 4;
    return png_get_rowbytes(png, info) == row_bytes;
}

// passes_rows holds where each row goes when the picture is interlaced.
bool read_png_rows(png_structp png, const png_plan& plan, const decoded_rows& target,
                   png_bytepp passes_rows, row_finisher& rows) {
    if (setjmp(png_jmpbuf(png))) {
        return false;
    }
    if (plan.passes > 1) {
        // An interlaced picture's rows are only complete after the last pass.
        png_read_image(png, passes_rows);
    }
    for (int y = 0; y < target.height; ++y) {
        if (plan.passes == 1) {
            png_read_row(png, decoded_row(target, plan.layout, y), nullptr);
        }
        rows.decoded(y);
    }
    return true;
}

std::optional<QImage> read_png(png_structp png, png_infop info, load_progress* progress) {
    png_plan plan;
    if (!read_png_header(png, info, plan)) {
        return std::nullopt;
    }
    QImage image(static_cast<int>(plan.width), static_cast<int>(plan.height),
                 plan.has_alpha ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    if (image.isNull()) {
        return std::nullopt;
    }
    decoded_rows target{image.bits(), image.bytesPerLine(), static_cast<int>(plan.width),
                        static_cast<int>(plan.height), finishing_of(plan.layout)};
    target.progress = progress;
    std::vector<png_bytep> passes_rows;
    if (plan.passes > 1) {
        passes_rows.resize(plan.height);
        for (png_uint_32 y = 0; y < plan.height; ++y) {
            passes_rows[y] = decoded_row(target, plan.layout, static_cast<int>(y));
        }
    }
    row_finisher rows(target);
    const bool complete = read_png_rows(png, plan, target, passes_rows.data(), rows);
    rows.wait(complete);
    if (!complete) {
        return std::nullopt;
    }
    return image;
}

}  // namespace

bool is_png(std::string_view bytes) {
    return bytes.size() >= sizeof png_signature &&
           std::memcmp(bytes.data(), png_signature, sizeof png_signature) == 0;
}

std::optional<QImage> decode_png(picture_input& input) {
    if (!is_png(input.peek(sizeof png_signature))) {
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
    // Only the pixels count. Every other chunk but the palette and its transparency is skipped
    // unread: this libpng still allocates the length a text chunk claims, up to 2 GiB, whatever
    // the limit above says.
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, nullptr, -1);
    // The pre-reader checks the critical chunks' checksums, over the compressed data, and
    // hands on the image data inflated, in chunks without a checksum; libpng still checks the
    // ancillary chunks it reads. zlib's own sum over the inflated data would only cost time.
    png_set_crc_action(png, PNG_CRC_QUIET_USE, PNG_CRC_DEFAULT);
    png_set_option(png, PNG_IGNORE_ADLER32, PNG_OPTION_ON);
    pre_inflated_png source(input);
    png_set_read_fn(png, &source, read_pre_inflated);

    std::optional<QImage> image = read_png(png, info, input.progress());
    png_destroy_read_struct(&png, &info, nullptr);
    return image;
}

std::optional<QImage> decode_png(std::string_view bytes) {
    picture_input input(bytes);
    return decode_png(input);
}

}  // namespace quill
