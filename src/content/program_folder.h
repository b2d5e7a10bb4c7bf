#pragma once

#include <string>

#include "platform/platform.h"

namespace quill {

// The folder that holds the level file, the catalogues, pics/ and players/: program_dir.
struct program_folder {
    std::string program_dir;  // ends in "/"
    // A German message for the user when the level could not be put where the user may change
    // it; empty otherwise.
    std::string problem;
};

// The folder where an installed program finds its content: share/quillmark/ beside the
// program's own folder, as in /usr/games and /usr/share/quillmark. Ends in "/".
std::string installed_content_dir(const std::string& program_file);

// The user's own copy of the level: Level/ in the user's data folder; empty without one.
std::string user_level_dir(platform& system);

// Where the content is for this run:
// - the program's own folder when it holds KTV.gxml (the portable layout);
// - otherwise the user's Level/ folder when it holds KTV.gxml (the user's level or an earlier
//   copy, never overwritten);
// - otherwise, when installed content exists, the user's Level/ folder filled with a copy of
//   it: files already there are kept, and KTV.gxml comes last, so that an interrupted copy is
//   completed by the next start. When that copy fails, or there is no data folder, the
//   installed content itself, read only, with a message that says so;
// - otherwise the program's own folder, empty as it may be.
program_folder find_program_folder(platform& system);

}  // namespace quill
