#include <gtest/gtest.h>

#include "state/game_state.h"

namespace quill {
namespace {

TEST(item_list, removing_the_current_element_makes_the_one_before_current) {
    item_list<int> list;
    list.add(1);
    list.add(2);
    list.add(3);
    list.select(1);
    list.remove_current();
    EXPECT_EQ(list.size(), 2);
    EXPECT_EQ(list.current_position(), 0);
    list.remove_current();
    EXPECT_EQ(list.current(), nullptr);
    EXPECT_EQ(list[0], 3);
    list.remove_current();  // nothing current: nothing removed
    EXPECT_EQ(list.size(), 1);
}

TEST(item_list, selecting_outside_leaves_nothing_current) {
    item_list<int> list;
    list.add(5);
    list.select(3);
    EXPECT_EQ(list.current(), nullptr);
    list.select(-1);
    EXPECT_EQ(list.current_position(), -1);
}

TEST(labels, free_slot_search_skips_slot_zero_and_reports_a_full_table) {
    game_state state;
    state.labels.set(0, "from a file");
    EXPECT_EQ(find_free_label(state), 1);
    for (int slot = 1; slot < label_count; ++slot) {
        state.labels.set(slot, "x");
    }
    EXPECT_EQ(find_free_label(state), 0);
    state.labels.set(200, {});
    EXPECT_EQ(find_free_label(state), 200);
}

TEST(labels, damaged_label_numbers_never_reach_beyond_the_table) {
    game_state state;
    state.labels.set(255, "last");
    EXPECT_EQ(label_text(state, 255), "last");
    EXPECT_EQ(label_text(state, 256), "");
    EXPECT_EQ(label_text(state, -1), "");
    state.labels.set(0, "from a file");
    EXPECT_EQ(label_text(state, 0), "");
    clear_label(state, 0);
    EXPECT_EQ(state.labels[0], "from a file");
    clear_label(state, 1000);
    clear_label(state, 255);
    EXPECT_EQ(state.labels[255], "");
}

TEST(links, locating_transports_and_carriers_checks_the_positions) {
    game_state state;
    state.tokens.add({});
    state.transports.add({});
    map_item carried;
    carried.links[0] = 1;
    state.transports.add(carried);
    EXPECT_EQ(transport_at_link(state, 2), &state.transports[1]);
    EXPECT_EQ(transport_at_link(state, 0), nullptr);
    EXPECT_EQ(transport_at_link(state, 3), nullptr);
    EXPECT_EQ(carrier_of(state, state.transports[1]), &state.tokens[0]);
    map_item stray;
    stray.links[0] = 9;
    EXPECT_EQ(carrier_of(state, stray), nullptr);
    EXPECT_EQ(carrier_of(state, state.transports[0]), nullptr);
}

TEST(catalogue, selecting_an_entry_checks_the_index) {
    item_list<catalogue_entry> catalogue;
    catalogue.add({"a", "a", 0, ""});
    catalogue.add({"b", "b", 0, ""});
    map_item item;
    item.catalogue_index = 0;
    EXPECT_TRUE(select_catalogue_entry(catalogue, item));
    EXPECT_EQ(catalogue.current_position(), 0);
    item.catalogue_index = 2;
    EXPECT_FALSE(select_catalogue_entry(catalogue, item));
    EXPECT_EQ(catalogue.current_position(), 0);
}

}  // namespace
}  // namespace quill
