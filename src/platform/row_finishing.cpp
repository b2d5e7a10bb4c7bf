#include "platform/row_finishing.h"

#include <algorithm>
#include <system_error>

#include <sys/mman.h>
#include <unistd.h>

namespace quill {

namespace {

// From this size on the second thread pays for itself.
constexpr int64_t threaded_bytes = int64_t{4} << 20;
// Rows are handed over in groups, so that waking the second thread stays rare.
constexpr int rows_per_handover = 16;
// The memory is asked for in pieces, so that an abandoned picture stops the work soon.
constexpr uintptr_t memory_piece_bytes = uintptr_t{8} << 20;

}  // namespace

row_finisher::row_finisher(decoded_rows rows) : rows_(std::move(rows)) {
    if (rows_.progress != nullptr) {
        rows_.progress->rows_total.store(rows_.height, std::memory_order_relaxed);
    }
    if (int64_t{rows_.stride} * rows_.height >= threaded_bytes) {
        try {
            worker_ = std::thread([this] {
                prepare_memory();
                finish_handed_rows();
            });
        } catch (const std::system_error&) {
            // Without a second thread the rows are finished on the decoder's, as a small
            // picture's are.
        }
    }
}

row_finisher::~row_finisher() {
    wait(false);
}

void row_finisher::decoded(int y) {
    if (rows_.progress != nullptr) {
        rows_.progress->rows_done.store(y + 1, std::memory_order_relaxed);
    }
    if (!worker_.joinable()) {
        if (rows_.finish) {
            rows_.finish(rows_.line(y), rows_.width);
        }
        return;
    }
    if ((y + 1) % rows_per_handover == 0 || y + 1 == rows_.height) {
        handed_.store(y + 1, std::memory_order_release);
        handed_.notify_one();
    }
}

void row_finisher::wait(bool complete) {
    if (!worker_.joinable()) {
        return;
    }
    if (!complete) {
        handed_.store(abandoned, std::memory_order_release);
        handed_.notify_one();
    }
    worker_.join();
}

// Populating never changes a byte, so it may overlap the decoder's writes; a system without
// it leaves the faults to the decoder.
void row_finisher::prepare_memory() {
#ifdef MADV_POPULATE_WRITE
    const auto page = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
    const auto begin = reinterpret_cast<uintptr_t>(rows_.bits);
    const uintptr_t first = (begin + page - 1) / page * page;
    uintptr_t end = (begin + static_cast<uintptr_t>(rows_.stride) * rows_.height) / page * page;
    while (end > first && handed_.load(std::memory_order_acquire) != abandoned) {
        const uintptr_t start = std::max(first, end - std::min(end - first, memory_piece_bytes));
        if (madvise(reinterpret_cast<void*>(start), end - start, MADV_POPULATE_WRITE) != 0) {
            return;
        }
        end = start;
    }
#endif
}

void row_finisher::finish_handed_rows() {
    int finished = 0;
    while (finished < rows_.height) {
        const int handed = handed_.load(std::memory_order_acquire);
        if (handed == abandoned) {
            return;
        }
        if (handed == finished) {
            handed_.wait(handed, std::memory_order_acquire);
            continue;
        }
        if (rows_.finish) {
            for (int y = finished; y < handed; ++y) {
                rows_.finish(rows_.line(y), rows_.width);
            }
        }
        finished = handed;
    }
}

}  // namespace quill
