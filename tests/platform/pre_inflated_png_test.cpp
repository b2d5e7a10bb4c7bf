#include <QRgb>

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <png.h>
#include <zlib.h>

#include "platform/picture_decoding.h"

namespace quill {
namespace {

constexpr int width = 40;
constexpr int height = 30;

std::string big_endian(uint32_t value) {
    std::string out;
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<char>((value >> shift) & 0xff));
    }
    return out;
}

// A chunk as a file holds it; a damaged one's checksum no longer fits.
std::string chunk(const std::string& type, const std::string& data, bool damaged = false) {
    const std::string body = type + data;
    uLong crc =
        crc32(0, reinterpret_cast<const Bytef*>(body.data()), static_cast<uInt>(body.size()));
    if (damaged) {
        crc ^= 1;
    }
    return big_endian(static_cast<uint32_t>(data.size())) + body + big_endian(crc);
}

// A chunk's header claiming length bytes, without them.
std::string chunk_claiming(uint32_t length) {
    return big_endian(length) + "IDAT";
}

// Noise, so that the stream is about as long as the rows and can be cut anywhere.
uint8_t sample_at(int x, int y, int channel) {
    const uint32_t mixed = (uint32_t(x) + 1) * 2654435761u ^ (uint32_t(y) + 1) * 2246822519u ^
                           (uint32_t(channel) + 1) * 3266489917u;
    return static_cast<uint8_t>(mixed >> 24);
}

// The 8-bit RGB picture's rows as libpng takes them from the inflated stream, filter byte first.
std::string filtered_rows(int rows) {
    std::string raw;
    for (int y = 0; y < rows; ++y) {
        raw.push_back(0);
        for (int x = 0; x < width; ++x) {
            for (int c = 0; c < 3; ++c) {
                raw.push_back(static_cast<char>(sample_at(x, y, c)));
            }
        }
    }
    return raw;
}

std::string zlib_stream(const std::string& raw) {
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    std::string out(size, '\0');
    compress2(reinterpret_cast<Bytef*>(out.data()), &size,
              reinterpret_cast<const Bytef*>(raw.data()), static_cast<uLong>(raw.size()), 6);
    out.resize(size);
    return out;
}

std::string png_file(const std::vector<std::string>& chunks_after_header) {
    std::string header = big_endian(width) + big_endian(height);
    header += std::string{8, 2, 0, 0, 0};  // 8-bit RGB, not interlaced
    std::string out = "\x89PNG\r\n\x1a\n" + chunk("IHDR", header);
    for (const std::string& c : chunks_after_header) {
        out += c;
    }
    return out + chunk("IEND", "");
}

// The stream cut into IDAT chunks of the given sizes, the last taking the rest.
std::vector<std::string> split(const std::string& stream, const std::vector<size_t>& sizes) {
    std::vector<std::string> chunks;
    size_t at = 0;
    for (const size_t size : sizes) {
        chunks.push_back(chunk("IDAT", stream.substr(at, size)));
        at += size;
    }
    chunks.push_back(chunk("IDAT", stream.substr(at)));
    return chunks;
}

void expect_the_picture(const std::optional<QImage>& picture) {
    ASSERT_TRUE(picture);
    ASSERT_EQ(picture->size(), QSize(width, height));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            ASSERT_EQ(picture->pixel(x, y),
                      qRgb(sample_at(x, y, 0), sample_at(x, y, 1), sample_at(x, y, 2)))
                << x << "," << y;
        }
    }
}

