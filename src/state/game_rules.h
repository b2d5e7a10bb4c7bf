#pragma once

#include <algorithm>
#include <cstdint>

namespace quill {

// Slots of the label table; slot 0 is never an inscription.
inline constexpr int label_count = 256;

// The zoom in percent that the zoom commands keep to.
inline constexpr int min_zoom = 25;
inline constexpr int max_zoom = 100;

// Map coordinates of items and trails stay within this distance of the origin: far beyond any
// map, yet sums and differences of a few coordinates and box sizes stay inside int32.
inline constexpr int32_t coordinate_limit = 1 << 24;

// Tile and token sizes from a level file are held within 0..max_level_size, beyond any real
// board: larger or negative values would overflow the arithmetic of boxes, convoys and the
// tokens' starting row.
inline constexpr int32_t max_level_size = 1 << 14;

// Level sizes and view offsets may be anything a file held, so map positions are computed in
// 64 bits and kept within the 32 bits of a record.
inline int32_t clamp_to_int32(int64_t value) {
    return static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

inline int32_t limit_coordinate(int64_t value) {
    return static_cast<int32_t>(std::clamp<int64_t>(value, -coordinate_limit, coordinate_limit));
}

inline int32_t limit_level_size(int32_t value) {
    return std::clamp(value, 0, max_level_size);
}

}  // namespace quill
