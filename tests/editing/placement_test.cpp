#include <limits>

#include "editing/item_placement.h"
#include "editing/tombstones.h"
#include "support/map_fixture.h"

namespace quill {
namespace {

// Map 2000 x 1500 with tiles of 40, scrolled to (300, 200).
struct placement : testing::map_fixture {
    void SetUp() override {
        make_level(2000, 1500, 40, 40, 800, 600);
        state.level.view_x = 300;
        state.level.view_y = 200;
    }
    map_point place(int32_t x, int32_t y) {
        EXPECT_TRUE(place_map_item(state, "g", state.graves, state.grave_catalogue, x, y));
        const map_item& added = *state.graves.current();
        return {added.x, added.y};
    }
};

TEST_F(placement, items_beyond_the_map_edges_are_pulled_ten_pixels_inside) {
    EXPECT_EQ(place(500, 400), (map_point{500, 400}));
    EXPECT_EQ(place(0, 0), (map_point{310, 0}));  // x 0 counts as beyond the edge, y 0 does not
    EXPECT_EQ(place(-5, -1), (map_point{310, 210}));
    EXPECT_EQ(place(1960, 1460), (map_point{1960, 1460}));
    EXPECT_EQ(place(1961, 1461), (map_point{1950, 1450}));
    EXPECT_EQ(state.graves.size(), 5);
    EXPECT_EQ(state.graves.current_position(), 4);
}

TEST_F(placement, sizes_from_damaged_files_never_overflow_the_position) {
    state.level.tile_x = std::numeric_limits<int32_t>::min();
    state.level.view_y = std::numeric_limits<int32_t>::max();
    EXPECT_EQ(place(5, -5), (map_point{5, std::numeric_limits<int32_t>::max()}));
    state.level.tile_x = -100;
    EXPECT_EQ(place(2101, 10), (map_point{2090, 10}));
}

TEST_F(placement, the_current_entry_of_that_id_is_preferred_over_the_first) {
    state.grave_catalogue.add({"zwei", "g", 0, ""});
    state.grave_catalogue.add({"x", "x", 0, ""});
    state.grave_catalogue.select(1);
    place(500, 400);
    EXPECT_EQ(state.graves[0].catalogue_index, 1);
    state.grave_catalogue.select(2);
    place(500, 400);
    EXPECT_EQ(state.graves[1].catalogue_index, 0);
    EXPECT_EQ(state.graves[1].links, (std::array<uint8_t, 6>{}));
    EXPECT_EQ(state.graves[1].label, 0);
}

TEST_F(placement, nothing_is_added_without_a_matching_entry) {
    add_grave(100, 100);
    EXPECT_FALSE(place_map_item(state, "G", state.graves, state.grave_catalogue, 500, 400));
    state.grave_catalogue.clear();
    EXPECT_FALSE(place_map_item(state, "g", state.graves, state.grave_catalogue, 500, 400));
    EXPECT_EQ(state.graves.size(), 1);
}

TEST_F(placement, the_inscription_carries_the_date_and_both_names) {
    system.set_today({3, 4, 987});
    EXPECT_EQ(tombstone_text(system, "Borin", "Sturmklingen"),
              "RIP 03.04.0987 - Hier ruht Borin von den Sturmklingen");
}

}  // namespace
}  // namespace quill
