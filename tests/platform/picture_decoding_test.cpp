#include <QDir>
#include <QFile>
#include <QRgb>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <jpeglib.h>
#include <png.h>
#include <pthread.h>
#include <zlib.h>

#include "platform/picture_decoding.h"
#include "platform/picture_store.h"

namespace quill {
namespace {

using bytes = std::vector<uint8_t>;

struct png_fixture {
    int width = 0;
    int height = 0;
    int colour_type = PNG_COLOR_TYPE_RGB;
    int bit_depth = 8;
    bool interlaced = false;
    std::vector<png_color> palette;
    bytes palette_alpha;
    std::optional<png_color_16> transparent_colour;
    std::vector<bytes> rows;  // as stored in the file: packed, 16-bit samples big-endian
};

png_fixture png_of(int width, int height, int colour_type, int bit_depth = 8) {
    png_fixture fixture;
    fixture.width = width;
    fixture.height = height;
    fixture.colour_type = colour_type;
    fixture.bit_depth = bit_depth;
    return fixture;
}

void append_to(png_structp png, png_bytep data, size_t length) {
    auto* out = static_cast<std::string*>(png_get_io_ptr(png));
    out->append(reinterpret_cast<const char*>(data), length);
}

std::string encode_png(png_fixture fixture) {
    std::string out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return {};
    }
    png_set_write_fn(png, &out, append_to, nullptr);
    png_set_IHDR(png, info, fixture.width, fixture.height, fixture.bit_depth, fixture.colour_type,
                 fixture.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!fixture.palette.empty()) {
        png_set_PLTE(png, info, fixture.palette.data(), static_cast<int>(fixture.palette.size()));
    }
    if (!fixture.palette_alpha.empty()) {
        png_set_tRNS(png, info, fixture.palette_alpha.data(),
                     static_cast<int>(fixture.palette_alpha.size()), nullptr);
    }
    if (fixture.transparent_colour) {
        png_set_tRNS(png, info, nullptr, 0, &*fixture.transparent_colour);
    }
    png_write_info(png, info);
    std::vector<png_bytep> rows;
    for (bytes& row : fixture.rows) {
        rows.push_back(row.data());
    }
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

// Packs samples of less than 8 bits, leftmost sample in the highest bits.
bytes pack(const std::vector<int>& samples, int bit_depth) {
    bytes row((samples.size() * bit_depth + 7) / 8, 0);
    for (size_t i = 0; i < samples.size(); ++i) {
        const size_t bit = i * bit_depth;
        row[bit / 8] |= static_cast<uint8_t>(samples[i] << (8 - bit_depth - bit % 8));
    }
    return row;
}

bytes big_endian_16(const std::vector<int>& samples) {
    bytes row;
    for (int sample : samples) {
        row.push_back(static_cast<uint8_t>(sample >> 8));
        row.push_back(static_cast<uint8_t>(sample & 0xff));
    }
    return row;
}

struct jpeg_fixture {
    int width = 16;
    int height = 16;
    int components = 3;
    J_COLOR_SPACE colour_space = JCS_RGB;
    bytes samples;                                     // interleaved, row after row
    std::vector<std::pair<int, std::string>> markers;  // written before the pixels
};

std::string encode_jpeg(const jpeg_fixture& fixture) {
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(fixture.width);
    info.image_height = static_cast<JDIMENSION>(fixture.height);
    info.input_components = fixture.components;
    info.in_color_space = fixture.colour_space;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 95, TRUE);
    jpeg_start_compress(&info, TRUE);
    for (const auto& [marker, data] : fixture.markers) {
        jpeg_write_marker(&info, marker, reinterpret_cast<const JOCTET*>(data.data()),
                          static_cast<unsigned>(data.size()));
    }
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(fixture.samples.data()) +
                       static_cast<size_t>(info.next_scanline) * fixture.width * fixture.components;
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::string out(reinterpret_cast<const char*>(buffer), size);
    std::free(buffer);
    return out;
}

jpeg_fixture uniform_jpeg(int components, J_COLOR_SPACE colour_space, bytes pixel) {
    jpeg_fixture fixture;
    fixture.components = components;
    fixture.colour_space = colour_space;
    for (int i = 0; i < fixture.width * fixture.height; ++i) {
        fixture.samples.insert(fixture.samples.end(), pixel.begin(), pixel.end());
    }
    return fixture;
}

void expect_near_colour(uint32_t actual, int r, int g, int b, int tolerance) {
    EXPECT_EQ(qAlpha(actual), 255);
    EXPECT_NEAR(qRed(actual), r, tolerance);
    EXPECT_NEAR(qGreen(actual), g, tolerance);
    EXPECT_NEAR(qBlue(actual), b, tolerance);
}

class picture_decoding_test : public ::testing::Test {
protected:
    std::string put(const std::string& name, const std::string& content) {
        const std::string path = dir_.filePath(QString::fromStdString(name)).toStdString();
        QFile file(QString::fromStdString(path));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content.data(), static_cast<qint64>(content.size()));
        return path;
    }

