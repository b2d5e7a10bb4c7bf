#pragma once

#include <cstdint>
#include <string_view>

namespace quill {

// The numbers of the content files: blanks and tabs skipped at the start (line breaks are
// not), an optional sign, then "$" with hexadecimal digits, "%" with binary digits, or decimal
// digits, up to the first character that does not belong; no digits give 0. The value wraps
// to 32 bits.
int32_t parse_level_number(std::string_view text);

}  // namespace quill
