#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace quill {

inline constexpr int max_carried = 6;

// A token, tombstone or transport on the map. Its 42-byte little-endian image is the record
// of the party setup file, so the reserved bytes are kept exactly as they were read.
struct map_item {
    static constexpr std::size_t byte_size = 42;

    int32_t catalogue_index = 0;
    std::array<uint8_t, 6> reserved_front{};
    // Token: 1-based positions in `transports` of the carried transports, contiguous from the
    // first slot. Transport: slot 0 is the 1-based position of its carrier in `tokens`.
    std::array<uint8_t, max_carried> links{};
    std::array<uint8_t, 14> reserved_back{};
    int32_t x = 0;
    int32_t y = 0;
    int32_t label = 0;

    std::array<uint8_t, byte_size> to_bytes() const;
    static map_item from_bytes(std::span<const uint8_t, byte_size> bytes);

    friend bool operator==(const map_item&, const map_item&) = default;
};

struct map_point {
    int32_t x = 0;
    int32_t y = 0;
    friend bool operator==(const map_point&, const map_point&) = default;
};

// The recent path of a token's centre, point 0 the newest; 240 bytes in party setup files.
struct token_trail {
    static constexpr int point_count = 30;
    static constexpr std::size_t byte_size = point_count * 8;

    std::array<map_point, point_count> points{};

    std::array<uint8_t, byte_size> to_bytes() const;
    static token_trail from_bytes(std::span<const uint8_t, byte_size> bytes);

    friend bool operator==(const token_trail&, const token_trail&) = default;
};

}  // namespace quill
