#pragma once

#include <QtGlobal>

namespace quill {

// The bounds that keep the server's memory and file descriptors limited whatever arrives.
struct live_server_limits {
    int max_pages = 64;                 // connected pages; the next one gets 503
    int max_header_bytes = 8 * 1024;    // a request head, the empty line included; beyond: 431
    int request_ms = 10'000;            // a connection that makes no progress this long is closed
    qint64 max_queued_bytes = 1 << 20;  // unsent bytes of a page; beyond, the page is dropped
    int max_connections = 256;          // open TCP connections of any kind
};

// What a page may send in one frame or message; it has nothing to say, so little is enough.
inline constexpr qint64 page_message_cap = 4096;

}  // namespace quill