// The image data as encoders and damaged files lay it out. Only the picture's data must be
// there; every chunk up to the stream's end is checked, the chunks after it are never read.
TEST(pre_inflated_png, image_data_chunks_load_or_fail_as_their_stream_and_checksums_say) {
    const std::string stream = zlib_stream(filtered_rows(height));
    const size_t end = stream.size();
    std::string no_dictionary = stream;
    no_dictionary[1] = 0x20;  // a preset dictionary, with fitting check bits
    std::string bad_check_bits = stream;
    bad_check_bits[1] ^= 1;
    // Rows repeated 1210 bytes back, under a header that names a window of 256 bytes.
    const std::string ten_rows = filtered_rows(10);
    std::string small_window = zlib_stream(ten_rows + ten_rows + ten_rows);
    small_window[0] = 0x08;
    small_window[1] = 0x1d;
    std::vector<std::string> damaged_middle = split(stream, {10, 300});
    damaged_middle[1] = chunk("IDAT", stream.substr(10, 300), true);
    const std::vector<std::string> trailer_alone = split(stream, {end - 4});
    std::vector<std::string> damaged_trailer = trailer_alone;
    damaged_trailer[1] = chunk("IDAT", stream.substr(end - 4), true);

    struct data_case {
        const char* name;
        std::vector<std::string> chunks;
        bool loads;
    };
    const std::vector<data_case> cases = {
        {"one chunk", {chunk("IDAT", stream)}, true},
        {"many small and empty chunks", split(stream, {0, 1, 0, 1, 2, 3, 700, 0, 5, 1}), true},
        {"trailer in a chunk of its own", trailer_alone, true},
        {"an empty chunk after the stream's end", {chunk("IDAT", stream), chunk("IDAT", "")}, true},
        {"the stream's end split byte by byte", split(stream, {end - 6, 1, 1, 1, 1, 1}), true},
        {"extra bytes after the stream's end", {chunk("IDAT", stream + "extra")}, true},
        {"a damaged chunk after the stream's end",
         {chunk("IDAT", stream), chunk("IDAT", "junk", true)},
         true},
        {"more rows than the picture has",
         {chunk("IDAT", zlib_stream(filtered_rows(height + 3)))},
         true},
        {"no trailer", {chunk("IDAT", stream.substr(0, end - 4))}, true},
        {"a damaged chunk in the middle", damaged_middle, false},
        {"a damaged chunk holding only the trailer", damaged_trailer, false},
        {"the stream cut short", {chunk("IDAT", stream.substr(0, end / 2))}, false},
        {"a text chunk between the image data chunks",
         {chunk("IDAT", stream.substr(0, 100)), chunk("tEXt", "a"),
          chunk("IDAT", stream.substr(100))},
         false},
        {"a preset dictionary", {chunk("IDAT", no_dictionary)}, false},
        {"wrong check bits in the stream's header", {chunk("IDAT", bad_check_bits)}, false},
        {"a distance beyond the window", {chunk("IDAT", small_window)}, false},
        {"a chunk longer than PNG allows", {chunk_claiming(0xffffffff) + stream}, false},
        {"a chunk claiming 2 GiB", {chunk_claiming(0x7fffffff) + stream}, false},
        {"no image data", {}, false},
    };
    for (const data_case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::optional<QImage> picture = decode_picture(png_file(c.chunks));
        if (c.loads) {
            expect_the_picture(picture);
        } else {
            EXPECT_FALSE(picture);
        }
    }
}

// Critical chunks before the image data are checked here, libpng being told not to; a damaged
// ancillary chunk is still only dropped by libpng.
TEST(pre_inflated_png, chunks_before_the_image_data_keep_their_checks) {
    const std::string image_data = chunk("IDAT", zlib_stream(filtered_rows(height)));
    expect_the_picture(decode_picture(png_file({chunk("tEXt", "Title", true), image_data})));
    std::string damaged_header = png_file({image_data});
    damaged_header[8 + 8 + 13] ^= 1;  // the header chunk's checksum
    EXPECT_FALSE(decode_picture(damaged_header));
}

void append_to(png_structp png, png_bytep data, size_t length) {
    static_cast<std::string*>(png_get_io_ptr(png))
        ->append(reinterpret_cast<const char*>(data), length);
}

// A grey picture of the given size and depth, every byte of its rows its own value.
std::string grey_png(int w, int h, int depth, bool interlaced) {
    std::string out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(png, &out, append_to, nullptr);
    png_set_IHDR(png, info, w, h, depth, PNG_COLOR_TYPE_GRAY,
                 interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    const int bytes_per_row = (w * depth + 7) / 8;
    std::vector<std::vector<png_byte>> rows(h, std::vector<png_byte>(bytes_per_row));
    std::vector<png_bytep> pointers;
    for (int y = 0; y < h; ++y) {
        for (int i = 0; i < bytes_per_row; ++i) {
            rows[y][i] = static_cast<png_byte>(y * 37 + i * 101 + 150);
        }
        pointers.push_back(rows[y].data());
    }
    png_write_image(png, pointers.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

// The pre-reader inflates exactly the data of every pass: passes that small pictures leave
// empty hold no rows at all.
TEST(pre_inflated_png, interlaced_pictures_of_every_small_size_decode_as_plain_ones) {
    for (const int depth : {1, 16}) {
        for (int h = 1; h <= 9; ++h) {
            for (int w = 1; w <= 9; ++w) {
                SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h) + ", depth " +
                             std::to_string(depth));
                const std::optional<QImage> interlaced =
                    decode_picture(grey_png(w, h, depth, true));
                const std::optional<QImage> plain = decode_picture(grey_png(w, h, depth, false));
                ASSERT_TRUE(interlaced);
                ASSERT_TRUE(plain);
                EXPECT_EQ(*interlaced, *plain);
            }
        }
    }
}

}  // namespace
}  // namespace quill
