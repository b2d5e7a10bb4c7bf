#include "seed_pictures.h"

#include <png.h>
#include <cstdio>
// jpeglib.h needs FILE and size_t declared first.
#include <jpeglib.h>

#include <QDir>

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace quill {

namespace {

constexpr int width = 13;
constexpr int height = 7;

FILE* create(const std::string& path) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        std::exit(1);
    }
    return file;
}

// A sample of a gradient, at the given bit depth.
int sample(int x, int y, int channel, int depth) {
    const int maximum = (1 << depth) - 1;
    return (x * 37 + y * 53 + channel * 91) % (maximum + 1);
}

// idat_bytes, when not 0, splits the image data into chunks of that size.
void write_png(const std::string& path, int colour_type, int depth, bool interlaced,
               size_t idat_bytes = 0) {
    FILE* file = create(path);
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_init_io(png, file);
    if (idat_bytes != 0) {
        png_set_compression_buffer_size(png, idat_bytes);
    }
    png_set_IHDR(png, info, width, height, depth, colour_type,
                 interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    int channels = 1;
    switch (colour_type) {
        case PNG_COLOR_TYPE_PALETTE: {
            std::vector<png_color> palette(static_cast<std::size_t>(1 << depth));
            std::vector<png_byte> alpha(palette.size());
            for (std::size_t i = 0; i < palette.size(); ++i) {
                palette[i] = {static_cast<png_byte>(i * 50), static_cast<png_byte>(200 - i * 20),
                              static_cast<png_byte>(i * 13)};
                alpha[i] = static_cast<png_byte>(255 - i * 60);
            }
            png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
            png_set_tRNS(png, info, alpha.data(), static_cast<int>(alpha.size()), nullptr);
            break;
        }
        case PNG_COLOR_TYPE_GRAY_ALPHA:
            channels = 2;
            break;
        case PNG_COLOR_TYPE_RGB:
            channels = 3;
            break;
        case PNG_COLOR_TYPE_RGB_ALPHA:
            channels = 4;
            break;
        default:
            break;
    }
    png_write_info(png, info);
    const int bits_per_row = width * channels * depth;
    std::vector<png_byte> row(static_cast<std::size_t>((bits_per_row + 7) / 8));
    const int passes = png_set_interlace_handling(png);
    for (int pass = 0; pass < passes; ++pass) {
        for (int y = 0; y < height; ++y) {
            std::fill(row.begin(), row.end(), 0);
            for (int x = 0; x < width; ++x) {
                for (int c = 0; c < channels; ++c) {
                    const int value = sample(x, y, c, depth);
                    const int bit = (x * channels + c) * depth;
                    if (depth == 16) {
                        row[static_cast<std::size_t>(bit / 8)] = static_cast<png_byte>(value >> 8);
                        row[static_cast<std::size_t>(bit / 8 + 1)] = static_cast<png_byte>(value);
                    } else {
                        row[static_cast<std::size_t>(bit / 8)] |=
                            static_cast<png_byte>(value << (8 - depth - bit % 8));
                    }
                }
            }
            png_write_row(png, row.data());
        }
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    std::fclose(file);
}

void write_jpeg(const std::string& path, J_COLOR_SPACE space, int components, bool progressive) {
    FILE* file = create(path);
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, file);
    info.image_width = width;
    info.image_height = height;
    info.input_components = components;
    info.in_color_space = space;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 85, TRUE);
    if (progressive) {
        jpeg_simple_progression(&info);
    }
    // An Adobe marker tells readers how the CMYK values are meant.
    info.write_Adobe_marker = space == JCS_CMYK;
    jpeg_start_compress(&info, TRUE);
    std::vector<JSAMPLE> row(static_cast<std::size_t>(width * components));
    while (info.next_scanline < info.image_height) {
        const int y = static_cast<int>(info.next_scanline);
        for (int x = 0; x < width; ++x) {
            for (int c = 0; c < components; ++c) {
                row[static_cast<std::size_t>(x * components + c)] =
                    static_cast<JSAMPLE>(sample(x, y, c, 8));
            }
        }
        JSAMPROW rows[] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::fclose(file);
}

}  // namespace

void write_picture_seeds(const std::string& folder) {
    QDir().mkpath(QString::fromStdString(folder));
    struct png_kind {
        const char* name;
        int colour_type;
        int depth;
    };
    const png_kind kinds[] = {{"grey1", PNG_COLOR_TYPE_GRAY, 1},
                              {"grey16", PNG_COLOR_TYPE_GRAY, 16},
                              {"grey_alpha8", PNG_COLOR_TYPE_GRAY_ALPHA, 8},
                              {"palette4", PNG_COLOR_TYPE_PALETTE, 4},
                              {"rgb8", PNG_COLOR_TYPE_RGB, 8},
                              {"rgba16", PNG_COLOR_TYPE_RGB_ALPHA, 16}};
    for (const png_kind& kind : kinds) {
        write_png(folder + kind.name + ".png", kind.colour_type, kind.depth, false);
    }
    write_png(folder + "rgba8_interlaced.png", PNG_COLOR_TYPE_RGB_ALPHA, 8, true);
    write_png(folder + "rgb8_split.png", PNG_COLOR_TYPE_RGB, 8, false, 16);
    write_jpeg(folder + "colour.jpg", JCS_RGB, 3, false);
    write_jpeg(folder + "grey.jpg", JCS_GRAYSCALE, 1, false);
    write_jpeg(folder + "progressive.jpg", JCS_RGB, 3, true);
    write_jpeg(folder + "cmyk.jpg", JCS_CMYK, 4, false);
}

}  // namespace quill
