#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QWebSocket>

#include <vector>

#include "live_map/live_server.h"

namespace quill::testing {

// A live server on 127.0.0.1 over a game that never changes: its page, a script, a tile that
// may be cached, an answer that comes 20 ms later and one that never comes. It notes every
// path it was asked for; nothing in it can change the game.
class served_game {
public:
    explicit served_game(live_server_limits bounds = {});

    static inline const QByteArray state = R"({"tokens":[{"id":1,"x":120,"y":80}]})";
    static inline const QByteArray page = "<!doctype html><title>Karte</title>";
    static inline const QByteArray script = "console.log(1);";
    static inline const QByteArray tile = QByteArray("\x89PNG\r\n\x1a\n", 8);

    quint16 port() const { return server.port(); }
    // "/k/<key>/".
    QByteArray prefix() const { return "/k/" + server.key().toLatin1() + "/"; }
    // Whether the page and a tile are still served as they were.
    bool still_serves() const;

    live_server server;
    std::vector<QString> asked;
    int greetings = 0;
};

// A browser's page: Qt's WebSocket client with the Origin of the server's page.
class page_client {
public:
    page_client(const served_game& game, const QString& origin = {});
    bool wait_open(int timeout_ms = 5000);
    bool wait_messages(int count, int timeout_ms = 5000);

    QWebSocket socket;
    QStringList messages;
    bool disconnected = false;
};

}  // namespace quill::testing
