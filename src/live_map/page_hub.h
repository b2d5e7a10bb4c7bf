#pragma once

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QWebSocketServer>

#include <functional>
#include <vector>

#include "live_map/live_server_limits.h"

class QTcpSocket;
class QWebSocket;

namespace quill {

class page_frame_guard;

// The connected pages: takes sockets whose WebSocket request was found sound, lets Qt's
// WebSocket server answer the handshake, greets each new page with the whole state and sends
// every update to all of them. A page whose unsent bytes would pass max_queued_bytes, or that
// breaks the frame rules, is dropped; what pages send is otherwise ignored.
class page_hub : public QObject {
public:
    page_hub(const live_server_limits& limits, const std::function<QByteArray()>& greeting);
    ~page_hub() override;

    // Pages and sockets in their handshake, against max_pages.
    bool has_room() const;
    // socket holds exactly the handshake request, head_size bytes.
    void take(QTcpSocket* socket, qsizetype head_size);
    void broadcast(const QByteArray& message);
    int page_count() const { return static_cast<int>(pages_.size()); }
    // Open TCP connections: pages and handshakes.
    int connection_count() const;
    void close_all();

private:
    struct page {
        QWebSocket* socket;
        QTcpSocket* connection;
    };
    struct handshake {
        QPointer<QTcpSocket> connection;
        page_frame_guard* guard;  // a child of the connection
    };

    void adopt_new_pages();
    // Sends a text message unless it would queue more than the bound; false: the page is gone.
    bool send(const page& target, const QString& text, qsizetype size);
    void drop(QWebSocket* socket);
    void prune_handshakes() const;

    const live_server_limits limits_;
    const std::function<QByteArray()>& greeting_;
    QWebSocketServer server_;
    mutable std::vector<handshake> handshakes_;
    std::vector<page> pages_;
};

}  // namespace quill
