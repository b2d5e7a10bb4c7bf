#pragma once

#include <string_view>

#include "support/stored_labels.h"

namespace quill::fuzzing {

// Loads the bytes as a party setup file into a game in progress. A refused load must leave the
// game and the file as they were. A load must leave the file as it was, keep every invariant,
// give each label slot the code units the file holds there, survive being played, and save
// and load back to the same game and the same bytes.
void fuzz_party_file(std::string_view bytes, party_format format);

}  // namespace quill::fuzzing