    picture_handle load_png(const png_fixture& fixture) {
        const std::string encoded = encode_png(fixture);
        EXPECT_FALSE(encoded.empty());
        return store_.load(put("fixture.png", encoded));
    }

    picture_handle load_jpeg(const jpeg_fixture& fixture) {
        return store_.load(put("fixture.jpg", encode_jpeg(fixture)));
    }

    QTemporaryDir dir_;
    picture_store store_;
};

TEST_F(picture_decoding_test, grey_png_of_every_depth_spreads_over_the_full_range) {
    struct depth_case {
        int bit_depth;
        std::vector<int> samples;
        std::vector<int> expected;
    };
    const std::vector<depth_case> cases = {
        {1, {0, 1, 1, 0, 1}, {0, 255, 255, 0, 255}},
        {2, {0, 1, 2, 3, 2}, {0, 85, 170, 255, 170}},
        {4, {0, 1, 8, 15, 7}, {0, 17, 136, 255, 119}},
        {8, {0, 1, 127, 255, 200}, {0, 1, 127, 255, 200}},
        {16, {0, 0x0101, 0x8080, 0xffff, 0xc8c8}, {0, 1, 128, 255, 200}},
    };
    for (const depth_case& c : cases) {
        SCOPED_TRACE(c.bit_depth);
        png_fixture fixture = png_of(5, 1, PNG_COLOR_TYPE_GRAY, c.bit_depth);
        fixture.rows.push_back(c.bit_depth == 16  ? big_endian_16(c.samples)
                               : c.bit_depth == 8 ? bytes(c.samples.begin(), c.samples.end())
                                                  : pack(c.samples, c.bit_depth));
        const picture_handle picture = load_png(fixture);
        ASSERT_NE(picture, 0);
        EXPECT_EQ(store_.width(picture), 5);
        EXPECT_EQ(store_.height(picture), 1);
        for (int x = 0; x < 5; ++x) {
            const int v = c.expected[static_cast<size_t>(x)];
            EXPECT_EQ(store_.pixel(picture, x, 0), qRgb(v, v, v)) << "x " << x;
        }
    }
}

