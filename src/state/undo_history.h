#pragma once

#include <cstddef>
#include <optional>

#include "state/snapshot_stack.h"

namespace quill {

struct game_state;

game_snapshot take_snapshot(const game_state& state);

// The finished changes of a game, to be taken back and done again. A step begins before an
// action that may change the game and ends once the action is over (a drag at the release);
// a step that changed nothing is not kept. A new step clears what could be done again.
class undo_history {
public:
    static constexpr std::size_t steps_kept = 256;

    void begin_step(const game_state& state);
    void end_step(const game_state& state);
    bool step_open() const { return before_.has_value(); }

    bool can_undo() const { return !undo_.empty(); }
    bool can_redo() const { return !redo_.empty(); }
    // Puts the game back as it was before the last step (or after the step last taken back);
    // false when there is nothing to do. The game is then unsaved and nothing is dragged.
    bool undo(game_state& state);
    bool redo(game_state& state);

    void clear();

private:
    snapshot_stack undo_;
    snapshot_stack redo_;
    std::optional<game_snapshot> before_;
};

}  // namespace quill
