#include "support/stored_labels.h"

#include <algorithm>
#include <cstdint>

namespace quill::fuzzing {

namespace {

constexpr int64_t item_bytes = 42;
constexpr int64_t trail_bytes = 240;

struct walk {
    std::string_view bytes;
    int64_t position = 0;

    int64_t remaining() const { return static_cast<int64_t>(bytes.size()) - position; }
    // Moves over count bytes; a field the file cuts short ends the walk.
    bool pass(int64_t count) {
        if (count > remaining()) {
            position = static_cast<int64_t>(bytes.size());
            return false;
        }
        position += count;
        return true;
    }
    int64_t integer(int width) {
        const int64_t start = position;
        if (!pass(width)) {
            return 0;
        }
        uint32_t value = 0;
        for (int i = width - 1; i >= 0; --i) {
            value = (value << 8) | static_cast<uint8_t>(bytes[static_cast<std::size_t>(start + i)]);
        }
        return width == 2 ? int64_t{static_cast<int16_t>(value)}
                          : int64_t{static_cast<int32_t>(value)};
    }
    void records(int64_t count, int64_t size) {
        if (count > 0) {
            pass(count * size);
        }
    }
    std::u16string text(int64_t units) {
        std::u16string text;
        const int64_t available = std::min(units, remaining() / 2);
        for (int64_t i = 0; i < available; ++i) {
            const auto at = static_cast<std::size_t>(position + 2 * i);
            text.push_back(static_cast<char16_t>(static_cast<uint8_t>(bytes[at]) |
                                                 static_cast<uint8_t>(bytes[at + 1]) << 8));
        }
        if (units > 0) {
            pass(2 * units);
        }
        return text.substr(0, text.find_first_of(u"\0\r\n", 0, 3));
    }
};

}  // namespace

std::array<std::u16string, label_count> stored_labels(std::string_view bytes, party_format format) {
    walk file{bytes};
    const bool version_1 = format == party_format::version_1;
    if (version_1) {
        file.pass(1);
    }
    file.text(file.integer(4));
    const int64_t tokens = file.integer(4);
    const int64_t graves = file.integer(4);
    const int64_t transports = version_1 ? file.integer(4) : 0;
    file.pass(1);
    file.records(tokens, version_1 ? item_bytes + trail_bytes : item_bytes);
    file.records(graves, item_bytes);
    file.records(transports, item_bytes);
    std::array<std::u16string, label_count> labels;
    for (std::u16string& label : labels) {
        label = file.text(file.integer(2));
    }
    return labels;
}

}  // namespace quill::fuzzing