TEST_F(picture_decoding_test, palette_png_takes_colours_and_transparency_from_its_tables) {
    for (int bit_depth : {4, 8}) {
        SCOPED_TRACE(bit_depth);
        png_fixture fixture = png_of(4, 2, PNG_COLOR_TYPE_PALETTE, bit_depth);
        fixture.palette = {{10, 20, 30}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
        fixture.palette_alpha = {0, 255, 128};  // index 3 is not listed and stays opaque
        const std::vector<int> top = {0, 1, 2, 3};
        const std::vector<int> bottom = {3, 2, 1, 0};
        for (const auto& samples : {top, bottom}) {
            fixture.rows.push_back(bit_depth == 8 ? bytes(samples.begin(), samples.end())
                                                  : pack(samples, bit_depth));
        }
        const picture_handle picture = load_png(fixture);
        ASSERT_NE(picture, 0);
        EXPECT_EQ(qAlpha(store_.pixel(picture, 0, 0)), 0);
        EXPECT_EQ(store_.pixel(picture, 1, 0), qRgba(255, 0, 0, 255));
        const uint32_t half = store_.pixel(picture, 2, 0);
        EXPECT_EQ(qAlpha(half), 128);
        EXPECT_NEAR(qGreen(half), 255, 1);
        EXPECT_EQ(store_.pixel(picture, 3, 0), qRgba(0, 0, 255, 255));
        EXPECT_EQ(store_.pixel(picture, 0, 1), qRgba(0, 0, 255, 255));
        EXPECT_EQ(qAlpha(store_.pixel(picture, 3, 1)), 0);
    }
}

TEST_F(picture_decoding_test, png_with_alpha_channel_or_colour_key_keeps_its_transparency) {
    png_fixture grey_alpha = png_of(2, 1, PNG_COLOR_TYPE_GRAY_ALPHA);
    grey_alpha.rows = {{90, 255, 200, 0}};
    picture_handle picture = load_png(grey_alpha);
    ASSERT_NE(picture, 0);
    EXPECT_EQ(store_.pixel(picture, 0, 0), qRgba(90, 90, 90, 255));
    EXPECT_EQ(qAlpha(store_.pixel(picture, 1, 0)), 0);

    png_fixture rgba = png_of(2, 1, PNG_COLOR_TYPE_RGB_ALPHA);
    rgba.rows = {{10, 20, 30, 255, 250, 128, 0, 128}};
    picture = load_png(rgba);
    ASSERT_NE(picture, 0);
    EXPECT_EQ(store_.pixel(picture, 0, 0), qRgba(10, 20, 30, 255));
    const uint32_t half = store_.pixel(picture, 1, 0);
    EXPECT_EQ(qAlpha(half), 128);
    EXPECT_NEAR(qRed(half), 250, 1);
    EXPECT_NEAR(qGreen(half), 128, 1);

    png_fixture keyed = png_of(3, 1, PNG_COLOR_TYPE_RGB);
    keyed.transparent_colour = png_color_16{0, 255, 0, 255, 0};
    keyed.rows = {{255, 0, 255, 1, 2, 3, 255, 0, 254}};
    picture = load_png(keyed);
    ASSERT_NE(picture, 0);
    EXPECT_EQ(qAlpha(store_.pixel(picture, 0, 0)), 0);
    EXPECT_EQ(store_.pixel(picture, 1, 0), qRgba(1, 2, 3, 255));
    EXPECT_EQ(store_.pixel(picture, 2, 0), qRgba(255, 0, 254, 255));

    png_fixture grey_keyed = png_of(2, 1, PNG_COLOR_TYPE_GRAY);
    grey_keyed.transparent_colour = png_color_16{0, 0, 0, 0, 40};
    grey_keyed.rows = {{40, 41}};
    picture = load_png(grey_keyed);
    ASSERT_NE(picture, 0);
    EXPECT_EQ(qAlpha(store_.pixel(picture, 0, 0)), 0);
    EXPECT_EQ(store_.pixel(picture, 1, 0), qRgba(41, 41, 41, 255));
}

TEST_F(picture_decoding_test, sixteen_bit_colour_png_is_reduced_to_eight_bits) {
    png_fixture fixture = png_of(2, 1, PNG_COLOR_TYPE_RGB, 16);
    fixture.rows = {big_endian_16({0xffff, 0x0000, 0x8080, 0x0a0a, 0x1414, 0x1e1e})};
    const picture_handle picture = load_png(fixture);
    ASSERT_NE(picture, 0);
    EXPECT_EQ(store_.pixel(picture, 0, 0), qRgba(255, 0, 128, 255));
    EXPECT_EQ(store_.pixel(picture, 1, 0), qRgba(10, 20, 30, 255));
}

TEST_F(picture_decoding_test, interlaced_png_places_every_pixel_of_every_pass) {
    png_fixture fixture = png_of(13, 11, PNG_COLOR_TYPE_RGB);
    fixture.interlaced = true;
    for (int y = 0; y < fixture.height; ++y) {
        bytes row;
        for (int x = 0; x < fixture.width; ++x) {
            row.insert(row.end(), {static_cast<uint8_t>(x * 10), static_cast<uint8_t>(y * 20),
                                   static_cast<uint8_t>(x + y)});
        }
        fixture.rows.push_back(row);
    }
    const picture_handle picture = load_png(fixture);
    ASSERT_NE(picture, 0);
    for (int y = 0; y < fixture.height; ++y) {
        for (int x = 0; x < fixture.width; ++x) {
            ASSERT_EQ(store_.pixel(picture, x, y), qRgba(x * 10, y * 20, x + y, 255))
                << x << "," << y;
        }
    }
}

TEST_F(picture_decoding_test, jpeg_in_grey_colour_and_cmyk_decodes_to_its_colours) {
    picture_handle picture = load_jpeg(uniform_jpeg(1, JCS_GRAYSCALE, {100}));
    ASSERT_NE(picture, 0);
    EXPECT_EQ(store_.width(picture), 16);
    expect_near_colour(store_.pixel(picture, 7, 7), 100, 100, 100, 2);

    picture = load_jpeg(uniform_jpeg(3, JCS_RGB, {200, 50, 30}));
    ASSERT_NE(picture, 0);
    expect_near_colour(store_.pixel(picture, 3, 12), 200, 50, 30, 4);

    // The encoder marks CMYK as Adobe's, whose samples are stored inverted.
    picture = load_jpeg(uniform_jpeg(4, JCS_CMYK, {200, 50, 30, 255}));
    ASSERT_NE(picture, 0);
    expect_near_colour(store_.pixel(picture, 8, 8), 200, 50, 30, 4);
}

TEST_F(picture_decoding_test, the_content_decides_never_the_file_name) {
    png_fixture fixture = png_of(1, 1, PNG_COLOR_TYPE_RGB);
    fixture.rows = {{1, 2, 3}};
    const picture_handle png = store_.load(put("really_png.jpg", encode_png(fixture)));
    ASSERT_NE(png, 0);
    EXPECT_EQ(store_.pixel(png, 0, 0), qRgba(1, 2, 3, 255));

    const std::string jpeg = encode_jpeg(uniform_jpeg(1, JCS_GRAYSCALE, {50}));
    EXPECT_NE(store_.load(put("really_jpeg.png", jpeg)), 0);
    EXPECT_NE(store_.load(put("no_extension", jpeg)), 0);

    EXPECT_EQ(store_.load(put("text.png", "This is not a picture at all.\n")), 0);
}

TEST_F(picture_decoding_test, broken_or_missing_files_give_no_picture) {
    png_fixture fixture = png_of(64, 64, PNG_COLOR_TYPE_RGB);
    for (int y = 0; y < fixture.height; ++y) {
        bytes row;
        for (int x = 0; x < fixture.width * 3; ++x) {
            row.push_back(static_cast<uint8_t>((x * 37 + y * 11) % 251));
        }
        fixture.rows.push_back(row);
    }
    const std::string png = encode_png(fixture);
    jpeg_fixture photo;
    photo.width = 64;
    photo.height = 64;
    for (int i = 0; i < 64 * 64 * 3; ++i) {
        photo.samples.push_back(static_cast<uint8_t>((i * 31) % 256));
    }
    const std::string jpeg = encode_jpeg(photo);
    ASSERT_NE(store_.load(put("whole.png", png)), 0);
    ASSERT_NE(store_.load(put("whole.jpg", jpeg)), 0);

    EXPECT_EQ(store_.load(put("cut.png", png.substr(0, png.size() / 2))), 0);
    EXPECT_EQ(store_.load(put("header_only.png", png.substr(0, 20))), 0);
    EXPECT_EQ(store_.load(put("cut.jpg", jpeg.substr(0, jpeg.size() / 2))), 0);
    EXPECT_EQ(store_.load(put("header_only.jpg", jpeg.substr(0, 30))), 0);
    std::string damaged = png;
    damaged[damaged.size() / 2] ^= 0x55;  // the chunk's checksum no longer fits
    EXPECT_EQ(store_.load(put("damaged.png", damaged)), 0);
    EXPECT_EQ(store_.load(put("empty.png", "")), 0);
    EXPECT_EQ(store_.load(dir_.filePath("missing.png").toStdString()), 0);
    EXPECT_EQ(store_.load(dir_.path().toStdString()), 0);
}

std::string png_header(uint32_t width, uint32_t height) {
    std::string ihdr = "IHDR";
    for (uint32_t value : {width, height}) {
        for (int shift = 24; shift >= 0; shift -= 8) {
            ihdr.push_back(static_cast<char>((value >> shift) & 0xff));
        }
    }
    ihdr += std::string{8, 2, 0, 0, 0};  // 8-bit RGB, not interlaced
    const uLong crc =
        crc32(0, reinterpret_cast<const Bytef*>(ihdr.data()), static_cast<uInt>(ihdr.size()));
    std::string out = "\x89PNG\r\n\x1a\n";
    out += std::string{0, 0, 0, 13} + ihdr;
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<char>((crc >> shift) & 0xff));
    }
    return out;
}

