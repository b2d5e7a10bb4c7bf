#include "app/program.h"
#include "savegame/party_setup_file.h"

namespace quill {

bool run_exit_steps(game_state& state, platform& system) {
    if (!state.state_modified) {
        return true;
    }
    const bool save = system.message_box(
        "Quillmark",
        "Der aktuelle Spielstand wurde noch nicht gespeichert. Soll er vor dem Beenden "
        "gespeichert werden?",
        message_buttons::yes_no, message_icon::none);
    // A cancelled save dialog still ends the program: the user saw the choice and declined it.
    return !save || save_party_setup(state, system) != save_outcome::failed;
}

}  // namespace quill
