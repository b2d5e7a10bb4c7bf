#include "state/undo_history.h"

#include <algorithm>
#include <utility>

#include "state/game_state.h"

namespace quill {

namespace {

// A snapshot or the game itself; only the contents count.
template <typename A, typename B>
bool same_contents(const A& a, const B& b) {
    return std::ranges::equal(a.tokens, b.tokens) &&
           std::ranges::equal(a.token_trails, b.token_trails) &&
           std::ranges::equal(a.graves, b.graves) &&
           std::ranges::equal(a.transports, b.transports) && a.labels == b.labels;
}

void restore_snapshot(game_state& state, game_snapshot snapshot) {
    state.tokens = std::move(snapshot.tokens);
    state.token_trails = std::move(snapshot.token_trails);
    state.graves = std::move(snapshot.graves);
    state.transports = std::move(snapshot.transports);
    state.labels = std::move(snapshot.labels);
    state.state_modified = true;
    state.drag_mode = drag_kind::drag_none;
    // The box may show the inscription of an item that is gone now.
    state.hover.text.clear();
}

// Moves the game from one side of the history to the other.
bool swap_in(game_state& state, snapshot_stack& from, snapshot_stack& to) {
    if (from.empty()) {
        return false;
    }
    to.push(take_snapshot(state));
    restore_snapshot(state, from.pop());
    return true;
}

}  // namespace

bool game_snapshot::same_game_as(const game_snapshot& other) const {
    return same_contents(*this, other);
}

game_snapshot take_snapshot(const game_state& state) {
    return {state.tokens, state.token_trails, state.graves, state.transports, state.labels};
}

void undo_history::begin_step(const game_state& state) {
    before_ = take_snapshot(state);
}

void undo_history::end_step(const game_state& state) {
    if (!before_) {
        return;
    }
    game_snapshot before = std::move(*before_);
    before_.reset();
    if (same_contents(before, state)) {
        return;
    }
    undo_.push(std::move(before));
    if (undo_.size() > steps_kept) {
        undo_.drop_oldest();
    }
    redo_.clear();
}

bool undo_history::undo(game_state& state) {
    end_step(state);
    return swap_in(state, undo_, redo_);
}

bool undo_history::redo(game_state& state) {
    end_step(state);
    return swap_in(state, redo_, undo_);
}

void undo_history::clear() {
    undo_.clear();
    redo_.clear();
    before_.reset();
}

}  // namespace quill
