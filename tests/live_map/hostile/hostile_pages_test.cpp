#include <gtest/gtest.h>

#include <QRandomGenerator>

#include <algorithm>
#include <iostream>

#include "live_map/support/loopback_client.h"
#include "live_map/support/served_game.h"

namespace quill {
namespace {

using testing::client_frame;
using testing::heap_in_use;
using testing::loopback_client;
using testing::page_client;
using testing::served_game;
using testing::socket_request;
using testing::wait_until;

QByteArray bytes(std::initializer_list<int> values) {
    QByteArray out;
    for (int value : values) {
        out.append(static_cast<char>(value));
    }
    return out;
}

// A page of raw bytes: handshake done and greeted.
bool open_raw_page(const served_game& game, loopback_client& page) {
    return page.send(socket_request(game.port(), game.prefix() + "ws")) &&
           page.wait_for(served_game::state, 5000);
}

TEST(hostile_pages, broken_frames_close_the_page_and_the_others_stay_served) {
    served_game game;
    page_client steady(game);
    ASSERT_TRUE(steady.wait_open());
    const QByteArray mask = bytes({1, 2, 3, 4});
    QByteArray many_fragments;
    for (int i = 0; i < 50; ++i) {
        many_fragments += client_frame(i == 0 ? 1 : 0, QByteArray(100, 'a'), true, false);
    }
    QByteArray noise(500, '\0');
    QRandomGenerator seeded(7);
    for (char& c : noise) {
        c = static_cast<char>(seeded.bounded(256));
    }
    const struct {
        const char* what;
        QByteArray frames;
    } cases[] = {
        {"reserved opcode", client_frame(3, "x")},
        {"reserved control opcode", client_frame(11, "x")},
        {"reserved bit", QByteArray(client_frame(1, "x")).replace(0, 1, bytes({0xc1}))},
        {"unmasked text", client_frame(1, "x", false)},
        {"unmasked close", client_frame(8, bytes({3, 0xe8}), false)},
        {"length of 2^62", bytes({0x82, 0xff, 0x40, 0, 0, 0, 0, 0, 0, 0}) + mask},
        {"frame of 1 MiB", bytes({0x82, 0xff, 0, 0, 0, 0, 0, 0x10, 0, 0}) + mask},
        {"ping of 126 bytes", bytes({0x89, 0xfe, 0, 126}) + mask + QByteArray(126, 'p')},
        {"ping in pieces", client_frame(9, "p", true, false)},
        {"continuation without a start", client_frame(0, "x")},
        {"text that is not UTF-8", client_frame(1, bytes({0xc3, 0x28}))},
        {"close with one byte", client_frame(8, "x")},
        {"a message beyond the cap in small frames", many_fragments},
        {"noise", noise},
        {"a frame that never ends", bytes({0x81, 0x85}) + mask + "ab"},
    };
    for (const auto& c : cases) {
        loopback_client page(game.port());
        ASSERT_TRUE(open_raw_page(game, page)) << c.what;
        ASSERT_TRUE(wait_until([&] { return game.server.page_count() == 2; }, 5000)) << c.what;
        page.send(c.frames);
        // Qt gives a frame that stops halfway 5 s.
        EXPECT_TRUE(page.wait_closed(10'000)) << c.what;
        EXPECT_TRUE(wait_until([&] { return game.server.page_count() == 1; }, 5000)) << c.what;
        const qsizetype seen = steady.messages.size();
        game.server.broadcast(c.what);
        EXPECT_TRUE(steady.wait_messages(static_cast<int>(seen) + 1)) << c.what;
    }
    EXPECT_FALSE(steady.disconnected);
    EXPECT_TRUE(game.asked.empty());
    EXPECT_TRUE(game.still_serves());
}

TEST(hostile_pages, a_page_that_never_reads_is_dropped_at_about_1_mib_queued) {
    served_game game;
    page_client reader(game);
    ASSERT_TRUE(reader.wait_open());
    ASSERT_TRUE(reader.wait_messages(1));
    // A small receive buffer keeps the system from taking much of what the page does not read.
    loopback_client sleeper(game.port(), 4096);
    ASSERT_TRUE(open_raw_page(game, sleeper));
    ASSERT_TRUE(wait_until([&] { return game.server.page_count() == 2; }, 5000));

    const QByteArray update(64 * 1024, 'u');
    const std::size_t before = heap_in_use();
    std::size_t peak = before;
    int sent = 0;
    while (game.server.page_count() == 2 && sent < 200) {
        game.server.broadcast(update);
        ++sent;
        reader.messages.clear();
        ASSERT_TRUE(reader.wait_messages(1)) << sent;
        peak = std::max(peak, heap_in_use());
    }
    EXPECT_EQ(game.server.page_count(), 1);
    EXPECT_FALSE(reader.disconnected);
    // Not dropped before about 1 MiB was queued for it, nor long after.
    EXPECT_GE(sent * update.size(), 1 << 20);
    EXPECT_LE(sent, 40);
    EXPECT_TRUE(sleeper.wait_closed(5000));
    std::cout << "a page that never reads: dropped after " << sent << " updates of 64 KiB ("
              << sent * 64 << " KiB); heap growth at the peak " << (peak - before) / 1024
              << " KiB\n";
    EXPECT_LT(peak - before, 4u << 20);
    EXPECT_TRUE(game.still_serves());
}

}  // namespace
}  // namespace quill
