#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include "live_map/http_request_parsing.h"

namespace quill {

// Every link of a sharing lives below /k/<key>/: the page and all it loads at
// /k/<key>/<path>, the WebSocket of its updates at /k/<key>/ws.
inline constexpr QByteArrayView live_prefix = "/k/";
inline constexpr QByteArrayView live_socket_path = "ws";

enum class route_kind {
    not_found,    // 404, whatever the reason, so that a request without the key learns nothing
    bad_request,  // 400
    forbidden,    // 403: a WebSocket opened by a page of another site
    page,         // the owner answers path
    websocket,    // the page's update channel
};

struct route {
    route_kind kind = route_kind::not_found;
    QString path;  // for page: what follows /k/<key>/, made only of [A-Za-z0-9._/-], no ".."
};

// Where a well-formed request head goes. Only GET and HEAD are served and nothing with a body;
// the target must be origin-form (absolute-form, "*" and percent-escapes are not found) and the
// key is compared in constant time. A WebSocket must come from a page of this server: its Origin
// is http:// and the request's Host.
route route_request(const http_request& request, QByteArrayView key);

// Whether a Host field may go into an answer: a host name, an IPv4 or a bracketed IPv6
// address, with an optional port.
bool is_plain_host(QByteArrayView host);

}  // namespace quill