TEST_F(picture_decoding_test, headers_claiming_huge_pictures_are_refused_before_allocating) {
    EXPECT_EQ(store_.load(put("wide.png", png_header(100000, 100000))), 0);

    std::string jpeg = encode_jpeg(uniform_jpeg(3, JCS_RGB, {1, 2, 3}));
    const size_t frame = jpeg.find("\xff\xc0");
    ASSERT_NE(frame, std::string::npos);
    for (size_t at : {frame + 5, frame + 7}) {  // height, then width, big-endian
        jpeg[at] = '\xea';
        jpeg[at + 1] = '\x60';
    }
    EXPECT_EQ(store_.load(put("huge.jpg", jpeg)), 0);
}

// Samples that differ from pixel to pixel, so that a row or pixel out of place shows.
uint8_t sample_at(int x, int y, int channel) {
    return static_cast<uint8_t>((x * 7 + y * 13 + channel * 71 + (x * y) % 17) & 0xff);
}

png_fixture noisy_png(int width, int height, int colour_type) {
    png_fixture fixture = png_of(width, height, colour_type);
    const int channels = colour_type == PNG_COLOR_TYPE_RGB_ALPHA    ? 4
                         : colour_type == PNG_COLOR_TYPE_RGB        ? 3
                         : colour_type == PNG_COLOR_TYPE_GRAY_ALPHA ? 2
                                                                    : 1;
    for (int y = 0; y < height; ++y) {
        bytes row;
        for (int x = 0; x < width; ++x) {
            for (int c = 0; c < channels; ++c) {
                row.push_back(sample_at(x, y, c));
            }
        }
        fixture.rows.push_back(row);
    }
    return fixture;
}

