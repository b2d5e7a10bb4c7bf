#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <utility>
#include <vector>

namespace quill {

// The head of an HTTP/1.x request: the request line and the header fields, up to the empty line.
struct http_request {
    QByteArray method;
    QByteArray target;      // as sent, undecoded
    int minor_version = 1;  // HTTP/1.0 or HTTP/1.1
    // Names in lower case, values without the white space around them, in the order sent.
    std::vector<std::pair<QByteArray, QByteArray>> fields;
    qsizetype head_size = 0;  // bytes up to and with the empty line

    // How often the field comes.
    int count(QByteArrayView lower_name) const;
    // Its first value; empty when it is missing.
    QByteArray value(QByteArrayView lower_name) const;
    // Whether one of its values, a comma-separated list, holds the token (any case).
    bool lists(QByteArrayView lower_name, QByteArrayView token) const;
};

enum class head_state {
    incomplete,  // wait for more bytes
    complete,
    malformed,  // 400
    too_large,  // 431: no empty line within the bound
};

struct head_parse {
    head_state state = head_state::incomplete;
    http_request request;  // only when complete
};

// Reads a request head from the start of bytes, which holds what has arrived so far. Strict:
// lines end in CR LF, no control characters or bare CR or LF, single spaces in the request line,
// no folded fields, HTTP/1.0 or HTTP/1.1 only. A head longer than max_bytes (the empty line
// included) is too large; garbage is told as soon as its first line or a control byte shows it.
head_parse parse_request_head(QByteArrayView bytes, qsizetype max_bytes);

}  // namespace quill
