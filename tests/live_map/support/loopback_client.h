#pragma once

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <functional>
#include <map>

namespace quill::testing {

// Runs the event loop until done() holds or timeout_ms have passed; whether done() held.
bool wait_until(const std::function<bool()>& done, int timeout_ms);

// A plain TCP client of 127.0.0.1 on a non-blocking socket, for bytes no browser would send:
// it sends exactly what it is given and reads only when asked.
class loopback_client {
public:
    // receive_buffer: the system's receive buffer in bytes; 0 keeps the default.
    explicit loopback_client(quint16 port, int receive_buffer = 0);
    ~loopback_client();
    loopback_client(const loopback_client&) = delete;
    loopback_client& operator=(const loopback_client&) = delete;

    bool connected() const { return descriptor_ >= 0; }
    // Whether the system finished connecting, or gave up; does not wait.
    bool established() const;
    // Sends all of bytes, running the event loop while the system's buffer is full; false when
    // the server closed the connection or it took longer than timeout_ms.
    bool send(const QByteArray& bytes, int timeout_ms = 5000);
    // Reads what has arrived, without waiting.
    void read_arrived();
    // Runs the event loop, reading, until the server closed the connection.
    bool wait_closed(int timeout_ms);
    // Runs the event loop, reading, until what arrived holds text.
    bool wait_for(const QByteArray& text, int timeout_ms);
    bool closed_by_server() const { return closed_; }
    QByteArray& received() { return received_; }

private:
    int descriptor_ = -1;
    QByteArray received_;
    bool closed_ = false;
};

struct http_reply {
    int status = 0;                           // 0: no whole answer arrived
    std::map<QByteArray, QByteArray> fields;  // names in lower case
    QByteArray body;
    qsizetype size = 0;  // bytes of the whole answer
};

// The first answer at the start of bytes; head_only: an answer to HEAD, without a body.
http_reply parse_reply(const QByteArray& bytes, bool head_only = false);

// Sends request on a fresh connection and waits up to timeout_ms for the whole answer.
http_reply fetch(quint16 port, const QByteArray& request, int timeout_ms = 5000);

// "GET <target> HTTP/1.1" with a Host field and further fields, each ending in CR LF.
QByteArray get_request(const QByteArray& target, const QByteArray& more_fields = {});

// A WebSocket handshake request for target with the Origin of the server's own page.
QByteArray socket_request(quint16 port, const QByteArray& target, const QByteArray& origin = {});

// A WebSocket frame as a client sends it, masked unless told otherwise.
QByteArray client_frame(int opcode, const QByteArray& payload, bool masked = true,
                        bool final_frame = true);

// Heap bytes in use by the process, as the allocator counts them.
std::size_t heap_in_use();

}  // namespace quill::testing