uint32_t expected_pixel(int colour_type, int x, int y) {
    const int a = sample_at(x, y, colour_type == PNG_COLOR_TYPE_GRAY_ALPHA ? 1 : 3);
    switch (colour_type) {
        case PNG_COLOR_TYPE_RGB:
            return qRgb(sample_at(x, y, 0), sample_at(x, y, 1), sample_at(x, y, 2));
        case PNG_COLOR_TYPE_RGB_ALPHA:
            return qUnpremultiply(
                qPremultiply(qRgba(sample_at(x, y, 0), sample_at(x, y, 1), sample_at(x, y, 2), a)));
        case PNG_COLOR_TYPE_GRAY_ALPHA: {
            const int v = sample_at(x, y, 0);
            return qUnpremultiply(qPremultiply(qRgba(v, v, v, a)));
        }
        default: {
            const int v = sample_at(x, y, 0);
            return qRgb(v, v, v);
        }
    }
}

// Pictures of several pieces of file, some large enough that their rows are finished on a
// second thread: every pixel lands in its place whether read from memory or file, and a file
// cut anywhere, even deep into it, gives no picture.
TEST_F(picture_decoding_test, large_pictures_decode_alike_from_memory_and_file_and_cut_ones_fail) {
    struct size_case {
        int width;
        int height;
        int colour_type;
    };
    const std::vector<size_case> cases = {
        {300, 250, PNG_COLOR_TYPE_RGB},         {1100, 1000, PNG_COLOR_TYPE_RGB},
        {1100, 1000, PNG_COLOR_TYPE_RGB_ALPHA}, {1030, 1030, PNG_COLOR_TYPE_GRAY_ALPHA},
        {1030, 1030, PNG_COLOR_TYPE_GRAY},      {260, 300, PNG_COLOR_TYPE_RGB_ALPHA},
    };
    for (const size_case& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height) + " type " +
                     std::to_string(c.colour_type));
        const std::string png = encode_png(noisy_png(c.width, c.height, c.colour_type));
        const picture_handle from_file = store_.load(put("large.png", png));
        ASSERT_NE(from_file, 0);
        const std::optional<QImage> from_memory = decode_picture(png);
        ASSERT_TRUE(from_memory);
        EXPECT_EQ(*store_.image(from_file), *from_memory);
        for (int y = 0; y < c.height; y += 7) {
            for (int x = y % 5; x < c.width; x += 11) {
                ASSERT_EQ(store_.pixel(from_file, x, y), expected_pixel(c.colour_type, x, y))
                    << x << "," << y;
            }
        }
        for (const size_t cut : {size_t{70000}, png.size() / 2, png.size() - 20}) {
            if (cut < png.size()) {
                EXPECT_EQ(store_.load(put("cut.png", png.substr(0, cut))), 0) << cut;
                EXPECT_FALSE(decode_picture(std::string_view(png).substr(0, cut))) << cut;
            }
        }
    }

    jpeg_fixture photo;
    photo.width = 1500;
    photo.height = 1000;
    for (int y = 0; y < photo.height; ++y) {
        for (int x = 0; x < photo.width; ++x) {
            photo.samples.insert(photo.samples.end(),
                                 {static_cast<uint8_t>(x / 6), static_cast<uint8_t>(y / 4), 90});
        }
    }
    jpeg_fixture cmyk = uniform_jpeg(4, JCS_CMYK, {200, 50, 30, 255});
    cmyk.width = 1200;
    cmyk.height = 1000;
    cmyk.samples.clear();
    for (int i = 0; i < cmyk.width * cmyk.height; ++i) {
        cmyk.samples.insert(cmyk.samples.end(), {200, 50, 30, 255});
    }
    for (const jpeg_fixture* fixture : {&photo, &cmyk}) {
        const std::string jpeg = encode_jpeg(*fixture);
        const picture_handle from_file = store_.load(put("large.jpg", jpeg));
        ASSERT_NE(from_file, 0);
        const std::optional<QImage> from_memory = decode_picture(jpeg);
        ASSERT_TRUE(from_memory);
        EXPECT_EQ(*store_.image(from_file), *from_memory);
        EXPECT_EQ(store_.load(put("cut.jpg", jpeg.substr(0, jpeg.size() * 3 / 4))), 0);
    }
    expect_near_colour(store_.pixel(store_.load(put("photo.jpg", encode_jpeg(photo))), 600, 400),
                       100, 100, 90, 4);
    expect_near_colour(store_.pixel(store_.load(put("cmyk.jpg", encode_jpeg(cmyk))), 1100, 900),
                       200, 50, 30, 4);
}

