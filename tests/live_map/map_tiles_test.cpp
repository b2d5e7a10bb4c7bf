#include <algorithm>
#include <climits>
#include <cstdint>

#include <gtest/gtest.h>

#include "live_map/map_tiles.h"
#include "random_map.h"

namespace quill {
namespace {

using testing::random_map;

// The tile by the definition: the plain mean of each block's picture pixels, rounded half up.
QImage naive_tile(const QImage& map, int z, int x, int y) {
    const int64_t block = int64_t{1} << (top_tile_level(map.width(), map.height()) - z);
    QImage tile(tile_size, tile_size, QImage::Format_ARGB32_Premultiplied);
    tile.fill(0);
    for (int ty = 0; ty < tile_size; ++ty) {
        for (int tx = 0; tx < tile_size; ++tx) {
            const int64_t left = (int64_t{x} * tile_size + tx) * block;
            const int64_t top = (int64_t{y} * tile_size + ty) * block;
            uint64_t sums[4] = {};
            uint64_t count = 0;
            for (int64_t py = top; py < std::min(top + block, int64_t{map.height()}); ++py) {
                const auto* line = reinterpret_cast<const QRgb*>(map.constScanLine(int(py)));
                for (int64_t px = left; px < std::min(left + block, int64_t{map.width()}); ++px) {
                    const QRgb pixel = line[px];
                    sums[0] += map.hasAlphaChannel() ? qAlpha(pixel) : 255;
                    sums[1] += qRed(pixel);
                    sums[2] += qGreen(pixel);
                    sums[3] += qBlue(pixel);
                    ++count;
                }
            }
            if (count > 0) {
                const auto mean = [&](int channel) {
                    return int((sums[channel] + count / 2) / count);
                };
                reinterpret_cast<QRgb*>(tile.scanLine(ty))[tx] =
                    qRgba(mean(1), mean(2), mean(3), mean(0));
            }
        }
    }
    return tile;
}

TEST(map_tiles, top_level_is_the_smallest_that_fits_the_map_in_one_tile) {
    struct size_and_top {
        int width, height, top;
    };
    const size_and_top sizes[] = {
        {0, 0, 0},     {1, 1, 0},        {256, 256, 0},         {257, 1, 1},     {1, 257, 1},
        {512, 512, 1}, {513, 2, 2},      {1000, 700, 2},        {1000, 1400, 3}, {16384, 16384, 6},
        {16385, 1, 7}, {1 << 30, 1, 22}, {INT_MAX, INT_MAX, 23}};
    for (const auto& [width, height, top] : sizes) {
        EXPECT_EQ(top_tile_level(width, height), top) << width << " x " << height;
    }
}

// Every tile of every level, edges and the transparent area beyond the picture included; the
// widest picture makes blocks longer than the pieces rows are summed in.
TEST(map_tiles, every_tile_is_the_mean_of_the_picture_pixels_it_covers) {
    struct picture {
        int width, height;
        QImage::Format made, given;
    };
    constexpr auto opaque = QImage::Format_RGB32;
    constexpr auto alpha = QImage::Format_ARGB32_Premultiplied;
    const picture pictures[] = {
        {1000, 700, opaque, opaque}, {300, 1, opaque, opaque},
        {1, 300, alpha, alpha},      {257, 513, alpha, alpha},
        {256, 256, opaque, opaque},  {600, 333, opaque, QImage::Format_RGB888},
        {131073, 2, alpha, alpha}};
    for (const auto& [width, height, made, given] : pictures) {
        const QImage map = random_map(width, height, made, width + height);
        const QImage input = map.convertToFormat(given);
        const int top = top_tile_level(width, height);
        for (int z = 0; z <= top; ++z) {
            for (int y = 0; y < tiles_across(height, top, z); ++y) {
                for (int x = 0; x < tiles_across(width, top, z); ++x) {
                    ASSERT_EQ(render_tile(input, z, x, y), naive_tile(map, z, x, y))
                        << width << " x " << height << " tile " << z << "/" << x << "/" << y;
                }
            }
        }
    }
}

TEST(map_tiles, tiles_outside_the_pyramid_are_null) {
    const QImage map = random_map(1000, 700, QImage::Format_RGB32);
    struct tile {
        int z, x, y;
        bool exists;
    };
    const tile tiles[] = {{0, 0, 0, true},   {1, 1, 1, true},   {2, 3, 2, true},
                          {-1, 0, 0, false}, {3, 0, 0, false},  {2, 4, 0, false},
                          {2, 0, 3, false},  {2, -1, 0, false}, {2, 0, -1, false},
                          {1, 2, 0, false},  {0, 0, 1, false},  {INT_MAX, 0, 0, false}};
    for (const auto& [z, x, y, exists] : tiles) {
        EXPECT_EQ(render_tile(map, z, x, y).isNull(), !exists) << z << "/" << x << "/" << y;
    }
    EXPECT_TRUE(render_tile(QImage(), 0, 0, 0).isNull());
}

}  // namespace
}  // namespace quill
