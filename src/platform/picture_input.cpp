#include "platform/picture_input.h"

#include <algorithm>
#include <cstring>

#include <QIODevice>

namespace quill {

namespace {

// Large enough that reading costs few system calls, small enough to stay in the cache.
constexpr size_t piece_bytes = size_t{1} << 16;

}  // namespace

picture_input::picture_input(std::string_view bytes) : at_hand_(bytes) {}

picture_input::picture_input(QIODevice& device) : device_(&device), buffer_(piece_bytes) {}

void picture_input::fill(size_t wanted) {
    if (device_ == nullptr || at_hand_.size() >= wanted) {
        return;
    }
    // What is still at hand moves to the front, the rest of the buffer is read anew.
    const size_t kept = at_hand_.size();
    if (kept > 0) {
        std::memmove(buffer_.data(), at_hand_.data(), kept);
    }
    size_t filled = kept;
    while (filled < wanted) {
        const qint64 count =
            device_->read(buffer_.data() + filled, static_cast<qint64>(buffer_.size() - filled));
        if (count <= 0) {
            break;
        }
        filled += static_cast<size_t>(count);
    }
    at_hand_ = std::string_view(buffer_.data(), filled);
}

std::string_view picture_input::peek(size_t count) {
    fill(std::min(count, piece_bytes));
    return at_hand_.substr(0, count);
}

std::string_view picture_input::take(size_t count) {
    if (at_hand_.empty()) {
        fill(1);
    }
    const std::string_view taken = at_hand_.substr(0, count);
    at_hand_.remove_prefix(taken.size());
    return taken;
}

}  // namespace quill
