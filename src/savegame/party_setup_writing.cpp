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

void write_record(file_writer& writer, const map_item& item) {
    const auto bytes = item.to_bytes();
    writer.write_bytes(bytes.data(), static_cast<int64_t>(bytes.size()));
}

void write_contents(file_writer& writer, const game_state& state) {
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
