#include "state/snapshot_stack.h"

#include <algorithm>
#include <utility>

namespace quill {

// Lists of one length differ in the runs of elements that changed in place; otherwise in one
// run between the longest common start and end, as an insertion or removal leaves them.
template <typename T>
list_difference<T>::list_difference(const item_list<T>& earlier, const item_list<T>& later)
    : current_(earlier.current_position()) {
    const int earlier_size = earlier.size();
    const int later_size = later.size();
    if (earlier_size == later_size) {
        for (int position = 0; position < earlier_size; ++position) {
            if (earlier[position] == later[position]) {
                continue;
            }
            if (runs_.empty() || runs_.back().position + runs_.back().replaced != position) {
                runs_.push_back({position, 0, {}});
            }
            ++runs_.back().replaced;
            runs_.back().elements.push_back(earlier[position]);
        }
        return;
    }
    const int shorter = std::min(earlier_size, later_size);
    int start = 0;
    while (start < shorter && earlier[start] == later[start]) {
        ++start;
    }
    int end = 0;
    while (end < shorter - start &&
           earlier[earlier_size - 1 - end] == later[later_size - 1 - end]) {
        ++end;
    }
    run changed{start, later_size - start - end, {}};
    for (int position = start; position < earlier_size - end; ++position) {
        changed.elements.push_back(earlier[position]);
    }
    runs_.push_back(std::move(changed));
}

template <typename T>
void list_difference<T>::restore(item_list<T>& later) const {
    for (const run& changed : runs_) {
        later.replace(changed.position, changed.replaced, changed.elements);
    }
    later.select(current_);
}

template class list_difference<map_item>;
template class list_difference<token_trail>;

snapshot_difference::snapshot_difference(const game_snapshot& earlier, const game_snapshot& later)
    : tokens(earlier.tokens, later.tokens),
      token_trails(earlier.token_trails, later.token_trails),
      graves(earlier.graves, later.graves),
      transports(earlier.transports, later.transports),
      labels(earlier.labels) {}

void snapshot_difference::restore(game_snapshot& later) const {
    tokens.restore(later.tokens);
    token_trails.restore(later.token_trails);
    graves.restore(later.graves);
    transports.restore(later.transports);
    later.labels = labels;
}

void snapshot_stack::push(game_snapshot snapshot) {
    if (newest_) {
        older_.emplace_back(*newest_, snapshot);
    }
    newest_ = std::move(snapshot);
}

game_snapshot snapshot_stack::pop() {
    game_snapshot popped = std::move(*newest_);
    newest_.reset();
    if (!older_.empty()) {
        newest_ = popped;
        older_.back().restore(*newest_);
        older_.pop_back();
    }
    return popped;
}

void snapshot_stack::drop_oldest() {
    if (older_.empty()) {
        newest_.reset();
    } else {
        older_.pop_front();
    }
}

void snapshot_stack::clear() {
    newest_.reset();
    older_.clear();
}

}  // namespace quill
