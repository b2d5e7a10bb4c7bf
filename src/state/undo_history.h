#pragma once

#include <array>
#include <cstddef>
#include <deque>
#include <optional>
#include <string>

#include "state/game_rules.h"
#include "state/item_list.h"
#include "state/map_item.h"

namespace quill {

struct game_state;

// What undo puts back: everything of a game that a saved game holds, but the zoom, which is the
// view. The lists keep their current elements.
struct game_snapshot {
    item_list<map_item> tokens;
    item_list<token_trail> token_trails;
    item_list<map_item> graves;
    item_list<map_item> transports;
    std::array<std::string, label_count> labels;

    // Only the contents count: a hit test that made another item current changed nothing.
    bool same_game_as(const game_snapshot& other) const;
};

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
    std::deque<game_snapshot> undo_;
    std::deque<game_snapshot> redo_;
    std::optional<game_snapshot> before_;
};

}  // namespace quill
