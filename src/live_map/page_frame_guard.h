#pragma once

#include <QObject>

#include <functional>

#include "live_map/client_frame_check.h"

class QTcpSocket;

namespace quill {

// Reads along, ahead of Qt's WebSocket, what a page sends on its socket, and calls broken at the
// first frame that breaks the rules (Qt itself lets an unmasked frame pass). It lives as a child
// of the socket. Its first watcher runs before the WebSocket's own reading, since it was
// connected first, and checks the bytes that arrived since; a second one, connected once the
// WebSocket exists, notes what the WebSocket left unread, which was checked already.
class page_frame_guard : public QObject {
public:
    // Connects the first watcher: must come before the socket is handed to the WebSocket server.
    // head_size: the bytes of the handshake request, all the socket holds now.
    page_frame_guard(QTcpSocket* socket, qsizetype head_size, std::function<void()> broken);

    // The handshake is done and the WebSocket reads the socket. False when the client sent more
    // before the server's answer, which a client must not do.
    bool start();

private:
    void check_arrivals();

    QTcpSocket* socket_;
    qsizetype head_size_;
    std::function<void()> broken_;
    client_frame_check check_;
    bool started_ = false;
    bool early_bytes_ = false;
    // The bytes at the start of the socket's buffer that were checked already.
    qint64 checked_ = 0;
};

}  // namespace quill
