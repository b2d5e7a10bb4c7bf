#include "platform/files.h"
#include "savegame/party_setup_file.h"
#include "savegame/party_setup_messages.h"
#include "savegame/record_reading.h"

namespace quill {

void read_old_party_setup(game_state& state, platform& system, const std::string& path) {
    file_reader reader;
    if (!reader.open(path)) {
        show_party_setup_error(system, cannot_open_text);
        return;
    }
    // The old format stores the level path as it was, without the program folder marker.
    const int32_t path_length = reader.read_i32();
    const std::string level_path = read_stored_text(reader, path_length);
    const int32_t token_count = reader.read_i32();
    const int32_t grave_count = reader.read_i32();
    const int8_t zoom = reader.read_i8();
    if (!start_saved_level(state, system, level_path, zoom)) {
        return;
    }
    read_token_records(reader, state, token_count, false);
    read_item_records(reader, state.graves, grave_count);
    finish_saved_game(reader, state);
}

}  // namespace quill
