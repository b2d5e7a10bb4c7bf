#pragma once

#include <cstddef>
#include <deque>
#include <optional>
#include <vector>

#include "state/item_list.h"
#include "state/label_table.h"
#include "state/map_item.h"

namespace quill {

// What undo puts back: everything of a game that a saved game holds, but the zoom, which is the
// view. The lists keep their current elements.
struct game_snapshot {
    item_list<map_item> tokens;
    item_list<token_trail> token_trails;
    item_list<map_item> graves;
    item_list<map_item> transports;
    label_table labels;

    // Only the contents count: a hit test that made another item current changed nothing.
    bool same_game_as(const game_snapshot& other) const;
};

// An earlier version of a list, kept as the runs of elements in which it differs from a later
// one: a step that moved one tombstone of many keeps that tombstone, not the list.
template <typename T>
class list_difference {
public:
    list_difference(const item_list<T>& earlier, const item_list<T>& later);
    // Makes the later version into the earlier one, current element included.
    void restore(item_list<T>& later) const;

private:
    struct run {
        int position = 0;
        int replaced = 0;  // elements of the later version that the run stands in for
        std::vector<T> elements;
    };

    std::vector<run> runs_;
    int current_ = -1;
};

// A game kept as what differs from the game of the snapshot after it; the labels are shared.
struct snapshot_difference {
    snapshot_difference(const game_snapshot& earlier, const game_snapshot& later);
    void restore(game_snapshot& later) const;

    list_difference<map_item> tokens;
    list_difference<token_trail> token_trails;
    list_difference<map_item> graves;
    list_difference<map_item> transports;
    label_table labels;
};

// Snapshots of which only the newest is kept whole and every older one as its difference from
// the one after it, so that a snapshot costs what changed between the two, whatever the game
// held elsewhere.
class snapshot_stack {
public:
    bool empty() const { return !newest_; }
    std::size_t size() const { return newest_ ? older_.size() + 1 : 0; }

    void push(game_snapshot snapshot);
    // The newest snapshot, taken off; the stack must not be empty.
    game_snapshot pop();
    void drop_oldest();
    void clear();

private:
    std::optional<game_snapshot> newest_;
    // The oldest first.
    std::deque<snapshot_difference> older_;
};

}  // namespace quill
