#include "state/map_item.h"

#include <algorithm>

namespace quill {

namespace {

void put_i32(uint8_t* out, int32_t value) {
    const auto bits = static_cast<uint32_t>(value);
    for (int i = 0; i < 4; ++i) {
        out[i] = static_cast<uint8_t>(bits >> (8 * i));
    }
}

int32_t get_i32(const uint8_t* in) {
    uint32_t bits = 0;
    for (int i = 0; i < 4; ++i) {
        bits |= static_cast<uint32_t>(in[i]) << (8 * i);
    }
    return static_cast<int32_t>(bits);
}

}  // namespace

std::array<uint8_t, map_item::byte_size> map_item::to_bytes() const {
    std::array<uint8_t, byte_size> out{};
    put_i32(&out[0], catalogue_index);
    std::ranges::copy(reserved_front, out.begin() + 4);
    std::ranges::copy(links, out.begin() + 10);
    std::ranges::copy(reserved_back, out.begin() + 16);
    put_i32(&out[30], x);
    put_i32(&out[34], y);
    put_i32(&out[38], label);
    return out;
}

map_item map_item::from_bytes(std::span<const uint8_t, byte_size> bytes) {
    map_item item;
    item.catalogue_index = get_i32(&bytes[0]);
    std::copy_n(bytes.begin() + 4, item.reserved_front.size(), item.reserved_front.begin());
    std::copy_n(bytes.begin() + 10, item.links.size(), item.links.begin());
    std::copy_n(bytes.begin() + 16, item.reserved_back.size(), item.reserved_back.begin());
    item.x = get_i32(&bytes[30]);
    item.y = get_i32(&bytes[34]);
    item.label = get_i32(&bytes[38]);
    return item;
}

std::array<uint8_t, token_trail::byte_size> token_trail::to_bytes() const {
    std::array<uint8_t, byte_size> out{};
    for (int i = 0; i < point_count; ++i) {
        put_i32(&out[i * 8], points[i].x);
        put_i32(&out[i * 8 + 4], points[i].y);
    }
    return out;
}

token_trail token_trail::from_bytes(std::span<const uint8_t, byte_size> bytes) {
    token_trail trail;
    for (int i = 0; i < point_count; ++i) {
        trail.points[i] = {get_i32(&bytes[i * 8]), get_i32(&bytes[i * 8 + 4])};
    }
    return trail;
}

}  // namespace quill
