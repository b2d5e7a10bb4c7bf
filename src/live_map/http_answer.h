#pragma once

#include <QByteArray>
#include <QByteArrayView>

namespace quill {

// What the server sends for a request.
struct http_answer {
    int status = 404;
    QByteArray content_type;
    QByteArray body;
    // Seconds the browser may keep the answer (tiles); 0: it must not keep it at all.
    int cache_seconds = 0;
};

// The small fixed answer of an error status: the same bytes whatever the request was.
http_answer status_answer(int status);

// The bytes of an answer. Never a Server field; always nosniff, no referrer (the key must not
// leave through a Referer), no framing; HTML gets a policy that allows scripts, styles, pictures
// and connections of its own origin only, and the WebSocket at ws://host. Without a body for
// HEAD, with Connection: close when the connection ends after it. A status outside 200 to 599 or
// a content type that is not plain text becomes a 500.
QByteArray format_answer(const http_answer& answer, bool head_only, bool closing,
                         QByteArrayView host);

}  // namespace quill
