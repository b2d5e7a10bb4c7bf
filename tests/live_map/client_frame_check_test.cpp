#include <gtest/gtest.h>

#include <QByteArray>

#include "live_map/client_frame_check.h"

namespace quill {
namespace {

QByteArray bytes(std::initializer_list<int> values) {
    QByteArray out;
    for (int value : values) {
        out.append(static_cast<char>(value));
    }
    return out;
}

const QByteArray mask = bytes({1, 2, 3, 4});

TEST(client_frame_check, passes_masked_frames_and_stops_at_the_first_broken_one) {
    const QByteArray text = bytes({0x81, 0x83}) + mask + "abc";
    const QByteArray ping = bytes({0x89, 0x80}) + mask;
    const QByteArray close = bytes({0x88, 0x82}) + mask + bytes({3, 0xe8});
    const QByteArray long_binary = bytes({0x82, 0xfe, 0x01, 0x00}) + mask + QByteArray(256, 'x');
    const QByteArray first_part = bytes({0x01, 0x81}) + mask + "a";
    const QByteArray last_part = bytes({0x80, 0x81}) + mask + "b";
    const struct {
        const char* what;
        QByteArray stream;
        bool sound;
    } cases[] = {
        {"text, ping, close", text + ping + close, true},
        {"a payload of 256 bytes", long_binary, true},
        {"a message in two frames", first_part + last_part, true},
        {"unmasked text", text + bytes({0x81, 0x01}) + "a", false},
        {"reserved bit", bytes({0xc1, 0x80}) + mask, false},
        {"reserved data opcode", bytes({0x83, 0x80}) + mask, false},
        {"reserved control opcode", bytes({0x8b, 0x80}) + mask, false},
        {"ping in pieces", bytes({0x09, 0x80}) + mask, false},
        {"ping of 126 bytes", bytes({0x89, 0xfe, 0x00, 0x7e}), false},
        {"beyond the cap", bytes({0x82, 0xfe, 0x04, 0x01}) + mask, false},
        {"a length of 2^63", bytes({0x82, 0xff, 0x80, 0, 0, 0, 0, 0, 0, 0}) + mask, false},
        {"a broken frame after a payload that looks like one",
         bytes({0x82, 0x82}) + mask + bytes({0x81, 0x80}) + bytes({0x81, 0x00}), false},
    };
    for (const auto& c : cases) {
        client_frame_check whole(1024);
        EXPECT_EQ(whole.feed(c.stream), c.sound) << c.what;
        // Bytes that come one at a time are judged the same.
        client_frame_check trickled(1024);
        bool sound = true;
        for (char byte : c.stream) {
            sound = trickled.feed(QByteArrayView(&byte, 1));
        }
        EXPECT_EQ(sound, c.sound) << c.what;
        EXPECT_EQ(trickled.feed(text), c.sound) << c.what;
    }
}

}  // namespace
}  // namespace quill
