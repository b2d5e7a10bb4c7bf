#pragma once

#include <functional>
#include <initializer_list>
#include <string_view>

#include "support/fuzz_game.h"

namespace quill::fuzzing {

// Puts the bytes in place of the named content files of the program folder and starts the
// program on them: the level loaded from them must keep every invariant, survive being played
// (after use, when given), and save and load back to the same game and the same bytes.
void fuzz_content_files(std::string_view bytes, std::initializer_list<const char*> names,
                        const std::function<void(fuzz_game&)>& use = {});

}  // namespace quill::fuzzing
