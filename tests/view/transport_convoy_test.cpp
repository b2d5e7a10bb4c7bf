#include <cmath>

#include "support/map_fixture.h"
#include "view/convoy_linking.h"
#include "view/transport_convoy.h"

namespace quill {
namespace {

using testing::map_fixture;

map_point centre_of(const map_item& item, int tile) {
    return {item.x + tile / 2, item.y + tile / 2};
}

TEST(point_distance, is_euclidean_in_single_precision) {
    EXPECT_EQ(point_distance({0, 0}, {3, 4}), 5.0f);
    EXPECT_EQ(point_distance({1, 1}, {2, 2}), static_cast<float>(std::sqrt(2.0)));
}

struct convoy : map_fixture {
    // Moves token 0 by (dx, dy) in steps of one pixel, recording the trail after each step, as
    // a drag does.
    void drag_token(int dx, int dy) {
        const int steps = std::max(std::abs(dx), std::abs(dy));
        map_item& token = state.tokens[0];
        const int x0 = token.x;
        const int y0 = token.y;
        for (int i = 1; i <= steps; ++i) {
            token.x = x0 + dx * i / steps;
            token.y = y0 + dy * i / steps;
            record_trail_point(state, 0);
        }
    }
};

TEST_F(convoy, a_token_without_transports_still_extends_its_trail) {
    make_level(2000, 2000, 40, 40);
    add_token(500, 500);
    state.tokens[0].x += 10;  // exactly a quarter token from the newest point: not more
    record_trail_point(state, 0);
    EXPECT_EQ(state.token_trails[0].points[0], (map_point{520, 520}));
    state.tokens[0].x += 1;
    record_trail_point(state, 0);
    EXPECT_EQ(state.token_trails[0].points[0], (map_point{531, 520}));
    EXPECT_EQ(state.token_trails[0].points[1], (map_point{520, 520}));
    EXPECT_EQ(state.token_trails[0].points[29], (map_point{520, 520 + 28 * 10}));
}

TEST_F(convoy, transports_of_an_unmoved_token_line_up_below_it) {
    make_level(2000, 2000, 40, 40);
    add_token(500, 500);
    add_transport(0, 0);
    add_transport(0, 0);
    carry(0, 0);
    carry(0, 1);
    arrange_convoy(state, 0);
    EXPECT_EQ(centre_of(state.transports[0], 40), (map_point{520, 560}));
    EXPECT_EQ(centre_of(state.transports[1], 40), (map_point{520, 600}));
    EXPECT_EQ(state.transports.current_position(), 1);
}

// With an odd playersize + tile_x the first gap keeps its half pixel: a trail point 40 pixels
// away is too close for a gap of 40.5, so the transport is pulled back from the next one.
TEST_F(convoy, the_first_gap_is_not_truncated_to_whole_pixels) {
    make_level(2000, 2000, 41, 40);
    add_token(500, 500);
    add_transport(0, 0);
    carry(0, 0);
    auto& points = state.token_trails[0].points;
    points.fill({560, 600});
    points[0] = {520, 520};
    points[1] = {520, 560};
    arrange_convoy(state, 0);
    EXPECT_EQ(centre_of(state.transports[0], 41), (map_point{538, 556}));
}

TEST_F(convoy, a_token_dragged_right_pulls_its_convoy_into_a_row_behind_it) {
    for (const int size : {40, 48}) {
        map_fixture::state = {};
        make_level(2000, 2000, size, size);
        add_token(500, 500);
        add_transport(0, 0);
        add_transport(0, 0);
        carry(0, 0);
        carry(0, 1);
        drag_token(200, 0);
        const map_point token = centre_of(state.tokens[0], size);
        const map_point first = centre_of(state.transports[0], size);
        const map_point second = centre_of(state.transports[1], size);
        EXPECT_EQ(first.y, token.y) << size;
        EXPECT_EQ(second.y, token.y) << size;
        EXPECT_LE(point_distance(token, first), static_cast<float>(size));
        EXPECT_GE(token.x - first.x, size - size / 4) << size;
        EXPECT_LE(point_distance(first, second), static_cast<float>(size));
        EXPECT_GE(first.x - second.x, size - size / 4) << size;
    }
}

TEST_F(convoy, transports_beyond_a_short_trail_stand_on_its_oldest_point) {
    make_level(4000, 4000, 200, 8);  // trail spans 29 * 2 pixels, tiles are 200 wide
    add_token(500, 500);
    for (int i = 0; i < 3; ++i) {
        add_transport(0, 0);
        carry(0, i);
    }
    arrange_convoy(state, 0);
    const map_point oldest = state.token_trails[0].points[29];
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(centre_of(state.transports[i], 200), oldest) << i;
    }
}

TEST_F(convoy, detaching_the_first_of_three_moves_the_others_up) {
    make_level(2000, 2000, 40, 40);
    add_token(500, 500);
    for (int i = 0; i < 3; ++i) {
        add_transport(0, 0);
        carry(0, i);
    }
    arrange_convoy(state, 0);
    const map_point places[3] = {{state.transports[0].x, state.transports[0].y},
                                 {state.transports[1].x, state.transports[1].y},
                                 {state.transports[2].x, state.transports[2].y}};
    state.tokens.select(0);
    state.transports.select(0);
    detach_transport(state, detached_place::end_of_convoy);
    const auto& links = state.tokens[0].links;
    EXPECT_EQ(links, (std::array<uint8_t, 6>{2, 3, 0, 0, 0, 0}));
    EXPECT_EQ(state.transports[0].links[0], 0);
    EXPECT_EQ((map_point{state.transports[1].x, state.transports[1].y}), places[0]);
    EXPECT_EQ((map_point{state.transports[2].x, state.transports[2].y}), places[1]);
    EXPECT_EQ((map_point{state.transports[0].x, state.transports[0].y}), places[2]);
    EXPECT_EQ(state.transports.current_position(), 0);
    EXPECT_EQ(state.tokens.current_position(), 0);
    EXPECT_TRUE(state.state_modified);
}

TEST_F(convoy, picking_up_the_middle_one_leaves_it_in_place) {
    make_level(2000, 2000, 40, 40);
    add_token(500, 500);
    for (int i = 0; i < 3; ++i) {
        add_transport(0, 0);
        carry(0, i);
    }
    arrange_convoy(state, 0);
    const map_point middle{state.transports[1].x, state.transports[1].y};
    state.transports.select(1);
    state.tokens.select(-1);
    detach_transport(state, detached_place::keep_place);
    EXPECT_EQ((map_point{state.transports[1].x, state.transports[1].y}), middle);
    EXPECT_EQ((map_point{state.transports[2].x, state.transports[2].y}), middle);
    EXPECT_EQ(state.tokens[0].links, (std::array<uint8_t, 6>{1, 3, 0, 0, 0, 0}));
    EXPECT_EQ(state.tokens.current(), nullptr);
}

TEST_F(convoy, detaching_a_free_or_damaged_transport_changes_little) {
    make_level(2000, 2000, 40, 40);
    add_token(500, 500);
    add_transport(10, 10);
    detach_transport(state, detached_place::end_of_convoy);
    EXPECT_FALSE(state.state_modified);
    state.transports[0].links[0] = 9;  // names no token
    detach_transport(state, detached_place::end_of_convoy);
    EXPECT_EQ(state.transports[0].links[0], 0);
    EXPECT_EQ(state.transports[0].x, 10);
}

TEST_F(convoy, a_full_convoy_detaches_its_last_transport_cleanly) {
    make_level(4000, 4000, 40, 40);
    add_token(500, 500);
    for (int i = 0; i < 6; ++i) {
        add_transport(0, 0);
        carry(0, i);
    }
    state.transports.select(5);
    detach_transport(state, detached_place::end_of_convoy);
    EXPECT_EQ(state.tokens[0].links, (std::array<uint8_t, 6>{1, 2, 3, 4, 5, 0}));
    state.transports.select(0);
    detach_transport(state, detached_place::end_of_convoy);
    EXPECT_EQ(state.tokens[0].links, (std::array<uint8_t, 6>{2, 3, 4, 5, 0, 0}));
}

}  // namespace
}  // namespace quill
