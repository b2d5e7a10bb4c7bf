#include "app/program.h"
#include "view/map_rendering.h"
#include "state/ui_numbers.h"

namespace quill {

int run_program(platform& system, game_state& state) {
    if (!start_up(state, system)) {
        return 1;
    }
    while (run_one_pass(state, system)) {
    }
    run_exit_steps(state, system);
    return 0;
}

bool run_one_pass(game_state& state, platform& system) {
    render_map_view(state, system);
    const window_event event = system.wait_event();
    dispatch_event(state, system, event);
    return !(event.kind == event_kind::close_request && event.window == ui::main_window);
}

void dispatch_event(game_state& state, platform& system, const window_event& event) {
    switch (event.kind) {
        case event_kind::menu:
            dispatch_command(state, system, event.menu_id);
            break;
        default:
            break;
    }
}

}  // namespace quill
