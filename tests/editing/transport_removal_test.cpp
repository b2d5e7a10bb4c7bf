#include "editing/transports.h"
#include "support/map_fixture.h"

namespace quill {
namespace {

struct transport_removal : testing::map_fixture {
    void SetUp() override { make_level(2000, 1500, 40, 40, 800, 600); }
    void remove(int position) {
        system.queue_message_answer(true);
        state.transports.select(position);
        remove_transport(state, system);
    }
};

// Links are single bytes; removing a transport must bring a high one down by one, not wrap it.
TEST_F(transport_removal, links_up_to_the_last_byte_value_move_down_by_one) {
    add_token(100, 100);
    for (int i = 0; i < 300; ++i) {
        add_transport(500, 500);
    }
    carry(0, 254);
    carry(0, 3);
    remove(0);
    EXPECT_EQ(state.tokens[0].links, (std::array<uint8_t, 6>{254, 3, 0, 0, 0, 0}));
    remove(298);  // its position never fitted a link
    EXPECT_EQ(state.tokens[0].links, (std::array<uint8_t, 6>{254, 3, 0, 0, 0, 0}));
}

TEST_F(transport_removal, a_stray_link_to_the_removed_transport_is_dropped_not_shifted) {
    add_token(100, 100);
    add_token(300, 100);
    for (int i = 0; i < 3; ++i) {
        add_transport(500, 500 + 50 * i);
    }
    carry(0, 1);
    carry(1, 0);
    carry(1, 2);
    state.tokens[0].links[1] = 2;  // a damaged file's second claim on transport 1
    state.tokens[0].links[2] = 3;
    remove(1);
    EXPECT_EQ(state.tokens[0].links, (std::array<uint8_t, 6>{2, 0, 0, 0, 0, 0}));
    EXPECT_EQ(state.tokens[1].links, (std::array<uint8_t, 6>{1, 2, 0, 0, 0, 0}));
}

}  // namespace
}  // namespace quill
