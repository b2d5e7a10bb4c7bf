#include "live_map/live_server.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <algorithm>

#include "live_map/share_key.h"

namespace quill {

namespace {

// Further ports tried after the preferred one.
constexpr int further_ports = 20;
// Connections the system may hold for the server before it accepts them.
constexpr int listen_backlog = 128;
// After the system refused to accept (no file descriptors left), accepting resumes this late.
constexpr int accept_pause_ms = 100;

}  // namespace

live_server::live_server(limits bounds) : bounds_(bounds), pages_(bounds_, greeting) {}

live_server::~live_server() {
    stop();
}

bool live_server::start(const QHostAddress& address, quint16 preferred_port) {
    stop();
    auto* listener = new QTcpServer(this);
    listener->setListenBacklogSize(listen_backlog);
    bool listening = false;
    if (preferred_port != 0) {
        for (int port = preferred_port;
             !listening && port <= preferred_port + further_ports && port <= 65535; ++port) {
            listening = listener->listen(address, static_cast<quint16>(port));
        }
    }
    if (!listening && !listener->listen(address, 0)) {
        delete listener;
        return false;
    }
    listener_ = listener;
    key_ = new_share_key();
    connect(listener_, &QTcpServer::newConnection, this, &live_server::accept_connections);
    // Qt stops accepting after an error such as a full file table; try again a little later.
    connect(listener_, &QTcpServer::acceptError, listener_, [listener] {
        QTimer::singleShot(accept_pause_ms, listener, [listener] { listener->resumeAccepting(); });
    });
    return true;
}

void live_server::stop() {
    if (listener_ != nullptr) {
        listener_->close();
        listener_->deleteLater();
        listener_ = nullptr;
    }
    const std::vector<http_connection*> open = connections_;
    for (http_connection* connection : open) {
        connection->close_now();
    }
    pages_.close_all();
    key_.clear();
}

quint16 live_server::port() const {
    return listener_ != nullptr ? listener_->serverPort() : 0;
}

int live_server::connection_count() const {
    return static_cast<int>(connections_.size()) + pages_.connection_count();
}

void live_server::broadcast(const QByteArray& message) {
    pages_.broadcast(message);
}

void live_server::accept_connections() {
    while (listener_ != nullptr && listener_->hasPendingConnections()) {
        QTcpSocket* socket = listener_->nextPendingConnection();
        if (connection_count() >= bounds_.max_connections && !close_longest_waiting()) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        connections_.push_back(new http_connection(socket, *this, bounds_, this));
    }
}

bool live_server::close_longest_waiting() {
    http_connection* longest = nullptr;
    for (http_connection* connection : connections_) {
        if (connection->idle() &&
            (longest == nullptr || connection->wait_order() < longest->wait_order())) {
            longest = connection;
        }
    }
    if (longest == nullptr) {
        return false;
    }
    longest->close_now();
    return true;
}

void live_server::ask_owner(const QString& path, std::function<void(http_answer)> reply) {
    if (answer) {
        answer(path, std::move(reply));
    } else {
        reply(status_answer(404));
    }
}

void live_server::take_page(QTcpSocket* socket, qsizetype head_size) {
    pages_.take(socket, head_size);
}

void live_server::connection_ended(http_connection* connection) {
    std::erase(connections_, connection);
}

}  // namespace quill
