#pragma once

#include <cmath>
#include <cstdint>

namespace quill {

// Half the width of row dy of the disc of radius r: the pixels whose centres lie within
// r + 0.5 of the centre, which keeps the disc symmetric in all eight directions and makes
// radius 0 a single pixel. -1 for rows outside the disc.
inline int64_t disc_half_width(int64_t r, int64_t dy) {
    const int64_t limit = r * r + r - dy * dy;
    if (dy < -r || dy > r || limit < 0) {
        return -1;
    }
    auto root = static_cast<int64_t>(std::sqrt(static_cast<long double>(limit)));
    while (root * root > limit) {
        --root;
    }
    while ((root + 1) * (root + 1) <= limit) {
        ++root;
    }
    return root;
}

}  // namespace quill
