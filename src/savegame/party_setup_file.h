#pragma once

#include <string>

#include "platform/platform.h"
#include "state/game_state.h"

namespace quill {

enum class save_outcome { saved, cancelled, failed };

// "Spiel speichern": asks for a file name (".qms" is added unless the name ends in exactly
// that) and writes the game there. Also what the exit question's Yes runs.
save_outcome save_party_setup(game_state& state, platform& system);

// "Spiel laden": asks for a file and reads it, as an old-format file when its name ends in
// "gls" in any letter case, otherwise as a version-1 file. Replaces the game without asking.
// The pointer shows the program busy while the file and its level load.
void load_party_setup(game_state& state, platform& system);

// What "Spiel laden" does once its dialog returned the path: party_dir becomes the file's folder
// and the file is read by its name's format. Also how a file named on the command line opens.
void open_party_file(game_state& state, platform& system, const std::string& path);

// Writes the game into path, replacing the file only once everything was written. On failure
// the user is told, an existing file is left as it was and state_modified keeps its value.
bool write_party_setup(game_state& state, platform& system, const std::string& path);

// The same bytes through the same writer, and nothing else: no message, state_modified as it
// was. False when the file could not be written.
bool write_party_file(const game_state& state, const std::string& path);

// The bytes write_party_file writes for the game.
std::string party_file_bytes(const game_state& state);

// What a version-1 file holds for "Spiel laden", found without loading its level.
enum class party_file_check {
    unreadable,  // it cannot be opened, is of another version or names a missing level
    repaired,    // it loads only with values made safe or parts left out: it is damaged
    intact,      // it loads and saves again byte for byte
};
party_file_check check_party_file(const std::string& path, const std::string& program_dir);

// Reads a version-1 file. The file is only read, never created or changed. A file that cannot
// be opened, has another version or names a missing level leaves the game as it was (the user
// is told) and gives false; otherwise the level is loaded and the file's records, labels and
// zoom replace the fresh game's, with every value that could not be used safely repaired.
bool read_party_setup(game_state& state, platform& system, const std::string& path);

// Reads an old-format file (no version byte, no trails, no transports) the same way.
bool read_old_party_setup(game_state& state, platform& system, const std::string& path);

}  // namespace quill
