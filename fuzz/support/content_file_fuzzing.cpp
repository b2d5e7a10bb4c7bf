#include "support/content_file_fuzzing.h"

#include "support/fuzz_process.h"

namespace quill::fuzzing {

void fuzz_content_files(std::string_view bytes, std::initializer_list<const char*> names,
                        const std::function<void(fuzz_game&)>& use) {
    for (const char* name : names) {
        write_file(program_dir() + name, bytes);
    }
    fuzz_game game;
    check_invariants(game, "after start-up");
    if (use) {
        use(game);
        check_invariants(game, "after use");
    }
    game.play();
    check_invariants(game, "after playing");
    check_round_trip(game);
}

}  // namespace quill::fuzzing
