#include "app/program.h"
#include "state/ui_numbers.h"

namespace quill {

void run_exit_steps(game_state& state, platform& system) {
    if (!state.state_modified) {
        return;
    }
    const bool save = system.message_box(
        "Quillmark",
        "Der aktuelle Spielstand wurde noch nicht gespeichert. Soll er vor dem Beenden "
        "gespeichert werden?",
        message_buttons::yes_no, message_icon::none);
    if (save) {
        dispatch_command(state, system, ui::save_game);
    }
}

}  // namespace quill
