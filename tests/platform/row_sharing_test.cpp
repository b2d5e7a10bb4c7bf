#include <atomic>
#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "platform/row_sharing.h"

namespace quill {
namespace {

// Every row is done by exactly one call, whatever the count and width, on one thread or two,
// and call after call on the same sharer, whose second thread waits between them: odd counts,
// single rows, groups that do not divide the rows.
TEST(row_sharing, does_every_row_once_call_after_call) {
    row_sharer sharer;
    for (int round = 0; round < 3; ++round) {
        for (const int count : {0, 1, 2, 3, 7, 128, 1001}) {
            for (const int64_t width :
                 {int64_t{1}, int64_t{333}, int64_t{1286}, int64_t{1} << 18}) {
                std::vector<std::atomic<int>> done(static_cast<size_t>(count));
                std::atomic<int> wrong_calls{0};
                sharer.share(count, width, [&](int first, int end) {
                    if (first >= end || first < 0 || end > count) {
                        wrong_calls.fetch_add(1);
                        return;
                    }
                    for (int y = first; y < end; ++y) {
                        done[static_cast<size_t>(y)].fetch_add(1);
                    }
                });
                EXPECT_EQ(wrong_calls.load(), 0) << count << " rows of " << width;
                for (int y = 0; y < count; ++y) {
                    ASSERT_EQ(done[static_cast<size_t>(y)].load(), 1)
                        << "row " << y << " of " << count << ", " << width << " wide, round "
                        << round;
                }
            }
        }
    }
}

// Many quick calls in a row: a second thread that wakes late for one call must not touch that
// call's work once it has returned, nor miss the next.
TEST(row_sharing, quick_calls_finish_before_returning) {
    row_sharer sharer;
    for (int call = 0; call < 2000; ++call) {
        const int count = 64 + call % 7;
        std::vector<int> done(static_cast<size_t>(count), 0);
        sharer.share(count, 4096, [&](int first, int end) {
            for (int y = first; y < end; ++y) {
                ++done[static_cast<size_t>(y)];
            }
        });
        for (int y = 0; y < count; ++y) {
            ASSERT_EQ(done[static_cast<size_t>(y)], 1) << "call " << call << ", row " << y;
        }
    }
}

}  // namespace
}  // namespace quill
