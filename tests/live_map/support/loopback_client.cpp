#include "live_map/support/loopback_client.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <arpa/inet.h>
#include <fcntl.h>
#include <malloc.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

namespace quill::testing {

bool wait_until(const std::function<bool()>& done, int timeout_ms) {
    QElapsedTimer clock;
    clock.start();
    QEventLoop loop;
    QTimer tick;
    tick.setInterval(2);
    QObject::connect(&tick, &QTimer::timeout, &loop, [&] {
        if (done() || clock.elapsed() >= timeout_ms) {
            loop.quit();
        }
    });
    if (done()) {
        return true;
    }
    tick.start();
    loop.exec();
    return done();
}

loopback_client::loopback_client(quint16 port, int receive_buffer) {
    descriptor_ = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
    if (descriptor_ < 0) {
        return;
    }
    if (receive_buffer > 0) {
        ::setsockopt(descriptor_, SOL_SOCKET, SO_RCVBUF, &receive_buffer, sizeof receive_buffer);
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(descriptor_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 &&
        errno != EINPROGRESS) {
        ::close(descriptor_);
        descriptor_ = -1;
    }
}

loopback_client::~loopback_client() {
    if (descriptor_ >= 0) {
        ::close(descriptor_);
    }
}

bool loopback_client::established() const {
    pollfd watched{descriptor_, POLLOUT, 0};
    return ::poll(&watched, 1, 0) == 1;
}

bool loopback_client::send(const QByteArray& bytes, int timeout_ms) {
    qsizetype sent = 0;
    wait_until(
        [&] {
            while (!closed_ && sent < bytes.size()) {
                const ssize_t now =
                    ::send(descriptor_, bytes.constData() + sent,
                           static_cast<std::size_t>(bytes.size() - sent), MSG_NOSIGNAL);
                if (now > 0) {
                    sent += now;
                } else if (now < 0 && (errno == EAGAIN || errno == EWOULDBLOCK ||
                                       errno == EINPROGRESS || errno == ENOTCONN)) {
                    return false;
                } else {
                    closed_ = true;
                }
            }
            return true;
        },
        timeout_ms);
    return !closed_ && sent == bytes.size();
}

void loopback_client::read_arrived() {
    char chunk[16384];
    while (!closed_) {
        const ssize_t got = ::recv(descriptor_, chunk, sizeof chunk, 0);
        if (got > 0) {
            received_.append(chunk, got);
        } else if (got == 0 || (errno != EAGAIN && errno != EWOULDBLOCK && errno != ENOTCONN)) {
            closed_ = true;
        } else {
            return;
        }
    }
}

bool loopback_client::wait_closed(int timeout_ms) {
    return wait_until(
        [this] {
            read_arrived();
            return closed_;
        },
        timeout_ms);
}

bool loopback_client::wait_for(const QByteArray& text, int timeout_ms) {
    return wait_until(
               [this, &text] {
                   read_arrived();
                   return received_.contains(text) || closed_;
               },
               timeout_ms) &&
           received_.contains(text);
}

http_reply parse_reply(const QByteArray& bytes, bool head_only) {
    http_reply reply;
    const qsizetype end = bytes.indexOf("\r\n\r\n");
    if (end < 0) {
        return reply;
    }
    const QList<QByteArray> lines = bytes.left(end).split('\n');
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines[i].trimmed();
        const qsizetype colon = line.indexOf(':');
        reply.fields[line.left(colon).toLower()] = line.mid(colon + 1).trimmed();
    }
    const qsizetype length = head_only || !reply.fields.contains("content-length")
                                 ? 0
                                 : reply.fields["content-length"].toLongLong();
    if (bytes.size() < end + 4 + length) {
        return reply;
    }
    reply.status = lines.value(0).split(' ').value(1).toInt();
    reply.body = bytes.mid(end + 4, length);
    reply.size = end + 4 + length;
    return reply;
}

http_reply fetch(quint16 port, const QByteArray& request, int timeout_ms) {
    loopback_client client(port);
    client.send(request, timeout_ms);
    const bool head_only = request.startsWith("HEAD ");
    wait_until(
        [&] {
            client.read_arrived();
            return client.closed_by_server() ||
                   parse_reply(client.received(), head_only).status != 0;
        },
        timeout_ms);
    return parse_reply(client.received(), head_only);
}

QByteArray get_request(const QByteArray& target, const QByteArray& more_fields) {
    return "GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\n" + more_fields + "\r\n";
}

QByteArray socket_request(quint16 port, const QByteArray& target, const QByteArray& origin) {
    const QByteArray host = "127.0.0.1:" + QByteArray::number(port);
    return "GET " + target + " HTTP/1.1\r\nHost: " + host +
           "\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n"
           "Sec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\nSec-WebSocket-Version: 13\r\n"
           "Origin: " +
           (origin.isEmpty() ? "http://" + host : origin) + "\r\n\r\n";
}

QByteArray client_frame(int opcode, const QByteArray& payload, bool masked, bool final_frame) {
    QByteArray frame;
    frame.append(static_cast<char>((final_frame ? 0x80 : 0) | (opcode & 0x0f)));
    const char mask_bit = masked ? static_cast<char>(0x80) : 0;
    if (payload.size() <= 125) {
        frame.append(static_cast<char>(mask_bit | payload.size()));
    } else {
        frame.append(static_cast<char>(mask_bit | 126));
        frame.append(static_cast<char>((payload.size() >> 8) & 0xff));
        frame.append(static_cast<char>(payload.size() & 0xff));
    }
    const QByteArray mask = masked ? QByteArray("\x12\x34\x56\x78", 4) : QByteArray();
    frame.append(mask);
    for (qsizetype i = 0; i < payload.size(); ++i) {
        frame.append(masked ? static_cast<char>(payload[i] ^ mask[i % 4]) : payload[i]);
    }
    return frame;
}

std::size_t heap_in_use() {
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

}  // namespace quill::testing
