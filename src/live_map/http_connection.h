#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>

#include <cstdint>
#include <functional>

#include "live_map/http_answer.h"
#include "live_map/live_server_limits.h"

class QTcpSocket;

namespace quill {

class http_connection;

// What a connection needs of its server.
class http_connection_host {
public:
    virtual QByteArray share_key() const = 0;
    // The owner's answer for a path below the prefix, now or later through reply.
    virtual void ask_owner(const QString& path, std::function<void(http_answer)> reply) = 0;
    virtual bool has_page_room() const = 0;
    // The socket sent a sound WebSocket request: from now on it belongs to the pages.
    virtual void take_page(QTcpSocket* socket, qsizetype head_size) = 0;
    // The connection has ended; it deletes itself later.
    virtual void connection_ended(http_connection* connection) = 0;
    // A number that grows with each call: the order in which connections began to wait.
    virtual std::uint64_t next_wait_order() = 0;

protected:
    ~http_connection_host() = default;
};

// One HTTP/1.1 connection: reads a request head without taking it from the socket until it is
// whole, answers GET and HEAD one request at a time (the next is read only once the last answer
// has gone to the system, so a client that does not read holds one answer at most), keeps the
// connection for further requests unless told otherwise, and closes it when it makes no progress
// for request_ms: no whole request, no answer from the owner, nothing written. Errors close it.
class http_connection : public QObject {
public:
    http_connection(QTcpSocket* socket, http_connection_host& host,
                    const live_server_limits& limits, QObject* parent);

    // Waits for a request, or has answered and is closing: may be closed to make room for a new
    // connection. One that waits for the owner's answer may not.
    bool idle() const { return phase_ == phase::waiting || phase_ == phase::closing; }
    std::uint64_t wait_order() const { return wait_order_; }
    // Ends the connection at once, without a word to the client.
    void close_now();

private:
    enum class phase { waiting, answering, closing, ended };

    void readable();
    void written();
    void process();
    void respond(const http_answer& answer, bool head_only, bool closing);
    // Ends sending once the answer has gone, and reads on until the client closes: closing with
    // unread bytes would reset the connection and could lose the answer on the client's side.
    void finish_closing();
    void hand_over(qsizetype head_size);
    void end();

    QTcpSocket* socket_;
    http_connection_host& host_;
    const live_server_limits limits_;
    QTimer progress_timer_;
    phase phase_ = phase::waiting;
    std::uint64_t wait_order_ = 0;
    // Which request a reply belongs to; a reply of an earlier one is dropped.
    std::uint64_t request_number_ = 0;
    QByteArray host_field_;
};

}  // namespace quill
