#include <gtest/gtest.h>

#include "live_map/http_request_parsing.h"
#include "live_map/live_routes.h"

namespace quill {
namespace {

constexpr qsizetype bound = 8192;

TEST(http_request_parsing, tells_complete_incomplete_malformed_and_too_large_heads) {
    const struct {
        QByteArray bytes;
        head_state state;
    } cases[] = {
        {"GET / HTTP/1.1\r\nHost: a\r\n\r\n", head_state::complete},
        {"GET / HTTP/1.0\r\n\r\n", head_state::complete},
        {"GET / HTTP/1.1\r\nHost: a\r\n", head_state::incomplete},
        {"GE", head_state::incomplete},
        {"", head_state::incomplete},
        // Garbage shows on its first line or its first control byte, before the head ends.
        {"\x16\x03\x01\x02\x00", head_state::malformed},
        {"GET / HTTP/2.0\r\n", head_state::malformed},
        {"GET  / HTTP/1.1\r\n", head_state::malformed},
        {"GET / x HTTP/1.1\r\n", head_state::malformed},
        {"G(T / HTTP/1.1\r\n", head_state::malformed},
        {"GET /\x80 HTTP/1.1\r\n", head_state::malformed},
        {"GET / HTTP/1.1\n\n", head_state::malformed},
        {"GET / HTTP/1.1\r\nHost: a\rb\r\n\r\n", head_state::malformed},
        {QByteArray("GET /\0 HTTP/1.1\r\n\r\n", 20), head_state::malformed},
        {"GET / HTTP/1.1\r\nHost : a\r\n\r\n", head_state::malformed},
        {"GET / HTTP/1.1\r\n folded: a\r\n\r\n", head_state::malformed},
        {"GET / HTTP/1.1\r\n: a\r\n\r\n", head_state::malformed},
        {"\r\n\r\n", head_state::malformed},
        {"GET / HTTP/1.1\r\nX: " + QByteArray(bound, 'a'), head_state::too_large},
        {"GET /" + QByteArray(bound, 'a'), head_state::too_large},
        // The empty line must end within the bound: 19 + 8169 + 4 bytes fit, one more does not.
        {"GET / HTTP/1.1\r\nX: " + QByteArray(bound - 23, 'a') + "\r\n\r\n", head_state::complete},
        {"GET / HTTP/1.1\r\nX: " + QByteArray(bound - 22, 'a') + "\r\n\r\n", head_state::too_large},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(parse_request_head(c.bytes, bound).state, c.state) << c.bytes.left(60).data();
    }
}

TEST(http_request_parsing, reads_the_fields_of_a_head_followed_by_more) {
    const QByteArray head =
        "HEAD /k/x/ HTTP/1.1\r\nHost:  a:1 \r\nConnection: keep-alive, Upgrade\r\n"
        "X-Empty:\r\n\r\n";
    const head_parse parsed = parse_request_head(head + "GET / HTTP/1.1\r\n", bound);
    ASSERT_EQ(parsed.state, head_state::complete);
    const http_request& request = parsed.request;
    EXPECT_EQ(request.method, "HEAD");
    EXPECT_EQ(request.target, "/k/x/");
    EXPECT_EQ(request.head_size, head.size());
    EXPECT_EQ(request.value("host"), "a:1");
    EXPECT_TRUE(request.lists("connection", "upgrade"));
    EXPECT_FALSE(request.lists("connection", "close"));
    EXPECT_EQ(request.count("x-empty"), 1);
    EXPECT_EQ(request.value("x-empty"), "");
}

route routed(const QByteArray& head) {
    const head_parse parsed = parse_request_head(head, bound);
    EXPECT_EQ(parsed.state, head_state::complete) << head.data();
    return route_request(parsed.request, "0123456789abcdef0123456789abcdef");
}

TEST(live_routes, serves_only_safe_paths_below_the_key) {
    const QByteArray key = "0123456789abcdef0123456789abcdef";
    const QByteArray other = "0123456789abcdef0123456789abcdee";
    const struct {
        QByteArray target;
        route_kind kind;
        QString path;
    } cases[] = {
        {"/k/" + key + "/", route_kind::page, ""},
        {"/k/" + key + "/tiles/3/1/2.png", route_kind::page, "tiles/3/1/2.png"},
        {"/k/" + key + "/app.js?v=3", route_kind::page, "app.js"},
        {"/k/" + key + "/.well-known", route_kind::page, ".well-known"},
        {"/k/" + key, route_kind::not_found, {}},
        {"/k/" + other + "/", route_kind::not_found, {}},
        {"/k/" + key.toUpper() + "/", route_kind::not_found, {}},
        {"/k/" + key + "x/", route_kind::not_found, {}},
        {"/k//", route_kind::not_found, {}},
        {"/", route_kind::not_found, {}},
        {"*", route_kind::not_found, {}},
        {"//k/" + key + "/", route_kind::not_found, {}},
        {"http://x/k/" + key + "/", route_kind::not_found, {}},
        {"/k/" + key + "/../etc/passwd", route_kind::not_found, {}},
        {"/k/" + key + "/a/../../b", route_kind::not_found, {}},
        {"/k/" + key + "/a..b", route_kind::not_found, {}},
        {"/k/" + key + "/./a", route_kind::not_found, {}},
        {"/k/" + key + "/a/.", route_kind::not_found, {}},
        {"/k/" + key + "/a//b", route_kind::not_found, {}},
        {"/k/" + key + "//etc/passwd", route_kind::not_found, {}},
        {"/k/" + key + "/%2e%2e/x", route_kind::not_found, {}},
        {"/k/" + key + "/a%2fb", route_kind::not_found, {}},
        {"/k/" + key + "/a\\..\\b", route_kind::not_found, {}},
        {"/k/" + key + "/a~b", route_kind::not_found, {}},
        {"/k/" + key + "/a#b", route_kind::not_found, {}},
        {"/k/" + key + "/ws", route_kind::not_found, {}},
    };
    for (const auto& c : cases) {
        const route r = routed("GET " + c.target + " HTTP/1.1\r\nHost: a\r\n\r\n");
        EXPECT_EQ(r.kind, c.kind) << c.target.data();
        EXPECT_EQ(r.path, c.path) << c.target.data();
    }
}

TEST(live_routes, takes_no_body_no_other_method_and_needs_one_plain_host) {
    const QByteArray target = "/k/0123456789abcdef0123456789abcdef/ HTTP/1.";
    const struct {
        QByteArray head;
        route_kind kind;
    } cases[] = {
        {"HEAD " + target + "1\r\nHost: a\r\n\r\n", route_kind::page},
        {"GET " + target + "0\r\n\r\n", route_kind::page},
        {"GET " + target + "1\r\nHost: a\r\nContent-Length: 0\r\n\r\n", route_kind::page},
        {"POST " + target + "1\r\nHost: a\r\n\r\n", route_kind::not_found},
        {"DELETE " + target + "1\r\nHost: a\r\n\r\n", route_kind::not_found},
        {"GET " + target + "1\r\n\r\n", route_kind::bad_request},
        {"GET " + target + "1\r\nHost: a\r\nHost: b\r\n\r\n", route_kind::bad_request},
        {"GET " + target + "1\r\nHost: a/b\r\n\r\n", route_kind::bad_request},
        {"GET " + target + "1\r\nHost: a;b\r\n\r\n", route_kind::bad_request},
        {"GET " + target + "1\r\nHost: a\r\nContent-Length: 4\r\n\r\n", route_kind::bad_request},
        {"GET " + target + "1\r\nHost: a\r\nTransfer-Encoding: chunked\r\n\r\n",
         route_kind::bad_request},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(routed(c.head).kind, c.kind) << c.head.data();
    }
}

TEST(live_routes, opens_the_websocket_only_for_a_sound_handshake_of_its_own_page) {
    const QByteArray line = "GET /k/0123456789abcdef0123456789abcdef/ws HTTP/1.1\r\n";
    const QByteArray sound =
        "Host: 10.0.0.2:8765\r\nUpgrade: websocket\r\nConnection: keep-alive, Upgrade\r\n"
        "Sec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\nSec-WebSocket-Version: 13\r\n";
    const struct {
        QByteArray fields;
        route_kind kind;
    } cases[] = {
        {sound + "Origin: http://10.0.0.2:8765\r\n", route_kind::websocket},
        {sound + "Origin: HTTP://10.0.0.2:8765\r\n", route_kind::websocket},
        {sound, route_kind::forbidden},
        {sound + "Origin: http://evil.example\r\n", route_kind::forbidden},
        {sound + "Origin: http://10.0.0.2:8766\r\n", route_kind::forbidden},
        {sound + "Origin: https://10.0.0.2:8765\r\n", route_kind::forbidden},
        {sound + "Origin: null\r\n", route_kind::forbidden},
        {sound + "Origin: http://10.0.0.2:8765\r\nOrigin: http://evil.example\r\n",
         route_kind::forbidden},
        {QByteArray(sound).replace("Version: 13", "Version: 8") +
             "Origin: http://10.0.0.2:8765\r\n",
         route_kind::bad_request},
        {QByteArray(sound).replace("dGhlIHNhbXBsZSBub25jZQ==", "short") +
             "Origin: http://10.0.0.2:8765\r\n",
         route_kind::bad_request},
        {QByteArray(sound).replace("keep-alive, Upgrade", "keep-alive") +
             "Origin: http://10.0.0.2:8765\r\n",
         route_kind::bad_request},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(routed(line + c.fields + "\r\n").kind, c.kind) << c.fields.data();
    }
    // An upgrade anywhere else, or to another key, finds nothing.
    EXPECT_EQ(routed(QByteArray(line).replace("/ws", "/x") + sound + "\r\n").kind,
              route_kind::not_found);
    EXPECT_EQ(routed(QByteArray(line).replace("ef/ws", "ee/ws") + sound + "\r\n").kind,
              route_kind::not_found);
}

}  // namespace
}  // namespace quill
