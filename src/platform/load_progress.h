#pragma once

#include <atomic>

namespace quill {

// How far the decoding of a picture has come, counted in rows from the top; written by the
// decoder and read by another thread while it runs. The total is 0 until the size is known.
struct load_progress {
    std::atomic<int> rows_done{0};
    std::atomic<int> rows_total{0};

    // 0..100, rounded down; 0 while the size is unknown.
    int percent() const {
        const int total = rows_total.load(std::memory_order_relaxed);
        const int done = rows_done.load(std::memory_order_relaxed);
        return total > 0 ? static_cast<int>(int64_t{done} * 100 / total) : 0;
    }
};

}  // namespace quill
