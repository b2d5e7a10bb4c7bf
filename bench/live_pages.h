#pragma once

namespace quill::bench {

// The pages of a live map benchmark run in a process of their own, as browsers would: this
// benchmark program again, started with live_pages_flag, the socket's address, the number of
// pages and of changes to wait for.
inline constexpr const char* live_pages_flag = "--live-pages";

// The child's part: opens the pages, waits for the whole state on each and then for that many
// changes, and writes for each page and change the moment it arrived (nanoseconds of the
// monotonic clock, which both processes share) to standard output, a line a page. Gives up
// after a minute.
int run_live_pages(const char* socket_url, int pages, int changes);

}  // namespace quill::bench
