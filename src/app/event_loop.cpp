#include "app/program.h"
#include "content/ui_numbers.h"
#include "editing/context_menu.h"
#include "view/dragging.h"
#include "view/map_rendering.h"
#include "view/zoom_viewport.h"

namespace quill {

namespace {

void dispatch_canvas_event(game_state& state, platform& system, const window_event& event) {
    if (event.window != ui::main_window || event.control != ui::map_canvas) {
        return;
    }
    switch (event.type) {
        case control_event::mouse_moved:
            canvas_mouse_move(state, system);
            break;
        case control_event::left_pressed:
            canvas_left_down(state, system);
            break;
        case control_event::left_double_click:
            canvas_double_click(state, system);
            break;
        case control_event::right_click:
            show_context_menu(state, system);
            break;
        default:
            break;
    }
}

}  // namespace

int run_program(platform& system, game_state& state) {
    if (!start_up(state, system)) {
        return 1;
    }
    do {
        while (run_one_pass(state, system)) {
        }
    } while (!run_exit_steps(state, system));
    return 0;
}

bool run_one_pass(game_state& state, platform& system) {
    render_map_view(state, system);
    const window_event event = system.wait_event();
    dispatch_event(state, system, event);
    return !(event.kind == event_kind::close_request && event.window == ui::main_window);
}

void dispatch_event(game_state& state, platform& system, const window_event& event) {
    // A release ends any drag, wherever it happened.
    if (event.type == control_event::left_released) {
        canvas_left_up(state, system);
    }
    switch (event.kind) {
        case event_kind::resized:
            if (event.window == ui::main_window) {
                resize_canvas(state, system);
            }
            break;
        case event_kind::menu:
            dispatch_command(state, system, event.menu_id);
            break;
        case event_kind::control:
            dispatch_canvas_event(state, system, event);
            break;
        default:
            break;
    }
}

}  // namespace quill
