#include <algorithm>
#include <limits>

#include "platform/files.h"
#include "savegame/level_path_encoding.h"
#include "savegame/party_setup_file.h"
#include "savegame/party_setup_format.h"
#include "savegame/party_setup_messages.h"

namespace quill {

namespace {

// The text's code units, cut to what its length field can count, never inside a surrogate
// pair, so that the length written always matches the units that follow.
std::u16string countable_units(const std::string& text, std::size_t max_units) {
    std::u16string units = to_utf16(text);
    if (units.size() > max_units) {
        units.resize(max_units);
        if (!units.empty() && units.back() >= 0xD800 && units.back() <= 0xDBFF) {
            units.pop_back();
        }
    }
    return units;
}

// The bytes a file_writer would write, kept in memory.
class byte_image {
public:
    void write_u8(uint8_t value) { put_le(value, 1); }
    void write_i8(int8_t value) { put_le(static_cast<uint8_t>(value), 1); }
    void write_i16(int16_t value) { put_le(static_cast<uint16_t>(value), 2); }
    void write_i32(int32_t value) { put_le(static_cast<uint32_t>(value), 4); }
    void write_bytes(const uint8_t* data, int64_t count) {
        if (count > 0) {
            bytes_.append(reinterpret_cast<const char*>(data), static_cast<std::size_t>(count));
        }
    }
    void write_utf16(const std::u16string& text) {
        for (const char16_t unit : text) {
            put_le(unit, 2);
        }
    }
    std::string take() { return std::move(bytes_); }

private:
    void put_le(uint32_t value, int width) {
        for (int i = 0; i < width; ++i) {
            bytes_.push_back(static_cast<char>((value >> (8 * i)) & 0xff));
        }
    }

    std::string bytes_;
};

template <typename writer_type>
void write_record(writer_type& writer, const map_item& item) {
    const auto bytes = item.to_bytes();
    writer.write_bytes(bytes.data(), static_cast<int64_t>(bytes.size()));
}

template <typename writer_type>
void write_contents(writer_type& writer, const game_state& state) {
    writer.write_u8(party_setup_version);

    const std::u16string path =
        countable_units(encode_level_path(state.level.level_file, state.program_dir),
                        static_cast<std::size_t>(std::numeric_limits<int32_t>::max()));
    writer.write_i32(static_cast<int32_t>(path.size()));
    writer.write_utf16(path);

    writer.write_i32(state.tokens.size());
    writer.write_i32(state.graves.size());
    writer.write_i32(state.transports.size());
    writer.write_i8(static_cast<int8_t>(state.level.zoom));

    for (int position = 0; position < state.tokens.size(); ++position) {
        write_record(writer, state.tokens[position]);
        // Every token has its trail; a missing one would still be written as a whole record so
        // that the file stays readable.
        const token_trail trail =
            state.token_trails.contains(position) ? state.token_trails[position] : token_trail{};
        const auto bytes = trail.to_bytes();
        writer.write_bytes(bytes.data(), static_cast<int64_t>(bytes.size()));
    }
    std::ranges::for_each(state.graves, [&](const map_item& item) { write_record(writer, item); });
    std::ranges::for_each(state.transports,
                          [&](const map_item& item) { write_record(writer, item); });

    for (int slot = 0; slot < label_count; ++slot) {
        const std::u16string units = countable_units(
            state.labels[slot], static_cast<std::size_t>(std::numeric_limits<int16_t>::max()));
        writer.write_i16(static_cast<int16_t>(units.size()));
        writer.write_utf16(units);
    }
}

}  // namespace

std::string party_file_bytes(const game_state& state) {
    byte_image image;
    write_contents(image, state);
    return image.take();
}

bool write_party_file(const game_state& state, const std::string& path) {
    file_writer writer;
    if (!writer.create(path)) {
        return false;
    }
    write_contents(writer, state);
    return writer.commit();
}

bool write_party_setup(game_state& state, platform& system, const std::string& path) {
    if (!write_party_file(state, path)) {
        show_party_setup_error(system, cannot_create_text);
        return false;
    }
    state.state_modified = false;
    return true;
}

}  // namespace quill
