#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QRegularExpression>
#include <QTcpServer>

#include <memory>
#include <set>

#include "live_map/support/loopback_client.h"
#include "live_map/support/served_game.h"

namespace quill {
namespace {

using testing::fetch;
using testing::get_request;
using testing::http_reply;
using testing::loopback_client;
using testing::page_client;
using testing::parse_reply;
using testing::served_game;
using testing::socket_request;
using testing::wait_until;

bool is_key(const QString& key) {
    return QRegularExpression("^[0-9a-f]{32}$").match(key).hasMatch();
}

TEST(live_server, makes_a_new_key_for_each_sharing_and_voids_the_old_one) {
    served_game game;
    ASSERT_TRUE(game.server.running());
    const QString first = game.server.key();
    EXPECT_TRUE(is_key(first));
    game.server.stop();
    EXPECT_FALSE(game.server.running());
    EXPECT_TRUE(game.server.key().isEmpty());
    ASSERT_TRUE(game.server.start(QHostAddress::LocalHost, 0));
    EXPECT_TRUE(is_key(game.server.key()));
    EXPECT_NE(game.server.key(), first);
    EXPECT_EQ(fetch(game.port(), get_request("/k/" + first.toLatin1() + "/")).status, 404);
    EXPECT_EQ(fetch(game.port(), get_request(game.prefix())).status, 200);
}

TEST(live_server, takes_another_port_when_the_preferred_one_is_taken) {
    QTcpServer taken;
    ASSERT_TRUE(taken.listen(QHostAddress::LocalHost, 0));
    live_server server;
    ASSERT_TRUE(server.start(QHostAddress::LocalHost, taken.serverPort()));
    EXPECT_NE(server.port(), 0);
    EXPECT_NE(server.port(), taken.serverPort());
}

TEST(live_server, answers_every_request_without_the_key_alike_with_404) {
    served_game game;
    const QByteArray key = game.server.key().toLatin1();
    QByteArray wrong = key;
    wrong[31] = wrong[31] == '0' ? '1' : '0';
    const QByteArray targets[] = {
        "/",
        "/k/",
        "/k/" + wrong + "/",
        "/k/" + key,
        "/k/" + key + "/../etc/passwd",
        "/k/" + key + "/%2e%2e/x",
        "/k/" + key + "/a\\..\\b",
        "//k/" + key + "/",
        "http://127.0.0.1/k/" + key + "/",
        "/k/" + wrong + "/" + QByteArray(7000, 'a'),
        "/k/" + key + "/ws",
        "/favicon.ico",
    };
    QByteArray first_answer;
    for (const QByteArray& target : targets) {
        loopback_client client(game.port());
        ASSERT_TRUE(client.send(get_request(target)));
        ASSERT_TRUE(wait_until(
            [&] {
                client.read_arrived();
                return parse_reply(client.received()).status != 0;
            },
            5000))
            << target.left(60).data();
        const QByteArray answer = client.received();
        EXPECT_EQ(parse_reply(answer).status, 404) << target.left(60).data();
        if (first_answer.isEmpty()) {
            first_answer = answer;
        }
        EXPECT_EQ(answer, first_answer) << target.left(60).data();
    }
    EXPECT_FALSE(parse_reply(first_answer).fields.contains("server"));
    EXPECT_TRUE(game.asked.empty());
}

TEST(live_server, answers_garbage_and_oversized_heads_with_an_error_and_closes) {
    served_game game;
    const QByteArray page = game.prefix();
    const struct {
        QByteArray request;
        int status;
    } cases[] = {
        {QByteArray("GET /k/\0/ HTTP/1.1\r\nHost: a\r\n\r\n", 31), 400},
        {"GET " + page + " HTTP/1.1\nHost: a\n\n", 400},
        {"HELLO\r\n\r\n", 400},
        {QByteArray("\x16\x03\x01\x00\xa5\x01\x00\x00", 8), 400},
        {"GET " + page + " HTTP/1.1\r\n\r\n", 400},
        {"GET " + page + " HTTP/1.1\r\nHost: a\r\nContent-Length: 3\r\n\r\nabc", 400},
        {"GET " + page + " HTTP/3\r\nHost: a\r\n\r\n", 400},
        {"GET " + page + QByteArray(9000, 'a') + " HTTP/1.1\r\nHost: a\r\n\r\n", 431},
        {"POST " + page + " HTTP/1.1\r\nHost: a\r\nContent-Length: 0\r\n\r\n", 404},
    };
    for (const auto& c : cases) {
        loopback_client client(game.port());
        client.send(c.request);
        EXPECT_TRUE(client.wait_closed(5000)) << c.request.left(40).data();
        EXPECT_EQ(parse_reply(client.received()).status, c.status) << c.request.left(40).data();
    }
    EXPECT_TRUE(game.asked.empty());
    EXPECT_TRUE(game.still_serves());
}

TEST(live_server, serves_the_owners_answers_with_safe_fields_and_nothing_else) {
    served_game game;
    const http_reply page = fetch(game.port(), get_request(game.prefix()));
    EXPECT_EQ(page.status, 200);
    EXPECT_EQ(page.body, served_game::page);
    const std::map<QByteArray, QByteArray> page_fields = {
        {"content-type", "text/html; charset=utf-8"},
        {"content-length", QByteArray::number(served_game::page.size())},
        {"cache-control", "no-store"},
        {"x-content-type-options", "nosniff"},
        {"referrer-policy", "no-referrer"},
        {"x-frame-options", "DENY"},
        {"content-security-policy",
         "default-src 'none'; script-src 'self'; style-src 'self'; img-src 'self'; "
         "connect-src 'self' ws://127.0.0.1; base-uri 'none'; form-action 'none'; "
         "frame-ancestors 'none'"},
    };
    EXPECT_EQ(page.fields, page_fields);

    const http_reply tile = fetch(game.port(), get_request(game.prefix() + "tiles/3/1/2.png"));
    EXPECT_EQ(tile.status, 200);
    EXPECT_EQ(tile.body, served_game::tile);
    EXPECT_EQ(tile.fields.at("cache-control"), "private, max-age=3600");
    EXPECT_EQ(tile.fields.at("content-type"), "image/png");
    EXPECT_FALSE(tile.fields.contains("content-security-policy"));

    loopback_client client(game.port());
    client.send("HEAD " + game.prefix() + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n" +
                get_request(game.prefix() + "app.js"));
    ASSERT_TRUE(client.wait_for(served_game::script, 5000));
    const http_reply head = parse_reply(client.received(), true);
    EXPECT_EQ(head.fields, page_fields);
    EXPECT_EQ(head.size, client.received().indexOf("HTTP/1.1 200", 1));
    EXPECT_EQ(game.asked, (std::vector<QString>{"", "tiles/3/1/2.png", "", "app.js"}));
}

TEST(live_server, keeps_a_connection_for_more_requests_unless_told_otherwise) {
    served_game game;
    const QByteArray prefix = game.prefix();
    loopback_client client(game.port());
    // Sent at once; the late answer must still come before the ones after it.
    client.send(get_request(prefix) + get_request(prefix + "later") + get_request(prefix + "x") +
                get_request(prefix + "app.js"));
    ASSERT_TRUE(client.wait_for(served_game::script, 5000));
    QByteArray rest = client.received();
    std::vector<int> statuses;
    QByteArrayList bodies;
    while (parse_reply(rest).status != 0) {
        const http_reply reply = parse_reply(rest);
        statuses.push_back(reply.status);
        bodies.push_back(reply.body);
        rest = rest.mid(reply.size);
    }
    EXPECT_EQ(statuses, (std::vector<int>{200, 200, 404, 200}));
    EXPECT_EQ(bodies.value(1), "later");
    EXPECT_EQ(bodies.value(3), served_game::script);
    EXPECT_FALSE(client.closed_by_server());

    const struct {
        QByteArray request;
    } closing[] = {
        {get_request(prefix, "Connection: close\r\n")},
        {"GET " + prefix + " HTTP/1.0\r\n\r\n"},
        {get_request(prefix + "nothing", "Connection: Close\r\n")},
    };
    for (const auto& c : closing) {
        loopback_client once(game.port());
        once.send(c.request);
        EXPECT_TRUE(once.wait_closed(5000)) << c.request.data();
        EXPECT_NE(parse_reply(once.received()).status, 0) << c.request.data();
    }
}

TEST(live_server, sends_a_late_answer_once_and_drops_it_when_the_connection_is_gone) {
    served_game game;
    std::vector<std::function<void(http_answer)>> replies;
    game.server.answer = [&replies](const QString&, std::function<void(http_answer)> reply) {
        replies.push_back(std::move(reply));
    };
    loopback_client staying(game.port());
    staying.send(get_request(game.prefix() + "a"));
    ASSERT_TRUE(wait_until([&] { return replies.size() == 1; }, 5000));
    {
        loopback_client leaving(game.port());
        leaving.send(get_request(game.prefix() + "b"));
        ASSERT_TRUE(wait_until([&] { return replies.size() == 2; }, 5000));
    }
    ASSERT_TRUE(wait_until([&] { return game.server.connection_count() == 1; }, 5000));
    replies[1]({200, "text/plain", "gone", 0});
    replies[0]({200, "text/plain", "first", 0});
    replies[0]({200, "text/plain", "second", 0});
    ASSERT_TRUE(staying.wait_for("first", 5000));
    staying.send(get_request(game.prefix() + "c"));
    ASSERT_TRUE(wait_until([&] { return replies.size() == 3; }, 5000));
    replies[2]({200, "text/plain", "third", 0});
    ASSERT_TRUE(staying.wait_for("third", 5000));
    EXPECT_FALSE(staying.received().contains("second"));
}

TEST(live_server, greets_each_page_with_the_whole_state_and_pushes_every_update) {
    served_game game;
    page_client first(game);
    page_client second(game);
    ASSERT_TRUE(first.wait_open());
    ASSERT_TRUE(second.wait_open());
    ASSERT_TRUE(first.wait_messages(1));
    ASSERT_TRUE(second.wait_messages(1));
    EXPECT_EQ(first.messages.value(0), served_game::state);
    EXPECT_EQ(game.server.page_count(), 2);

    game.server.broadcast(R"({"moved":[1,130,80]})");
    ASSERT_TRUE(first.wait_messages(2));
    ASSERT_TRUE(second.wait_messages(2));
    EXPECT_EQ(second.messages.value(1), R"({"moved":[1,130,80]})");

    // What a page sends changes nothing and keeps it connected.
    first.socket.sendTextMessage(R"({"move":[1,0,0]})");
    first.socket.sendBinaryMessage("x");
    first.socket.ping("p");
    game.server.broadcast("{}");
    ASSERT_TRUE(first.wait_messages(3));
    ASSERT_TRUE(second.wait_messages(3));
    EXPECT_EQ(game.server.page_count(), 2);
    EXPECT_EQ(game.greetings, 2);
    EXPECT_TRUE(game.asked.empty());
}

TEST(live_server, opens_the_websocket_only_to_pages_of_its_own_origin) {
    served_game game;
    const QByteArray target = game.prefix() + "ws";
    const struct {
        QByteArray request;
        int status;
    } cases[] = {
        {socket_request(game.port(), target, "http://evil.example"), 403},
        {socket_request(game.port(), target, "http://127.0.0.1:1"), 403},
        {QByteArray(socket_request(game.port(), target)).replace("Origin", "X-Origin"), 403},
        {socket_request(game.port(), "/k/00000000000000000000000000000000/ws"), 404},
        {socket_request(game.port(), target).replace("Version: 13", "Version: 12"), 400},
    };
    for (const auto& c : cases) {
        loopback_client client(game.port());
        client.send(c.request);
        EXPECT_TRUE(client.wait_closed(5000));
        EXPECT_EQ(parse_reply(client.received()).status, c.status);
    }
    EXPECT_EQ(game.server.page_count(), 0);

    loopback_client page(game.port());
    page.send(socket_request(game.port(), target));
    ASSERT_TRUE(page.wait_for(served_game::state, 5000));
    const http_reply upgrade = parse_reply(page.received());
    EXPECT_EQ(upgrade.status, 101);
    EXPECT_FALSE(upgrade.fields.contains("server"));
    EXPECT_EQ(game.server.page_count(), 1);
}

TEST(live_server, answers_503_to_the_page_beyond_the_limit_and_takes_it_once_one_left) {
    live_server_limits bounds;
    bounds.max_pages = 3;
    served_game game(bounds);
    std::vector<std::unique_ptr<page_client>> pages;
    for (int i = 0; i < 3; ++i) {
        pages.push_back(std::make_unique<page_client>(game));
        ASSERT_TRUE(pages.back()->wait_open());
    }
    loopback_client refused(game.port());
    refused.send(socket_request(game.port(), game.prefix() + "ws"));
    EXPECT_TRUE(refused.wait_closed(5000));
    EXPECT_EQ(parse_reply(refused.received()).status, 503);
    EXPECT_EQ(game.server.page_count(), 3);

    pages.front()->socket.close();
    ASSERT_TRUE(wait_until([&] { return game.server.page_count() == 2; }, 5000));
    page_client late(game);
    EXPECT_TRUE(late.wait_open());
    EXPECT_TRUE(late.wait_messages(1));
}

TEST(live_server, holds_64_pages_and_refuses_the_65th) {
    served_game game;
    std::vector<std::unique_ptr<page_client>> pages;
    for (int i = 0; i < 64; ++i) {
        pages.push_back(std::make_unique<page_client>(game));
    }
    for (const auto& page : pages) {
        ASSERT_TRUE(page->wait_open());
    }
    loopback_client refused(game.port());
    refused.send(socket_request(game.port(), game.prefix() + "ws"));
    EXPECT_TRUE(refused.wait_closed(5000));
    EXPECT_EQ(parse_reply(refused.received()).status, 503);
    game.server.broadcast("{}");
    for (const auto& page : pages) {
        EXPECT_TRUE(page->wait_messages(2));
    }
    EXPECT_EQ(game.server.page_count(), 64);
}

TEST(live_server, closes_a_connection_that_makes_no_progress_and_keeps_one_that_asks) {
    live_server_limits bounds;
    bounds.request_ms = 1500;
    served_game game(bounds);
    loopback_client silent(game.port());
    loopback_client halfway(game.port());
    halfway.send("GET " + game.prefix() + " HTTP/1.1\r\n");
    loopback_client waiting(game.port());
    waiting.send(get_request(game.prefix() + "never"));
    loopback_client asking(game.port());
    QElapsedTimer clock;
    clock.start();
    // Twenty requests, 100 ms apart: well past the limit, never idle that long.
    for (int i = 0; i < 20; ++i) {
        const qsizetype before = asking.received().size();
        ASSERT_TRUE(asking.send(get_request(game.prefix() + "app.js")));
        ASSERT_TRUE(wait_until(
            [&] {
                asking.read_arrived();
                return parse_reply(asking.received().mid(before)).status == 200;
            },
            5000));
        wait_until([&] { return clock.elapsed() >= 100 * (i + 1); }, 1000);
    }
    EXPECT_FALSE(asking.closed_by_server());
    for (loopback_client* closed : {&silent, &halfway, &waiting}) {
        EXPECT_TRUE(closed->wait_closed(10'000));
        EXPECT_TRUE(closed->received().isEmpty());
    }
}

TEST(live_server, makes_room_for_a_new_connection_by_closing_the_longest_waiting) {
    live_server_limits bounds;
    bounds.max_connections = 4;
    served_game game(bounds);
    std::vector<std::unique_ptr<loopback_client>> idle;
    for (int i = 0; i < 4; ++i) {
        idle.push_back(std::make_unique<loopback_client>(game.port()));
        ASSERT_TRUE(wait_until([&] { return game.server.connection_count() == i + 1; }, 5000));
    }
    EXPECT_EQ(fetch(game.port(), get_request(game.prefix())).status, 200);
    EXPECT_TRUE(idle[0]->wait_closed(5000));
    EXPECT_FALSE(idle[1]->closed_by_server());

    // Four connections waiting for their answers leave no room.
    std::vector<std::unique_ptr<loopback_client>> busy;
    for (int i = 0; i < 4; ++i) {
        busy.push_back(std::make_unique<loopback_client>(game.port()));
        busy.back()->send(get_request(game.prefix() + "never"));
        ASSERT_TRUE(
            wait_until([&] { return game.asked.size() == static_cast<std::size_t>(i + 2); }, 5000));
    }
    loopback_client refused(game.port());
    refused.send(get_request(game.prefix()));
    EXPECT_TRUE(refused.wait_closed(5000));
    EXPECT_TRUE(refused.received().isEmpty());
    EXPECT_LE(game.server.connection_count(), 4);
}

TEST(live_server, stop_closes_every_connection_and_page) {
    served_game game;
    page_client page(game);
    ASSERT_TRUE(page.wait_open());
    loopback_client idle(game.port());
    ASSERT_TRUE(wait_until([&] { return game.server.connection_count() == 2; }, 5000));
    game.server.stop();
    EXPECT_TRUE(idle.wait_closed(5000));
    EXPECT_TRUE(wait_until([&] { return page.disconnected; }, 5000));
    EXPECT_EQ(game.server.page_count(), 0);
    EXPECT_EQ(game.server.connection_count(), 0);
    EXPECT_EQ(game.server.port(), 0);
}

}  // namespace
}  // namespace quill
