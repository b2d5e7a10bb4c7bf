#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>
#include <vector>

#include "live_map/http_answer.h"
#include "live_map/http_connection.h"
#include "live_map/live_server_limits.h"
#include "live_map/page_hub.h"

class QTcpServer;

namespace quill {

// The live map's web server, on the program's own event loop: a small HTTP/1.1 server for the
// page and everything it loads, and a WebSocket that pushes each change to the pages. Off until
// started; read-only: what it serves comes only from answer and greeting, never from a file
// named by a request.
//
// Links are http://<address>:<port>/k/<key>/ with a new 128-bit key for each start. The page and
// all it loads live below /k/<key>/; its WebSocket is /k/<key>/ws and must come with an Origin
// of http:// and the request's Host. Anything else gets 404 and learns nothing (no listing, no
// other paths, no Server field); garbage gets 400, a head beyond max_header_bytes 431, a page
// beyond max_pages 503. Only GET and HEAD, keep-alive for HTTP/1.1 unless Connection: close.
//
// Bounds: at most max_connections open TCP connections (when all are taken, the idle one that
// has waited longest is closed for the new one; when all wait for answers the new one is), at
// most max_pages pages, request heads of max_header_bytes, request_ms without progress (no whole
// request, no answer written) closes a connection, and a page with more than max_queued_bytes
// unsent is dropped. Pages may send no more than page_message_cap in a frame; what they send is
// ignored, an unmasked or otherwise broken frame closes the page.
class live_server : public QObject, private http_connection_host {
public:
    using limits = live_server_limits;

    explicit live_server(limits bounds = {});
    ~live_server() override;
    live_server(const live_server&) = delete;
    live_server& operator=(const live_server&) = delete;

    // Listens on address (every address in the program, QHostAddress::LocalHost in tests) at
    // preferred_port or, when that is taken, one of the next twenty, else at any free port; 0
    // picks any at once. Makes a new key. False when nothing could be bound.
    bool start(const QHostAddress& address, quint16 preferred_port);
    // Closes every connection and page; the key is void.
    void stop();
    bool running() const { return listener_ != nullptr; }
    quint16 port() const;
    // 32 lower-case hex digits; empty while stopped.
    QString key() const { return QString::fromLatin1(key_); }

    // What a GET (or HEAD) of a path below /k/<key>/ answers; path is what follows that prefix,
    // made only of [A-Za-z0-9._/-], without "..", an empty or a "." segment. Call reply once,
    // on this thread, now or later (a connection closed meanwhile drops the answer). Unset: 404.
    std::function<void(const QString& path, std::function<void(http_answer)> reply)> answer;
    // The whole state, sent as the first text message to every page that connects.
    std::function<QByteArray()> greeting;

    // Sends a text message to every page; a page whose unsent bytes would pass max_queued_bytes
    // is dropped instead.
    void broadcast(const QByteArray& message);
    int page_count() const { return pages_.page_count(); }
    // Open TCP connections of any kind, pages included.
    int connection_count() const;

private:
    QByteArray share_key() const override { return key_; }
    void ask_owner(const QString& path, std::function<void(http_answer)> reply) override;
    bool has_page_room() const override { return pages_.has_room(); }
    void take_page(QTcpSocket* socket, qsizetype head_size) override;
    void connection_ended(http_connection* connection) override;
    std::uint64_t next_wait_order() override { return ++wait_order_; }

    void accept_connections();
    // Closes the idle connection that has waited longest; false when none is idle.
    bool close_longest_waiting();

    const limits bounds_;
    QTcpServer* listener_ = nullptr;
    QByteArray key_;
    std::vector<http_connection*> connections_;
    std::uint64_t wait_order_ = 0;
    page_hub pages_;
};

}  // namespace quill
