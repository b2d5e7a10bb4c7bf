#include "live_map/page_hub.h"

#include <QTcpSocket>
#include <QTimer>
#include <QWebSocket>

#include <algorithm>

#include "live_map/page_frame_guard.h"

namespace quill {

namespace {

// A frame's header besides the payload, at most.
constexpr qsizetype frame_overhead = 14;
// What the system may hold of a page's unsent bytes, besides max_queued_bytes in the program:
// small, so that a page that does not read is dropped when about the bound waits for it.
constexpr int page_send_buffer = 64 * 1024;

bool same_connection(const QTcpSocket& connection, const QWebSocket& socket) {
    return connection.state() == QAbstractSocket::ConnectedState &&
           connection.peerPort() == socket.peerPort() &&
           connection.localPort() == socket.localPort() &&
           connection.peerAddress() == socket.peerAddress() &&
           connection.localAddress() == socket.localAddress();
}

}  // namespace

page_hub::page_hub(const live_server_limits& limits, const std::function<QByteArray()>& greeting)
    : limits_(limits), greeting_(greeting), server_(QString(), QWebSocketServer::NonSecureMode) {
    connect(&server_, &QWebSocketServer::newConnection, this, &page_hub::adopt_new_pages);
}

page_hub::~page_hub() {
    close_all();
}

void page_hub::prune_handshakes() const {
    std::erase_if(handshakes_, [](const handshake& waiting) {
        return !waiting.connection ||
               waiting.connection->state() != QAbstractSocket::ConnectedState;
    });
}

bool page_hub::has_room() const {
    prune_handshakes();
    return pages_.size() + handshakes_.size() < static_cast<std::size_t>(limits_.max_pages);
}

int page_hub::connection_count() const {
    prune_handshakes();
    return static_cast<int>(pages_.size() + handshakes_.size());
}

void page_hub::take(QTcpSocket* socket, qsizetype head_size) {
    socket->setParent(this);
    // The guard watches from before the WebSocket's first read.
    auto* guard = new page_frame_guard(socket, head_size, [this, socket] {
        const auto found = std::ranges::find(pages_, socket, &page::connection);
        if (found != pages_.end()) {
            drop(found->socket);
        } else {
            socket->abort();
        }
    });
    handshakes_.push_back({socket, guard});
    // A handshake Qt does not finish in time ends like an idle connection.
    QTimer::singleShot(limits_.request_ms, socket, [this, socket] {
        if (std::ranges::any_of(handshakes_, [socket](const handshake& waiting) {
                return waiting.connection == socket;
            })) {
            socket->abort();
        }
    });
    connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    server_.handleConnection(socket);
}

void page_hub::adopt_new_pages() {
    while (QWebSocket* socket = server_.nextPendingConnection()) {
        prune_handshakes();
        const auto found = std::ranges::find_if(handshakes_, [socket](const handshake& waiting) {
            return same_connection(*waiting.connection, *socket);
        });
        if (found == handshakes_.end() || !found->guard->start()) {
            if (found != handshakes_.end()) {
                found->connection->abort();
            }
            socket->abort();
            socket->deleteLater();
            continue;
        }
        QTcpSocket* connection = found->connection;
        handshakes_.erase(found);
        socket->setParent(this);
        connection->setParent(socket);
        socket->setMaxAllowedIncomingFrameSize(page_message_cap);
        socket->setMaxAllowedIncomingMessageSize(page_message_cap);
        connection->setSocketOption(QAbstractSocket::SendBufferSizeSocketOption, page_send_buffer);
        // Room for the largest frame a page may send, which Qt reads only once it is whole.
        connection->setReadBufferSize(2 * page_message_cap);
        connect(socket, &QWebSocket::disconnected, this, [this, socket] { drop(socket); });
        // Pongs to a page's pings queue up too; a page that pings but does not read is dropped.
        connect(connection, &QTcpSocket::readyRead, this, [this, socket, connection] {
            if (connection->bytesToWrite() > limits_.max_queued_bytes) {
                drop(socket);
            }
        });
        pages_.push_back({socket, connection});
        if (greeting_) {
            const QByteArray whole = greeting_();
            send(pages_.back(), QString::fromUtf8(whole), whole.size());
        }
    }
}

bool page_hub::send(const page& target, const QString& text, qsizetype size) {
    if (target.connection->bytesToWrite() + size + frame_overhead > limits_.max_queued_bytes) {
        drop(target.socket);
        return false;
    }
    target.socket->sendTextMessage(text);
    return true;
}

void page_hub::broadcast(const QByteArray& message) {
    if (pages_.empty()) {
        return;
    }
    const QString text = QString::fromUtf8(message);
    const std::vector<page> receivers = pages_;
    for (const page& receiver : receivers) {
        send(receiver, text, message.size());
    }
}

void page_hub::drop(QWebSocket* socket) {
    const auto found = std::ranges::find(pages_, socket, &page::socket);
    if (found == pages_.end()) {
        return;
    }
    pages_.erase(found);
    socket->disconnect(this);
    socket->abort();
    socket->deleteLater();
}

void page_hub::close_all() {
    while (!pages_.empty()) {
        drop(pages_.back().socket);
    }
    prune_handshakes();
    for (const handshake& waiting : handshakes_) {
        waiting.connection->abort();
    }
    handshakes_.clear();
}

}  // namespace quill
