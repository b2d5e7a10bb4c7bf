#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

namespace quill {

// Shares the rows of a large picture's work between the calling thread and one more thread,
// which waits between calls so that a redraw does not pay for starting it.
class row_sharer {
public:
    row_sharer() = default;
    ~row_sharer();
    row_sharer(const row_sharer&) = delete;
    row_sharer& operator=(const row_sharer&) = delete;

    // Runs work(first, end) over the rows [0, count) of a picture `width` pixels wide, in
    // groups of rows taken by whichever thread is free; returns when every row is done. No two
    // groups overlap, so work may write its own rows without locks, and it must write nothing
    // else that is shared. Few pixels, or a second thread the system will not start, leave
    // every row to the calling thread. One call at a time.
    void share(int count, int64_t width, const std::function<void(int first, int end)>& work);

private:
    struct job;

    void serve();

    std::mutex mutex_;
    std::condition_variable posted_;
    std::condition_variable left_;
    job* current_ = nullptr;
    uint64_t generation_ = 0;
    bool helping_ = false;
    bool stopping_ = false;
    bool unavailable_ = false;
    std::thread helper_;
};

}  // namespace quill
