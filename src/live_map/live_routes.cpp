#include "live_map/live_routes.h"

#include "live_map/share_key.h"

namespace quill {

namespace {

constexpr qsizetype key_length = 32;
// Sec-WebSocket-Key is 16 bytes in base64.
constexpr qsizetype socket_key_length = 24;

bool is_path_char(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
           c == '_' || c == '/' || c == '-';
}

// A path below the prefix: only the characters above, no empty, "." or ".." segment, no "..".
bool is_safe_path(QByteArrayView path) {
    for (char c : path) {
        if (!is_path_char(c)) {
            return false;
        }
    }
    if (path.startsWith('/') || path.contains("//") || path.contains("..")) {
        return false;
    }
    return path != "." && !path.startsWith("./") && !path.endsWith("/.") && !path.contains("/./");
}

bool is_socket_key(QByteArrayView text) {
    return text.size() == socket_key_length &&
           QByteArray::fromBase64Encoding(text.toByteArray(),
                                          QByteArray::AbortOnBase64DecodingErrors)
                   .decoded.size() == 16;
}

bool has_body(const http_request& request) {
    return request.count("transfer-encoding") > 0 || request.count("content-length") > 1 ||
           (request.count("content-length") == 1 && request.value("content-length") != "0");
}

route websocket_route(const http_request& request, const QByteArray& host) {
    if (request.method != "GET" || request.minor_version != 1 ||
        request.value("upgrade").compare("websocket", Qt::CaseInsensitive) != 0 ||
        !request.lists("connection", "upgrade") || request.value("sec-websocket-version") != "13" ||
        request.count("sec-websocket-key") != 1 ||
        !is_socket_key(request.value("sec-websocket-key"))) {
        return {route_kind::bad_request, {}};
    }
    if (request.count("origin") != 1 ||
        request.value("origin").compare("http://" + host, Qt::CaseInsensitive) != 0) {
        return {route_kind::forbidden, {}};
    }
    return {route_kind::websocket, {}};
}

}  // namespace

bool is_plain_host(QByteArrayView host) {
    if (host.isEmpty()) {
        return false;
    }
    for (char c : host) {
        const bool allowed = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                             (c >= '0' && c <= '9') || c == '.' || c == '-' || c == ':' ||
                             c == '[' || c == ']';
        if (!allowed) {
            return false;
        }
    }
    return true;
}

route route_request(const http_request& request, QByteArrayView key) {
    const int hosts = request.count("host");
    const QByteArray host = request.value("host");
    if (hosts > 1 || (hosts == 0 && request.minor_version == 1) ||
        (hosts == 1 && !is_plain_host(host)) || has_body(request)) {
        return {route_kind::bad_request, {}};
    }
    if (request.method != "GET" && request.method != "HEAD") {
        return {};
    }
    const QByteArrayView target = request.target;
    const qsizetype key_end = live_prefix.size() + key_length;
    if (!target.startsWith(live_prefix) || target.size() <= key_end || target[key_end] != '/' ||
        !is_share_key(target.sliced(live_prefix.size(), key_length), key)) {
        return {};
    }
    QByteArrayView path = target.sliced(key_end + 1);
    const qsizetype query = path.indexOf('?');
    if (query >= 0) {
        path = path.first(query);
    }
    if (!is_safe_path(path)) {
        return {};
    }
    const bool upgrade = request.count("upgrade") > 0;
    if (path == live_socket_path) {
        return upgrade ? websocket_route(request, host) : route{};
    }
    if (upgrade) {
        return {};
    }
    return {route_kind::page, QString::fromLatin1(path)};
}

}  // namespace quill
