#include <cstdint>

#include "platform/files.h"

namespace quill {

namespace {

constexpr char16_t replacement_character = 0xFFFD;

bool is_high_surrogate(uint32_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool is_low_surrogate(uint32_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

void append_utf8(std::string& out, uint32_t code_point) {
    if (code_point < 0x80) {
        out += static_cast<char>(code_point);
    } else if (code_point < 0x800) {
        out += static_cast<char>(0xC0 | (code_point >> 6));
        out += static_cast<char>(0x80 | (code_point & 0x3F));
    } else if (code_point < 0x10000) {
        out += static_cast<char>(0xE0 | (code_point >> 12));
        out += static_cast<char>(0x80 | ((code_point >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code_point & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code_point >> 18));
        out += static_cast<char>(0x80 | ((code_point >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code_point >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code_point & 0x3F));
    }
}

// The code point of the sequence at position and its length in bytes; length 0 when the bytes
// there form no character (a surrogate's three bytes do form one here).
struct decoded {
    uint32_t code_point = 0;
    std::size_t length = 0;
};

decoded decode_at(const std::string& utf8, std::size_t position) {
    const auto byte = [&](std::size_t i) { return static_cast<uint8_t>(utf8[position + i]); };
    const uint8_t lead = byte(0);
    std::size_t length = 0;
    uint32_t code_point = 0;
    uint32_t smallest = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code_point = lead & 0x1F;
        smallest = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code_point = lead & 0x0F;
        smallest = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code_point = lead & 0x07;
        smallest = 0x10000;
    } else {
        return {};
    }
    if (utf8.size() - position < length) {
        return {};
    }
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80) {
            return {};
        }
        code_point = (code_point << 6) | (byte(i) & 0x3F);
    }
    if (code_point < smallest || code_point > 0x10FFFF) {
        return {};
    }
    return {code_point, length};
}

}  // namespace

std::u16string to_utf16(const std::string& utf8) {
    std::u16string out;
    out.reserve(utf8.size());
    std::size_t position = 0;
    while (position < utf8.size()) {
        const auto lead = static_cast<uint8_t>(utf8[position]);
        if (lead < 0x80) {
            out += static_cast<char16_t>(lead);
            ++position;
            continue;
        }
        const decoded character = decode_at(utf8, position);
        if (character.length == 0) {
            out += replacement_character;
            ++position;
            continue;
        }
        if (character.code_point >= 0x10000) {
            const uint32_t offset = character.code_point - 0x10000;
            out += static_cast<char16_t>(0xD800 + (offset >> 10));
            out += static_cast<char16_t>(0xDC00 + (offset & 0x3FF));
        } else {
            out += static_cast<char16_t>(character.code_point);
        }
        position += character.length;
    }
    return out;
}

std::string to_utf8(const std::u16string& utf16) {
    std::string out;
    out.reserve(utf16.size());
    for (std::size_t i = 0; i < utf16.size(); ++i) {
        uint32_t code_point = utf16[i];
        if (is_high_surrogate(code_point) && i + 1 < utf16.size() &&
            is_low_surrogate(utf16[i + 1])) {
            code_point = 0x10000 + ((code_point - 0xD800) << 10) + (utf16[i + 1] - 0xDC00u);
            ++i;
        }
        append_utf8(out, code_point);
    }
    return out;
}

}  // namespace quill
