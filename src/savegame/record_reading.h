#pragma once

#include <cstdint>
#include <string>

#include "platform/files.h"
#include "platform/platform.h"
#include "state/game_state.h"

namespace quill {

// The parts both file formats share. A file may be cut short or damaged anywhere: nothing here
// reads past its end or allocates more than the rest of the file can hold.

// Reads exactly units code units (fewer only where the file ends), so that the fields after the
// text stay in place. Only what comes before the first NUL, CR or LF is kept: the program never
// stores such texts, and they must not reach single-line inscriptions or paths.
std::string read_stored_text(file_reader& reader, int64_t units);

// Overwrites the first count tokens, in list order, with the file's records (each followed by a
// trail when with_trails), and passes over records for tokens the level does not have. A token
// whose record the file cuts off keeps what it had. The last token read becomes current, and
// its trail too.
void read_token_records(file_reader& reader, game_state& state, int32_t count, bool with_trails);

// Empties list and appends the file's next count records, but only those the rest of the file
// holds in full; when it holds fewer, the reader is left at the end of the file.
void read_item_records(file_reader& reader, item_list<map_item>& list, int32_t count);

// Starts the saved game on the level file it names, with the saved zoom. False, after telling the
// user, when that file does not exist: the game in progress then stays as it was.
bool start_saved_level(game_state& state, platform& system, const std::string& level_path,
                       int8_t zoom);

// The 256 label slots (a slot the file leaves empty stays empty), then the repair of everything
// the records named; tombstones are left without a current element.
void finish_saved_game(file_reader& reader, game_state& state);

}  // namespace quill
