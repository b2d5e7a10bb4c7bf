#pragma once

#include <cstdint>
#include <functional>

namespace quill {

// Runs work(first, end) over the rows [0, count) of a picture `width` pixels wide, in groups
// of rows that the calling thread shares with one more thread when the rows hold enough pixels
// to pay for starting it; returns when every row is done. No two groups overlap, so work may
// write its own rows without locks, and it must write nothing else that is shared. Without a
// second thread (few pixels, or none could start) the calling thread does every row.
void share_rows(int count, int64_t width, const std::function<void(int first, int end)>& work);

}  // namespace quill
