#include "live_map/http_answer.h"

#include "live_map/live_routes.h"

namespace quill {

namespace {

QByteArrayView reason(int status) {
    switch (status) {
        case 200:
            return "OK";
        case 204:
            return "No Content";
        case 304:
            return "Not Modified";
        case 400:
            return "Bad Request";
        case 403:
            return "Forbidden";
        case 404:
            return "Not Found";
        case 431:
            return "Request Header Fields Too Large";
        case 500:
            return "Internal Server Error";
        case 503:
            return "Service Unavailable";
        default:
            return status < 400 ? "OK" : status < 500 ? "Client Error" : "Server Error";
    }
}

bool is_field_value(QByteArrayView text) {
    for (char c : text) {
        if (c < ' ' || c >= 0x7f) {
            return false;
        }
    }
    return true;
}

QByteArray content_policy(QByteArrayView host) {
    QByteArray connect = "'self'";
    if (is_plain_host(host)) {
        connect += " ws://" + host.toByteArray();
    }
    return "default-src 'none'; script-src 'self'; style-src 'self'; img-src 'self'; "
           "connect-src " +
           connect + "; base-uri 'none'; form-action 'none'; frame-ancestors 'none'";
}

}  // namespace

http_answer status_answer(int status) {
    return {status, "text/plain; charset=utf-8", reason(status).toByteArray() + "\n", 0};
}

QByteArray format_answer(const http_answer& given, bool head_only, bool closing,
                         QByteArrayView host) {
    const bool sound =
        given.status >= 200 && given.status <= 599 && is_field_value(given.content_type);
    const http_answer answer = sound ? given : status_answer(500);
    // These statuses never carry a body.
    const bool bodiless = answer.status == 204 || answer.status == 304;
    QByteArray out = "HTTP/1.1 " + QByteArray::number(answer.status) + ' ' +
                     reason(answer.status).toByteArray() + "\r\n";
    if (!answer.content_type.isEmpty() && !bodiless) {
        out += "Content-Type: " + answer.content_type + "\r\n";
    }
    if (!bodiless) {
        out += "Content-Length: " + QByteArray::number(answer.body.size()) + "\r\n";
    }
    out +=
        answer.cache_seconds > 0
            ? "Cache-Control: private, max-age=" + QByteArray::number(answer.cache_seconds) + "\r\n"
            : QByteArray("Cache-Control: no-store\r\n");
    out +=
        "X-Content-Type-Options: nosniff\r\n"
        "Referrer-Policy: no-referrer\r\n"
        "X-Frame-Options: DENY\r\n";
    if (answer.content_type.toLower().startsWith("text/html")) {
        out += "Content-Security-Policy: " + content_policy(host) + "\r\n";
    }
    if (closing) {
        out += "Connection: close\r\n";
    }
    out += "\r\n";
    if (!head_only && !bodiless) {
        out += answer.body;
    }
    return out;
}

}  // namespace quill
