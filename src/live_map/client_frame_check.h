#pragma once

#include <QByteArrayView>

#include <array>
#include <cstdint>

namespace quill {

// Follows the frames a page sends, byte by byte as they arrive, and tells the first that breaks
// the rules a server must hold a browser to: every frame masked, no reserved bits or opcodes,
// control frames whole and at most 125 bytes, no payload beyond max_payload.
class client_frame_check {
public:
    explicit client_frame_check(std::uint64_t max_payload) : max_payload_(max_payload) {}

    // The next bytes of the stream; false once a frame broke a rule, and from then on.
    bool feed(QByteArrayView bytes);

private:
    // Bytes of the header: known once its first two are.
    int header_size() const;
    // The first two bytes: flags, opcode, mask and the length's form.
    bool sound_start() const;
    // The whole header: the payload's length.
    bool sound_length();

    std::uint64_t max_payload_;
    std::array<unsigned char, 14> header_{};
    int header_gathered_ = 0;
    std::uint64_t payload_left_ = 0;
    bool broken_ = false;
};

}  // namespace quill
