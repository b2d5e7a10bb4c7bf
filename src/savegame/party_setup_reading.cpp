#include "platform/files.h"
#include "savegame/level_path_encoding.h"
#include "savegame/party_setup_file.h"
#include "savegame/party_setup_format.h"
#include "savegame/party_setup_messages.h"
#include "savegame/record_reading.h"

namespace quill {

namespace {

// What sets the two formats apart; everything else they share, field for field.
struct party_file_format {
    bool versioned;          // a version byte leads
    bool program_dir_coded;  // the level path stands for the program folder by the marker
    bool has_trails;         // a trail follows every token record
    bool has_transports;     // a transport count and transport records
};

constexpr party_file_format version_1_format{true, true, true, true};
constexpr party_file_format old_format{false, false, false, false};

bool read_party_file(game_state& state, platform& system, const std::string& path,
                     const party_file_format& format) {
    file_reader reader;
    if (!reader.open(path)) {
        show_party_setup_error(system, cannot_open_text);
        return false;
    }
    if (format.versioned && reader.read_u8() != party_setup_version) {
        show_party_setup_error(system, incompatible_text);
        return false;
    }
    const int32_t path_length = reader.read_i32();
    std::string level_path = read_stored_text(reader, path_length);
    if (format.program_dir_coded) {
        level_path = decode_level_path(level_path, state.program_dir);
    }
    const int32_t token_count = reader.read_i32();
    const int32_t grave_count = reader.read_i32();
    const int32_t transport_count = format.has_transports ? reader.read_i32() : 0;
    const int8_t zoom = reader.read_i8();
    if (!start_saved_level(state, system, level_path, zoom)) {
        return false;
    }
    read_token_records(reader, state, token_count, format.has_trails);
    read_item_records(reader, state.graves, grave_count);
    if (format.has_transports) {
        read_item_records(reader, state.transports, transport_count);
    }
    finish_saved_game(reader, state);
    return true;
}

}  // namespace

bool read_party_setup(game_state& state, platform& system, const std::string& path) {
    return read_party_file(state, system, path, version_1_format);
}

bool read_old_party_setup(game_state& state, platform& system, const std::string& path) {
    return read_party_file(state, system, path, old_format);
}

}  // namespace quill
