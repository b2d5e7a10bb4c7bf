#pragma once

#include <array>
#include <memory>
#include <string>

#include "state/game_rules.h"

namespace quill {

// The inscriptions of a game by slot. A copy shares every text with the table it was made
// from, and a text that is set replaces that slot's text alone, so that the steps undo keeps
// cost what they changed: a saved game may hold close to 100 KiB in each of the slots.
class label_table {
public:
    // Empty for an empty slot; the slot must lie in 0..label_count - 1.
    const std::string& operator[](int slot) const;
    void set(int slot, std::string text);
    void clear();

    friend bool operator==(const label_table& a, const label_table& b);

private:
    // nullptr for an empty slot.
    std::array<std::shared_ptr<const std::string>, label_count> texts_;
};

}  // namespace quill
