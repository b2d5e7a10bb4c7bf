#include <algorithm>

#include "platform/platform.h"

namespace quill {

int screen_covered_most(const std::vector<screen_area>& screens, const screen_area& box) {
    int best = 0;
    int64_t best_overlap = 0;
    for (size_t i = 0; i < screens.size(); ++i) {
        const screen_area& area = screens[i];
        const int64_t width =
            int64_t{std::min(box.x + box.width, area.x + area.width)} - std::max(box.x, area.x);
        const int64_t height =
            int64_t{std::min(box.y + box.height, area.y + area.height)} - std::max(box.y, area.y);
        if (width > 0 && height > 0 && width * height > best_overlap) {
            best_overlap = width * height;
            best = static_cast<int>(i);
        }
    }
    return best;
}

}  // namespace quill
