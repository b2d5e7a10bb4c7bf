#include "live_map/support/served_game.h"

#include <QTimer>
#include <QUrl>

#include "live_map/support/loopback_client.h"

namespace quill::testing {

served_game::served_game(live_server_limits bounds) : server(bounds) {
    server.answer = [this](const QString& path, std::function<void(http_answer)> reply) {
        asked.push_back(path);
        if (path.isEmpty()) {
            reply({200, "text/html; charset=utf-8", page, 0});
        } else if (path == "app.js") {
            reply({200, "text/javascript", script, 0});
        } else if (path == "tiles/3/1/2.png") {
            reply({200, "image/png", tile, 3600});
        } else if (path == "later") {
            QTimer::singleShot(20, &server, [reply] { reply({200, "text/plain", "later", 0}); });
        } else if (path != "never") {
            reply(status_answer(404));
        }
    };
    server.greeting = [this] {
        ++greetings;
        return state;
    };
    server.start(QHostAddress::LocalHost, 0);
}

bool served_game::still_serves() const {
    const http_reply page_reply = fetch(port(), get_request(prefix()));
    const http_reply tile_reply = fetch(port(), get_request(prefix() + "tiles/3/1/2.png"));
    return server.running() && page_reply.status == 200 && page_reply.body == page &&
           tile_reply.status == 200 && tile_reply.body == tile;
}

page_client::page_client(const served_game& game, const QString& origin)
    : socket(origin.isEmpty() ? "http://127.0.0.1:" + QString::number(game.port()) : origin) {
    QObject::connect(&socket, &QWebSocket::textMessageReceived,
                     [this](const QString& message) { messages.push_back(message); });
    QObject::connect(&socket, &QWebSocket::disconnected, [this] { disconnected = true; });
    socket.open(QUrl("ws://127.0.0.1:" + QString::number(game.port()) +
                     QString::fromLatin1(game.prefix()) + "ws"));
}

bool page_client::wait_open(int timeout_ms) {
    return wait_until(
               [this] { return socket.state() == QAbstractSocket::ConnectedState || disconnected; },
               timeout_ms) &&
           socket.state() == QAbstractSocket::ConnectedState;
}

bool page_client::wait_messages(int count, int timeout_ms) {
    return wait_until([this, count] { return messages.size() >= count || disconnected; },
                      timeout_ms) &&
           messages.size() >= count;
}

}  // namespace quill::testing
