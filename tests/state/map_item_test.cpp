#include <gtest/gtest.h>

#include "state/game_state.h"

namespace quill {
namespace {

TEST(map_item_image, fields_sit_at_their_offsets_little_endian) {
    map_item item;
    item.catalogue_index = 0x01020304;
    item.links = {1, 2, 200, 0, 0, 0};
    item.x = -2;
    item.y = 0x0A0B0C0D;
    item.label = 255;
    const auto bytes = item.to_bytes();
    ASSERT_EQ(bytes.size(), 42u);
    EXPECT_EQ(bytes[0], 0x04);
    EXPECT_EQ(bytes[3], 0x01);
    for (int i = 4; i < 10; ++i) {
        EXPECT_EQ(bytes[i], 0) << i;
    }
    EXPECT_EQ(bytes[10], 1);
    EXPECT_EQ(bytes[12], 200);
    for (int i = 16; i < 30; ++i) {
        EXPECT_EQ(bytes[i], 0) << i;
    }
    EXPECT_EQ(bytes[30], 0xFE);
    EXPECT_EQ(bytes[33], 0xFF);
    EXPECT_EQ(bytes[34], 0x0D);
    EXPECT_EQ(bytes[37], 0x0A);
    EXPECT_EQ(bytes[38], 255);
    EXPECT_EQ(bytes[41], 0);
}

TEST(map_item_image, reserved_bytes_survive_a_round_trip) {
    std::array<uint8_t, 42> bytes{};
    for (int i = 0; i < 42; ++i) {
        bytes[i] = static_cast<uint8_t>(i * 7 + 1);
    }
    const map_item item = map_item::from_bytes(bytes);
    EXPECT_EQ(item.to_bytes(), bytes);
    EXPECT_EQ(item.links[0], 71);
}

TEST(token_trail_image, points_follow_each_other_x_then_y) {
    token_trail trail;
    for (int i = 0; i < token_trail::point_count; ++i) {
        trail.points[i] = {i * 10, -i};
    }
    const auto bytes = trail.to_bytes();
    ASSERT_EQ(bytes.size(), 240u);
    EXPECT_EQ(bytes[8], 10);     // point 1 x
    EXPECT_EQ(bytes[12], 0xFF);  // point 1 y = -1
    EXPECT_EQ(bytes[232], static_cast<uint8_t>(290 & 0xFF));
    EXPECT_EQ(bytes[233], 290 >> 8);
    EXPECT_EQ(token_trail::from_bytes(bytes), trail);
}

}  // namespace
}  // namespace quill
