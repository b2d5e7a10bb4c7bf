#include "platform/row_sharing.h"

#include <algorithm>
#include <atomic>
#include <system_error>

namespace quill {

namespace {

// Below this many pixels, waking the second thread costs about what it would save.
constexpr int64_t shared_pixels = int64_t{1} << 17;
// Rows are handed out in groups of about this many pixels: a second thread that wakes late
// still finds work, and at the end neither thread waits long for the other.
constexpr int64_t group_pixels = int64_t{1} << 14;

}  // namespace

struct row_sharer::job {
    const std::function<void(int, int)>& work;
    int count;
    int group;
    std::atomic<int> next{0};

    void take_groups() {
        for (int first = next.fetch_add(group, std::memory_order_relaxed); first < count;
             first = next.fetch_add(group, std::memory_order_relaxed)) {
            work(first, std::min(count, first + group));
        }
    }
};

row_sharer::~row_sharer() {
    if (!helper_.joinable()) {
        return;
    }
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    posted_.notify_one();
    helper_.join();
}

void row_sharer::share(int count, int64_t width,
                       const std::function<void(int first, int end)>& work) {
    if (count <= 0) {
        return;
    }
    if (width * count < shared_pixels || unavailable_) {
        work(0, count);
        return;
    }
    if (!helper_.joinable()) {
        try {
            helper_ = std::thread([this] { serve(); });
        } catch (const std::system_error&) {
            unavailable_ = true;
            work(0, count);
            return;
        }
    }
    job shared{work, count,
               static_cast<int>(
                   std::clamp<int64_t>(group_pixels / std::max<int64_t>(width, 1), 1, count))};
    {
        const std::lock_guard lock(mutex_);
        current_ = &shared;
        ++generation_;
    }
    posted_.notify_one();
    shared.take_groups();
    // A helper that wakes only now must find no job; one still in a group finishes it first.
    std::unique_lock lock(mutex_);
    current_ = nullptr;
    left_.wait(lock, [this] { return !helping_; });
}

void row_sharer::serve() {
    uint64_t seen = 0;
    std::unique_lock lock(mutex_);
    while (true) {
        posted_.wait(lock, [&] { return stopping_ || generation_ != seen; });
        if (stopping_) {
            return;
        }
        seen = generation_;
        job* const shared = current_;
        if (shared == nullptr) {
            continue;
        }
        helping_ = true;
        lock.unlock();
        shared->take_groups();
        lock.lock();
        helping_ = false;
        left_.notify_one();
    }
}

}  // namespace quill
