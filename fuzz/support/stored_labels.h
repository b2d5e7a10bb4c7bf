#pragma once

#include <array>
#include <string>
#include <string_view>

#include "state/game_state.h"

namespace quill::fuzzing {

enum class party_format { version_1, old };

// The label texts a party setup file holds, found by walking its layout on its own: every
// field in order, counts below 1 reading nothing, and the first field the file cuts short
// ending it, so that everything after reads as 0 or empty. Each slot's code units are cut at
// the first NUL, CR or LF, as the reader keeps them.
std::array<std::u16string, label_count> stored_labels(std::string_view bytes, party_format format);

}  // namespace quill::fuzzing
