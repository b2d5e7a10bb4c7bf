#include "live_map/http_connection.h"

#include <QPointer>
#include <QTcpSocket>

#include <sys/socket.h>

#include "live_map/http_request_parsing.h"
#include "live_map/live_routes.h"

namespace quill {

http_connection::http_connection(QTcpSocket* socket, http_connection_host& host,
                                 const live_server_limits& limits, QObject* parent)
    : QObject(parent), socket_(socket), host_(host), limits_(limits) {
    socket_->setParent(this);
    // The head is peeked, not read, until it is whole; Qt holds no more of it than the bound.
    socket_->setReadBufferSize(limits_.max_header_bytes);
    socket_->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    wait_order_ = host_.next_wait_order();
    progress_timer_.setSingleShot(true);
    progress_timer_.setInterval(limits_.request_ms);
    connect(&progress_timer_, &QTimer::timeout, this, &http_connection::close_now);
    connect(socket_, &QTcpSocket::readyRead, this, &http_connection::readable);
    connect(socket_, &QTcpSocket::bytesWritten, this, &http_connection::written);
    connect(socket_, &QTcpSocket::disconnected, this, &http_connection::end);
    progress_timer_.start();
}

void http_connection::close_now() {
    if (phase_ == phase::ended) {
        return;
    }
    socket_->disconnect(this);
    socket_->abort();
    end();
}

void http_connection::end() {
    if (phase_ == phase::ended) {
        return;
    }
    phase_ = phase::ended;
    progress_timer_.stop();
    host_.connection_ended(this);
    deleteLater();
}

void http_connection::readable() {
    if (phase_ == phase::closing) {
        socket_->skip(socket_->bytesAvailable());
        return;
    }
    process();
}

void http_connection::written() {
    progress_timer_.start();
    if (phase_ == phase::closing) {
        finish_closing();
        return;
    }
    process();
}

void http_connection::process() {
    if (phase_ != phase::waiting || socket_->bytesToWrite() > 0 || socket_->bytesAvailable() == 0) {
        return;
    }
    const head_parse parsed = parse_request_head(
        socket_->peek(std::min<qint64>(socket_->bytesAvailable(), limits_.max_header_bytes)),
        limits_.max_header_bytes);
    switch (parsed.state) {
        case head_state::incomplete:
            return;
        case head_state::too_large:
            respond(status_answer(431), false, true);
            return;
        case head_state::malformed:
            respond(status_answer(400), false, true);
            return;
        case head_state::complete:
            break;
    }
    const http_request& request = parsed.request;
    const route target = route_request(request, host_.share_key());
    host_field_ = request.value("host");
    const bool head_only = request.method == "HEAD";
    // A failed upgrade, or another method whose body is not read, ends the connection too.
    const bool closing = request.minor_version == 0 || request.lists("connection", "close") ||
                         request.count("upgrade") > 0 ||
                         (request.method != "GET" && request.method != "HEAD");
    switch (target.kind) {
        case route_kind::bad_request:
            respond(status_answer(400), false, true);
            return;
        case route_kind::forbidden:
            respond(status_answer(403), false, true);
            return;
        case route_kind::not_found:
            socket_->skip(request.head_size);
            respond(status_answer(404), head_only, closing);
            return;
        case route_kind::websocket:
            // A client sends nothing more before the server has answered its handshake.
            if (socket_->bytesAvailable() != request.head_size) {
                respond(status_answer(400), false, true);
            } else if (!host_.has_page_room()) {
                respond(status_answer(503), false, true);
            } else {
                hand_over(request.head_size);
            }
            return;
        case route_kind::page:
            break;
    }
    socket_->skip(request.head_size);
    phase_ = phase::answering;
    progress_timer_.start();
    const std::uint64_t number = ++request_number_;
    QPointer<http_connection> self(this);
    host_.ask_owner(target.path, [self, number, head_only, closing](http_answer answer) {
        if (self && self->phase_ == phase::answering && self->request_number_ == number) {
            self->respond(answer, head_only, closing);
        }
    });
}

void http_connection::respond(const http_answer& answer, bool head_only, bool closing) {
    socket_->write(format_answer(answer, head_only, closing, host_field_));
    progress_timer_.start();
    if (closing) {
        phase_ = phase::closing;
        socket_->skip(socket_->bytesAvailable());
        finish_closing();
        return;
    }
    phase_ = phase::waiting;
    wait_order_ = host_.next_wait_order();
}

void http_connection::finish_closing() {
    if (socket_->bytesToWrite() == 0) {
        ::shutdown(static_cast<int>(socket_->socketDescriptor()), SHUT_WR);
    }
}

void http_connection::hand_over(qsizetype head_size) {
    phase_ = phase::ended;
    progress_timer_.stop();
    socket_->disconnect(this);
    QTcpSocket* socket = socket_;
    host_.connection_ended(this);
    host_.take_page(socket, head_size);
    deleteLater();
}

}  // namespace quill
