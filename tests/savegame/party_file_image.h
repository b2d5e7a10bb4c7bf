#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace quill::testing {

// A party setup file assembled field by field, independently of the code that writes one.
struct party_file_image {
    std::string bytes;

    party_file_image& u8(uint8_t value) {
        bytes.push_back(static_cast<char>(value));
        return *this;
    }
    party_file_image& i16(int16_t value) {
        const auto bits = static_cast<uint16_t>(value);
        return u8(static_cast<uint8_t>(bits)).u8(static_cast<uint8_t>(bits >> 8));
    }
    party_file_image& i32(int32_t value) {
        const auto bits = static_cast<uint32_t>(value);
        for (int i = 0; i < 4; ++i) {
            u8(static_cast<uint8_t>(bits >> (8 * i)));
        }
        return *this;
    }
    party_file_image& units(const std::u16string& text) {
        for (const char16_t unit : text) {
            i16(static_cast<int16_t>(unit));
        }
        return *this;
    }
    // int32 length, then the code units: the level path.
    party_file_image& path(const std::u16string& text) {
        return i32(static_cast<int32_t>(text.size())).units(text);
    }
    // int16 length, then the code units: one label slot.
    party_file_image& label(const std::u16string& text) {
        return i16(static_cast<int16_t>(text.size())).units(text);
    }
    party_file_image& empty_labels(int count) {
        for (int i = 0; i < count; ++i) {
            i16(0);
        }
        return *this;
    }
    party_file_image& record(int32_t catalogue_index, std::array<uint8_t, 6> links, int32_t x,
                             int32_t y, int32_t label_slot) {
        i32(catalogue_index);
        for (int i = 0; i < 6; ++i) {
            u8(0);
        }
        for (const uint8_t link : links) {
            u8(link);
        }
        for (int i = 0; i < 14; ++i) {
            u8(0);
        }
        return i32(x).i32(y).i32(label_slot);
    }
    // 30 points, the first at (x, y), each further one step_y lower (wrapping around at the
    // ends of int32, as any bytes may stand in a file).
    party_file_image& trail(int32_t x, int32_t y, int32_t step_y) {
        for (uint32_t j = 0; j < 30; ++j) {
            i32(x).i32(
                static_cast<int32_t>(static_cast<uint32_t>(y) + static_cast<uint32_t>(step_y) * j));
        }
        return *this;
    }
};

}  // namespace quill::testing
