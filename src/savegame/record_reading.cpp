#include "savegame/record_reading.h"

#include <algorithm>
#include <array>

#include "content/level_loading.h"
#include "savegame/party_setup_messages.h"
#include "savegame/record_repair.h"

namespace quill {

std::string read_stored_text(file_reader& reader, int64_t units) {
    std::u16string text = reader.read_utf16(units);
    const auto end = std::find_if(text.begin(), text.end(), [](char16_t unit) {
        return unit == u'\0' || unit == u'\r' || unit == u'\n';
    });
    text.erase(end, text.end());
    return to_utf8(text);
}

void read_token_records(file_reader& reader, game_state& state, int32_t count, bool with_trails) {
    const int64_t record_size = static_cast<int64_t>(map_item::byte_size) +
                                (with_trails ? static_cast<int64_t>(token_trail::byte_size) : 0);
    const int32_t present = std::clamp(count, 0, state.tokens.size());
    for (int position = 0; position < present; ++position) {
        std::array<uint8_t, map_item::byte_size> item{};
        if (reader.read_bytes(item.data(), static_cast<int64_t>(item.size()))) {
            state.tokens[position] = map_item::from_bytes(item);
        }
        state.tokens.select(position);
        if (with_trails) {
            std::array<uint8_t, token_trail::byte_size> trail{};
            if (reader.read_bytes(trail.data(), static_cast<int64_t>(trail.size())) &&
                state.token_trails.contains(position)) {
                state.token_trails[position] = token_trail::from_bytes(trail);
            }
            state.token_trails.select(position);
        }
    }
    if (count > present) {
        reader.skip((static_cast<int64_t>(count) - present) * record_size);
    }
}

void read_item_records(file_reader& reader, item_list<map_item>& list, int32_t count) {
    list.clear();
    const int64_t whole_records = reader.remaining() / static_cast<int64_t>(map_item::byte_size);
    const int64_t wanted = std::min<int64_t>(std::max(count, 0), whole_records);
    for (int64_t i = 0; i < wanted; ++i) {
        std::array<uint8_t, map_item::byte_size> bytes{};
        reader.read_bytes(bytes.data(), static_cast<int64_t>(bytes.size()));
        list.add(map_item::from_bytes(bytes));
    }
    // A record the file cuts off is a short read like any other: what follows it reads empty,
    // so that its bytes are never taken for the labels.
    if (count > wanted) {
        reader.skip(reader.remaining());
    }
}

bool start_saved_level(game_state& state, platform& system, const std::string& level_path,
                       int8_t zoom) {
    if (file_size(level_path) < 0) {
        show_party_setup_error(system, missing_level_text(level_path));
        return false;
    }
    load_level(state, system, level_path);
    state.level.zoom = zoom;
    return true;
}

void finish_saved_game(file_reader& reader, game_state& state) {
    for (int slot = 0; slot < label_count; ++slot) {
        const int16_t length = reader.read_i16();
        if (length > 0) {
            state.labels.set(slot, read_stored_text(reader, length));
        }
    }
    state.graves.select(-1);
    repair_loaded_state(state);
}

}  // namespace quill
