#pragma once

#include <cstdint>

namespace quill {

// The only version of the ".qms" format; the old ".gls" format has no version byte.
inline constexpr uint8_t party_setup_version = 1;

}  // namespace quill
