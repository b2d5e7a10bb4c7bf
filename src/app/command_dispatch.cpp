#include "app/program.h"
#include "content/level_loading.h"
#include "state/ui_numbers.h"

namespace quill {

void dispatch_command(game_state& state, platform& system, int id) {
    switch (id) {
        case ui::new_game:
            load_level(state, system, {});
            break;
        default:
            break;
    }
}

}  // namespace quill
