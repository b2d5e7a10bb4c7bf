#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRegularExpression>

#include <sys/resource.h>

#include <algorithm>
#include <iostream>
#include <memory>

#include "live_map/support/loopback_client.h"
#include "live_map/support/served_game.h"

namespace quill {
namespace {

using testing::fetch;
using testing::get_request;
using testing::heap_in_use;
using testing::loopback_client;
using testing::parse_reply;
using testing::served_game;
using testing::wait_until;

// Every path the owner was asked for is one it may answer without a second look.
bool only_safe_paths(const served_game& game) {
    const QRegularExpression safe("^[A-Za-z0-9._/-]*$");
    return std::ranges::all_of(game.asked, [&](const QString& path) {
        return safe.match(path).hasMatch() && !path.contains("..") && !path.startsWith('/');
    });
}

TEST(hostile_requests, traversal_and_odd_paths_find_nothing) {
    served_game game;
    const QByteArray key = game.server.key().toLatin1();
    const QByteArray below = "/k/" + key + "/";
    const struct {
        QByteArray target;
        int status;
    } cases[] = {
        {below + "../../../../etc/passwd", 404},
        {below + "..%2f..%2fetc%2fpasswd", 404},
        {below + "%2e%2e/%2e%2e/etc/passwd", 404},
        {below + "%252e%252e/etc/passwd", 404},
        {below + "%c0%ae%c0%ae/etc/passwd", 404},
        {below + ".%2e/etc/passwd", 404},
        {below + "....//....//etc/passwd", 404},
        {below + "..;/etc/passwd", 404},
        {below + "..\\..\\etc\\passwd", 404},
        {below + "./././app.js", 404},
        {below + "tiles/../app.js", 404},
        {below + "/etc/passwd", 404},
        {below + "a%00.png", 404},
        {below + "file:///etc/passwd", 404},
        {below + "~/.ssh/id_rsa", 404},
        {"/k/" + key + "/..", 404},
        {"/k/" + key.toUpper() + "/", 404},
        {"/K/" + key + "/", 404},
        {"/k/" + key + "%2f", 404},
        {"/k/" + key + "/." + "./etc/passwd", 404},
        {"/k/./" + key + "/", 404},
        {"/k/../k/" + key + "/", 404},
        {"/../k/" + key + "/", 404},
        {"http://127.0.0.1/k/" + key + "/", 404},
        {"//127.0.0.1/k/" + key + "/", 404},
        {"*", 404},
        {"/k/" + key + "/\x80\x80", 400},
        {"/k/" + key + "/a\tb", 400},
        {"/k/" + key + "/" + QByteArray(9000, 'a'), 431},
        // A query never reaches the owner: this is the page itself.
        {below + "?../../etc/passwd", 200},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(fetch(game.port(), get_request(c.target)).status, c.status)
            << c.target.left(80).data();
    }
    EXPECT_TRUE(only_safe_paths(game));
    EXPECT_TRUE(game.still_serves());
}

TEST(hostile_requests, a_head_of_100_kib_gets_431_and_holds_no_more_than_the_bound) {
    served_game game;
    const QByteArray request = "GET " + game.prefix() +
                               " HTTP/1.1\r\nHost: a\r\nX-Big: " + QByteArray(100 * 1024, 'a') +
                               "\r\n\r\n";
    loopback_client client(game.port());
    const std::size_t before = heap_in_use();
    std::size_t peak = before;
    client.send(request);
    EXPECT_TRUE(wait_until(
        [&] {
            peak = std::max(peak, heap_in_use());
            client.read_arrived();
            return client.closed_by_server();
        },
        10'000));
    EXPECT_EQ(parse_reply(client.received()).status, 431);
    const std::size_t growth = peak - before;
    std::cout << "heap growth while a 100 KiB head arrived: " << growth / 1024 << " KiB\n";
    EXPECT_LT(growth, 256u * 1024);
    EXPECT_TRUE(game.asked.empty());
    EXPECT_TRUE(game.still_serves());
}

TEST(hostile_requests, a_request_trickled_a_byte_a_second_is_closed_after_10_s) {
    served_game game;
    const QByteArray request = get_request(game.prefix());
    loopback_client client(game.port());
    QElapsedTimer clock;
    clock.start();
    int sent = 0;
    while (!client.closed_by_server() && sent < request.size() && clock.elapsed() < 20'000) {
        client.send(request.mid(sent, 1));
        ++sent;
        wait_until(
            [&] {
                client.read_arrived();
                return client.closed_by_server() || clock.elapsed() >= sent * 1000;
            },
            2000);
    }
    EXPECT_TRUE(client.closed_by_server());
    // The bound counts from the connection, not from the last byte; a coarse timer may fire a
    // little early.
    EXPECT_GE(clock.elapsed(), 9000);
    EXPECT_LE(sent, 12);
    EXPECT_TRUE(client.received().isEmpty());
    EXPECT_TRUE(game.asked.empty());
    EXPECT_TRUE(game.still_serves());
}

// Raises this process's limit of open files so that 1000 clients and the server fit.
bool allow_open_files(rlim_t wanted) {
    rlimit files{};
    getrlimit(RLIMIT_NOFILE, &files);
    if (files.rlim_cur >= wanted) {
        return true;
    }
    files.rlim_cur = std::min(wanted, files.rlim_max);
    return setrlimit(RLIMIT_NOFILE, &files) == 0 && files.rlim_cur >= wanted;
}

TEST(hostile_requests, a_thousand_connections_at_once_leave_the_server_bounded_and_answering) {
    constexpr int attackers = 1000;
    ASSERT_TRUE(allow_open_files(attackers + 512));
    served_game game;
    const int bound = live_server_limits{}.max_connections;
    // What a first connection makes once for good is not the attack's.
    ASSERT_TRUE(game.still_serves());
    const std::size_t before = heap_in_use();
    std::size_t peak = before;
    int most_connections = 0;
    const auto watch = [&] {
        peak = std::max(peak, heap_in_use());
        most_connections = std::max(most_connections, game.server.connection_count());
    };
    std::vector<std::unique_ptr<loopback_client>> clients;
    for (int i = 0; i < attackers; ++i) {
        clients.push_back(std::make_unique<loopback_client>(game.port()));
        ASSERT_TRUE(clients.back()->connected());
    }
    // The system holds only so many unaccepted connections and makes the rest try again.
    EXPECT_TRUE(wait_until(
        [&] {
            watch();
            return std::ranges::all_of(clients, [](const auto& c) { return c->established(); });
        },
        30'000));
    // A third send half a request, a third garbage, a third nothing.
    for (int i = 0; i < attackers; ++i) {
        if (i % 3 == 0) {
            clients[i]->send("GET " + game.prefix() + " HTTP/1.1\r\nHo", 0);
        } else if (i % 3 == 1) {
            clients[i]->send(QByteArray(64, '\x01'), 0);
        }
    }
    const int status = fetch(game.port(), get_request(game.prefix()), 15'000).status;
    watch();
    EXPECT_EQ(status, 200);
    EXPECT_LE(most_connections, bound);

    clients.clear();
    EXPECT_TRUE(wait_until(
        [&] {
            watch();
            return game.server.connection_count() == 0;
        },
        15'000));
    // The closed connections' objects go once the event loop gets to them.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    const std::size_t after = heap_in_use();
    std::cout << "1000 connections: at most " << most_connections
              << " open in the server; heap growth at the peak " << (peak - before) / 1024
              << " KiB, after they closed " << (std::max(after, before) - before) / 1024
              << " KiB\n";
    EXPECT_LT(peak - before, 16u << 20);
    EXPECT_LT(std::max(after, before) - before, 1u << 20);
    EXPECT_TRUE(game.still_serves());
}

}  // namespace
}  // namespace quill
