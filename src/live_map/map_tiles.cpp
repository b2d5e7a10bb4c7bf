#include "live_map/map_tiles.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

namespace quill {

namespace {

struct channel_sums {
    uint64_t blue = 0;
    uint64_t green = 0;
    uint64_t red = 0;
    uint64_t alpha = 0;
};

// Two channels of each of two pixels in 16-bit lanes of one 64-bit word: a lane holds the sum of
// 256 channel values before it can overflow, so a run is summed in pieces of 512 pixels.
constexpr uint64_t lane_mask = 0x00ff00ff00ff00ffu;
constexpr int64_t piece = 512;

uint64_t lane_total(uint64_t lanes, int first) {
    return ((lanes >> (16 * first)) & 0xffffu) + ((lanes >> (16 * (first + 2))) & 0xffffu);
}

// Adds n consecutive pixels into one tile pixel's sums.
void add_run(const QRgb* pixels, int64_t n, channel_sums& sums) {
    while (n > 0) {
        const int64_t count = std::min(n, piece);
        uint64_t blue_red = 0;
        uint64_t green_alpha = 0;
        int64_t i = 0;
        for (; i + 2 <= count; i += 2) {
            uint64_t pair;
            std::memcpy(&pair, pixels + i, sizeof pair);
            blue_red += pair & lane_mask;
            green_alpha += (pair >> 8) & lane_mask;
        }
        if (i < count) {
            blue_red += pixels[i] & lane_mask;
            green_alpha += (pixels[i] >> 8) & lane_mask;
        }
        sums.blue += lane_total(blue_red, 0);
        sums.red += lane_total(blue_red, 1);
        sums.green += lane_total(green_alpha, 0);
        sums.alpha += lane_total(green_alpha, 1);
        pixels += count;
        n -= count;
    }
}

// The mean rounded half up. A full block's pixel count is 2^count_shift, which spares the
// division; count_shift is -1 for a block cut at the picture's edge.
uint32_t mean(uint64_t sum, uint64_t count, int count_shift) {
    if (count_shift >= 0) {
        return static_cast<uint32_t>((sum + count / 2) >> count_shift);
    }
    return static_cast<uint32_t>((sum + count / 2) / count);
}

QImage render_readable(const QImage& map, int z, int x, int y, int top) {
    const int shift = top - z;
    const int64_t block = int64_t{1} << shift;
    const int64_t left = (int64_t{x} * tile_size) << shift;
    const int64_t first_row = (int64_t{y} * tile_size) << shift;
    const int64_t width = map.width();
    const int64_t height = map.height();
    const int columns =
        static_cast<int>(std::min<int64_t>(tile_size, (width - left + block - 1) >> shift));
    const int rows =
        static_cast<int>(std::min<int64_t>(tile_size, (height - first_row + block - 1) >> shift));
    const bool opaque = map.format() == QImage::Format_RGB32;

    QImage tile(tile_size, tile_size, QImage::Format_ARGB32_Premultiplied);
    if (tile.isNull()) {
        return {};
    }
    tile.fill(0);
    std::array<channel_sums, tile_size> sums;
    for (int ty = 0; ty < rows; ++ty) {
        sums.fill({});
        const int64_t top_of_block = first_row + ty * block;
        const int64_t block_rows = std::min(block, height - top_of_block);
        for (int64_t row = top_of_block; row < top_of_block + block_rows; ++row) {
            const auto* line =
                reinterpret_cast<const QRgb*>(map.constScanLine(static_cast<int>(row))) + left;
            for (int tx = 0; tx < columns; ++tx) {
                const int64_t start = tx * block;
                add_run(line + start, std::min(block, width - left - start), sums[tx]);
            }
        }
        auto* out = reinterpret_cast<QRgb*>(tile.scanLine(ty));
        for (int tx = 0; tx < columns; ++tx) {
            const int64_t block_columns = std::min(block, width - left - tx * block);
            const uint64_t count = static_cast<uint64_t>(block_rows * block_columns);
            const int count_shift = block_rows == block && block_columns == block ? 2 * shift : -1;
            const channel_sums& s = sums[tx];
            const uint32_t alpha = opaque ? 255u : mean(s.alpha, count, count_shift);
            out[tx] = alpha << 24 | mean(s.red, count, count_shift) << 16 |
                      mean(s.green, count, count_shift) << 8 | mean(s.blue, count, count_shift);
        }
    }
    return tile;
}

}  // namespace

int top_tile_level(int map_width, int map_height) {
    const int64_t extent = std::max({map_width, map_height, 0});
    int top = 0;
    while ((int64_t{tile_size} << top) < extent) {
        ++top;
    }
    return top;
}

int tiles_across(int extent, int top, int z) {
    if (extent <= 0 || z < 0 || z > top) {
        return 0;
    }
    const int64_t span = int64_t{tile_size} << (top - z);
    return static_cast<int>((extent + span - 1) / span);
}

QImage readable_map(const QImage& map) {
    if (map.format() == QImage::Format_RGB32 ||
        map.format() == QImage::Format_ARGB32_Premultiplied) {
        return map;
    }
    return map.convertToFormat(map.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                     : QImage::Format_RGB32);
}

QImage render_tile(const QImage& map, int z, int x, int y) {
    const int top = top_tile_level(map.width(), map.height());
    if (map.isNull() || x < 0 || y < 0 || x >= tiles_across(map.width(), top, z) ||
        y >= tiles_across(map.height(), top, z)) {
        return {};
    }
    const QImage readable = readable_map(map);
    if (readable.isNull()) {
        return {};
    }
    return render_readable(readable, z, x, y, top);
}

}  // namespace quill
