#include "platform/row_sharing.h"

#include <algorithm>
#include <atomic>
#include <system_error>
#include <thread>

namespace quill {

namespace {

// Below this many pixels, starting a thread costs about what the second core would save.
constexpr int64_t shared_pixels = int64_t{1} << 17;
// Rows are handed out in groups of about this many pixels: a second thread that starts late
// still finds work, and at the end neither thread waits long for the other.
constexpr int64_t group_pixels = int64_t{1} << 14;

}  // namespace

void share_rows(int count, int64_t width, const std::function<void(int first, int end)>& work) {
    if (count <= 0) {
        return;
    }
    if (width * count < shared_pixels) {
        work(0, count);
        return;
    }
    const int group =
        static_cast<int>(std::clamp<int64_t>(group_pixels / std::max<int64_t>(width, 1), 1, count));
    std::atomic<int> next{0};
    const auto take_groups = [&] {
        for (int first = next.fetch_add(group, std::memory_order_relaxed); first < count;
             first = next.fetch_add(group, std::memory_order_relaxed)) {
            work(first, std::min(count, first + group));
        }
    };
    std::thread helper;
    try {
        helper = std::thread(take_groups);
    } catch (const std::system_error&) {
        // The calling thread then takes every group.
    }
    take_groups();
    if (helper.joinable()) {
        helper.join();
    }
}

}  // namespace quill
