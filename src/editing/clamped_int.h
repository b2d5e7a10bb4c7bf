#pragma once

#include <algorithm>
#include <cstdint>
#include <limits>

namespace quill {

// Level sizes and view offsets come from files and may be anything, so map positions are
// computed in 64 bits and kept within the 32 bits of a record.
inline int32_t clamp_to_int32(int64_t value) {
    return static_cast<int32_t>(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

}  // namespace quill
