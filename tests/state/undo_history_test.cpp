#include <gtest/gtest.h>

#include <malloc.h>

#include <cstddef>
#include <string>
#include <vector>

#include "state/game_state.h"

namespace quill {
namespace {

// Bytes malloc has handed out and not got back, those it mapped apart included.
std::size_t heap_in_use() {
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

// A sanitizer's allocator keeps books of its own, which mallinfo2 does not see.
bool heap_is_counted() {
    const std::size_t before = heap_in_use();
    const std::vector<char> probe(std::size_t{1} << 20, 'x');
    return heap_in_use() - before >= probe.size();
}

map_item item_at(int32_t x, int32_t y) {
    map_item item;
    item.x = x;
    item.y = y;
    return item;
}

// The largest inscriptions a saved game holds, 32767 UTF-16 units of three UTF-8 bytes each,
// in every slot, and many tombstones and transports.
void fill_largest_game(game_state& state) {
    std::string largest;
    for (int unit = 0; unit < 32767; ++unit) {
        largest += "\xE9\xBE\x8D";
    }
    for (int slot = 0; slot < label_count; ++slot) {
        state.labels.set(slot, largest);
    }
    for (int i = 0; i < 6; ++i) {
        state.tokens.add(item_at(40 * i, 0));
        state.token_trails.add({});
    }
    for (int i = 0; i < 100'000; ++i) {
        state.graves.add(item_at(i, i % 977));
        state.transports.add(item_at(i % 991, i));
    }
}

// The kinds of step a game has: a drag of a token with its trail, of a tombstone, a removal
// with its inscription, a new transport.
void change(game_state& state, int step) {
    switch (step % 4) {
        case 0: {
            const int token = step % state.tokens.size();
            state.tokens[token].x += 3;
            state.token_trails[token].points[step % token_trail::point_count] = {step, step};
            state.tokens.select(token);
            break;
        }
        case 1:
            state.graves[(step * 7919) % state.graves.size()].y += 5;
            break;
        case 2:
            state.graves.select((step * 104'729) % state.graves.size());
            clear_label(state, 1 + step % (label_count - 1));
            state.graves.remove_current();
            break;
        default:
            state.transports.add(item_at(step, -step));
            state.labels.set(1 + step % (label_count - 1), "Wagen " + std::to_string(step));
            break;
    }
}

// Each step keeps what it changed, not the game: the steps of the largest game stay far below
// one copy of its inscriptions per step. Undo and redo still give every game whole, also when
// the game changed outside a step.
TEST(undo_history, steps_of_the_largest_game_share_what_they_did_not_change) {
    if (!heap_is_counted()) {
        GTEST_SKIP() << "the allocator's books are not those of malloc";
    }
    constexpr std::size_t bound = std::size_t{64} << 20;
    game_state state;
    fill_largest_game(state);
    const game_snapshot first = take_snapshot(state);
    const std::size_t before = heap_in_use();
    for (int step = 0; step < static_cast<int>(undo_history::steps_kept); ++step) {
        state.history.begin_step(state);
        change(state, step);
        state.history.end_step(state);
        ASSERT_LT(heap_in_use() - before, bound) << "after step " << step;
    }
    const game_snapshot last = take_snapshot(state);

    state.graves[0].x = -1;
    state.labels.set(7, "danach");
    int undone = 0;
    while (state.history.undo(state)) {
        ++undone;
    }
    EXPECT_EQ(undone, static_cast<int>(undo_history::steps_kept));
    EXPECT_TRUE(take_snapshot(state).same_game_as(first));
    EXPECT_EQ(state.graves.current_position(), first.graves.current_position());
    while (state.history.redo(state)) {
    }
    EXPECT_FALSE(take_snapshot(state).same_game_as(last));
    state.graves[0].x = last.graves[0].x;
    state.labels.set(7, last.labels[7]);
    EXPECT_TRUE(take_snapshot(state).same_game_as(last));
    EXPECT_LT(heap_in_use() - before, bound);
}

}  // namespace
}  // namespace quill
