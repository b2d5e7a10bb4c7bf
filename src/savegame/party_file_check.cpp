#include <algorithm>

#include "platform/files.h"
#include "savegame/level_path_encoding.h"
#include "savegame/party_setup_file.h"
#include "savegame/party_setup_format.h"
#include "savegame/record_reading.h"

namespace quill {

namespace {

std::string whole_file(const std::string& path, int64_t size) {
    file_reader reader;
    std::string bytes(static_cast<std::size_t>(size), '\0');
    if (!reader.open(path) || !reader.read_bytes(reinterpret_cast<uint8_t*>(bytes.data()), size)) {
        return {};
    }
    return bytes;
}

}  // namespace

// Read as "Spiel laden" reads, but with as many tokens as the file names instead of the
// level's, which is left unloaded; what the reader had to repair or leave out shows as a
// difference when the game is written back.
party_file_check check_party_file(const std::string& path, const std::string& program_dir) {
    file_reader reader;
    if (!reader.open(path) || reader.read_u8() != party_setup_version) {
        return party_file_check::unreadable;
    }
    game_state game;
    game.program_dir = program_dir;
    const int32_t path_length = reader.read_i32();
    game.level.level_file = decode_level_path(read_stored_text(reader, path_length), program_dir);
    if (file_size(game.level.level_file) < 0) {
        return party_file_check::unreadable;
    }
    const int32_t token_count = reader.read_i32();
    const int32_t grave_count = reader.read_i32();
    const int32_t transport_count = reader.read_i32();
    game.level.zoom = reader.read_i8();
    // No more tokens than the rest of the file can hold, whatever the count claims.
    const int64_t room =
        reader.remaining() / static_cast<int64_t>(map_item::byte_size + token_trail::byte_size);
    for (int64_t i = 0; i < std::clamp<int64_t>(token_count, 0, room); ++i) {
        game.tokens.add({});
        game.token_trails.add({});
    }
    read_token_records(reader, game, token_count, true);
    read_item_records(reader, game.graves, grave_count);
    read_item_records(reader, game.transports, transport_count);
    finish_saved_game(reader, game);

    const std::string written = party_file_bytes(game);
    const int64_t size = reader.size();
    return static_cast<int64_t>(written.size()) == size && whole_file(path, size) == written
               ? party_file_check::intact
               : party_file_check::repaired;
}

}  // namespace quill
