#include "live_map/client_frame_check.h"

#include <algorithm>

namespace quill {

namespace {

constexpr unsigned char final_bit = 0x80;
constexpr unsigned char reserved_bits = 0x70;
constexpr unsigned char mask_bit = 0x80;
constexpr int mask_size = 4;

// Continuation, text, binary, close, ping, pong.
bool is_known_opcode(int opcode) {
    return opcode <= 2 || (opcode >= 8 && opcode <= 10);
}

int extended_length_size(int length_code) {
    return length_code == 126 ? 2 : length_code == 127 ? 8 : 0;
}

}  // namespace

int client_frame_check::header_size() const {
    return 2 + extended_length_size(header_[1] & 0x7f) + mask_size;
}

bool client_frame_check::sound_start() const {
    const int opcode = header_[0] & 0x0f;
    const int length_code = header_[1] & 0x7f;
    const bool control = opcode >= 8;
    return (header_[0] & reserved_bits) == 0 && is_known_opcode(opcode) &&
           (header_[1] & mask_bit) != 0 &&
           (!control || (length_code <= 125 && (header_[0] & final_bit) != 0));
}

bool client_frame_check::sound_length() {
    const int length_code = header_[1] & 0x7f;
    const int extended = extended_length_size(length_code);
    std::uint64_t length = static_cast<std::uint64_t>(length_code);
    if (extended > 0) {
        length = 0;
        for (int i = 0; i < extended; ++i) {
            length = (length << 8) | header_[2 + i];
        }
    }
    payload_left_ = length;
    return length <= max_payload_;
}

bool client_frame_check::feed(QByteArrayView bytes) {
    qsizetype at = 0;
    while (!broken_ && at < bytes.size()) {
        if (payload_left_ > 0) {
            const auto skipped = std::min<std::uint64_t>(
                payload_left_, static_cast<std::uint64_t>(bytes.size() - at));
            payload_left_ -= skipped;
            at += static_cast<qsizetype>(skipped);
            continue;
        }
        header_[header_gathered_++] = static_cast<unsigned char>(bytes[at++]);
        if (header_gathered_ == 2) {
            broken_ = !sound_start();
        } else if (header_gathered_ > 2 && header_gathered_ == header_size()) {
            broken_ = !sound_length();
            header_gathered_ = 0;
        }
    }
    return !broken_;
}

}  // namespace quill