// Cameras and editors put comments, EXIF data and colour profiles before the pixels. Segments
// that fill and span the reader's pieces of file are passed over, from file as from memory.
TEST_F(picture_decoding_test, jpeg_metadata_segments_across_pieces_of_file_are_passed_over) {
    jpeg_fixture plain;
    plain.width = 64;
    plain.height = 48;
    for (int i = 0; i < plain.width * plain.height; ++i) {
        plain.samples.insert(plain.samples.end(), {static_cast<uint8_t>(i * 5), 90, 200});
    }
    const std::optional<QImage> expected = decode_picture(encode_jpeg(plain));
    ASSERT_TRUE(expected);
    // Marker bytes inside the data would be taken for segments if the skip fell short.
    std::string filler;
    for (int i = 0; i < 65533; ++i) {
        filler.push_back(i % 3 == 0 ? '\xff' : static_cast<char>(0xc0 + i % 16));
    }
    const std::pair<const char*, std::vector<std::pair<int, std::string>>> cases[] = {
        {"comment", {{JPEG_COM, filler}}},
        {"EXIF", {{JPEG_APP0 + 1, "Exif" + std::string(2, '\0') + filler.substr(6)}}},
        {"colour profile in three segments",
         {{JPEG_APP0 + 2, "ICC_PROFILE" + filler.substr(11)},
          {JPEG_APP0 + 2, filler.substr(1000)},
          {JPEG_APP0 + 2, filler}}},
        {"all of them", {{JPEG_COM, filler}, {JPEG_APP0 + 1, filler}, {JPEG_APP0 + 2, filler}}},
    };
    for (const auto& [name, markers] : cases) {
        SCOPED_TRACE(name);
        jpeg_fixture tagged = plain;
        tagged.markers = markers;
        const std::string jpeg = encode_jpeg(tagged);
        ASSERT_GT(jpeg.size(), size_t{65536});
        const picture_handle from_file = store_.load(put("tagged.jpg", jpeg));
        ASSERT_NE(from_file, 0);
        EXPECT_EQ(*store_.image(from_file), *expected);
        const std::optional<QImage> from_memory = decode_picture(jpeg);
        ASSERT_TRUE(from_memory);
        EXPECT_EQ(*from_memory, *expected);
    }
}

// Files over 1 GiB are refused before any byte is read; up to it they load. The files are
// sparse: a small picture followed by a hole that its decoder never reaches.
TEST_F(picture_decoding_test, picture_files_over_one_gibibyte_are_refused) {
    png_fixture fixture = png_of(2, 1, PNG_COLOR_TYPE_RGB);
    fixture.rows = {{1, 2, 3, 4, 5, 6}};
    const std::string png = encode_png(fixture);
    const std::string jpeg = encode_jpeg(uniform_jpeg(1, JCS_GRAYSCALE, {50}));
    for (const std::string* encoded : {&png, &jpeg}) {
        for (const int64_t size : {max_picture_file_bytes, max_picture_file_bytes + 1}) {
            SCOPED_TRACE(size);
            const std::string path = put("sparse", *encoded);
            ASSERT_TRUE(QFile::resize(QString::fromStdString(path), size));
            EXPECT_EQ(store_.load(path) != 0, size <= max_picture_file_bytes);
        }
    }
}

// While it lives, no new thread of this process can start: its stack would not fit into the
// address space.
class no_new_threads {
public:
    no_new_threads() {
        pthread_getattr_default_np(&previous_);
        pthread_attr_t huge;
        pthread_attr_init(&huge);
        pthread_attr_setstacksize(&huge, size_t{1} << 60);
        pthread_setattr_default_np(&huge);
        pthread_attr_destroy(&huge);
    }
    ~no_new_threads() {
        pthread_setattr_default_np(&previous_);
        pthread_attr_destroy(&previous_);
    }
    no_new_threads(const no_new_threads&) = delete;
    no_new_threads& operator=(const no_new_threads&) = delete;

private:
    pthread_attr_t previous_{};
};

// A large picture's rows are finished on the loading thread when no second thread can start.
TEST_F(picture_decoding_test, large_pictures_decode_alike_without_a_second_thread) {
    const std::string png = encode_png(noisy_png(1100, 1000, PNG_COLOR_TYPE_RGB_ALPHA));
    jpeg_fixture cmyk = uniform_jpeg(4, JCS_CMYK, {});
    cmyk.width = 1200;
    cmyk.height = 1000;
    for (int i = 0; i < cmyk.width * cmyk.height; ++i) {
        cmyk.samples.insert(cmyk.samples.end(), {static_cast<uint8_t>(i), 50, 30, 255});
    }
    const std::string jpeg = encode_jpeg(cmyk);
    for (const std::string* encoded : {&png, &jpeg}) {
        const std::optional<QImage> threaded = decode_picture(*encoded);
        ASSERT_TRUE(threaded);
        std::optional<QImage> alone;
        {
            const no_new_threads refused;
            EXPECT_THROW(std::thread([] {}).join(), std::system_error);
            alone = decode_picture(*encoded);
        }
        ASSERT_TRUE(alone);
        EXPECT_EQ(*alone, *threaded);
    }
}

}  // namespace
}  // namespace quill
