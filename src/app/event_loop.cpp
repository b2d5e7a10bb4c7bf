#include "app/menus.h"
#include "app/program.h"
#include "content/ui_numbers.h"
#include "editing/context_menu.h"
#include "live_map/live_map.h"
#include "savegame/autosave.h"
#include "savegame/party_setup_file.h"
#include "view/dragging.h"
#include "view/map_rendering.h"
#include "view/player_view.h"
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

// The actions that may change the game, each one step for undo. A drag is one step from the
// press to the release.
bool may_change_the_game(const window_event& event) {
    if (event.kind == event_kind::menu) {
        switch (event.menu_id) {
            case ui::place_tombstone_item:
            case ui::create_transport_item:
            case ui::remove_transport_item:
            case ui::attach_item:
                return true;
            default:
                return false;
        }
    }
    return event.kind == event_kind::control && event.window == ui::main_window &&
           event.control == ui::map_canvas &&
           (event.type == control_event::left_pressed || event.type == control_event::right_click);
}

// The zoom keys and the player view's may be pressed while an item hangs on the pointer; every
// other command acts on a game with nothing dragged, and many open a modal window that would
// take the release.
bool ends_a_drag(const window_event& event) {
    if (event.kind != event_kind::menu) {
        return false;
    }
    switch (event.menu_id) {
        case ui::zoom_reset_item:
        case ui::zoom_reset_shortcut:
        case ui::zoom_out_item:
        case ui::zoom_out_shortcut:
        case ui::zoom_in_item:
        case ui::zoom_in_shortcut:
        case ui::player_view_item:
        case ui::player_view_follows_item:
        case ui::player_view_escape:
            return false;
        default:
            return true;
    }
}

void dispatch_event_kind(game_state& state, platform& system, const window_event& event,
                         live_map* live) {
    // A release ends any drag, wherever it happened.
    if (event.type == control_event::left_released) {
        canvas_left_up(state, system);
    }
    if (ends_a_drag(event)) {
        end_drag_in_place(state);
    }
    switch (event.kind) {
        case event_kind::resized:
            if (event.window == ui::main_window) {
                resize_canvas(state, system);
            } else if (event.window == ui::player_view_window) {
                fit_player_view(state, system);
            }
            break;
        case event_kind::close_request:
            if (event.window == ui::player_view_window) {
                end_player_view(state, system);
            }
            break;
        case event_kind::menu:
            dispatch_command(state, system, event.menu_id, live);
            break;
        case event_kind::control:
            dispatch_canvas_event(state, system, event);
            break;
        default:
            break;
    }
}

}  // namespace

void render_views(game_state& state, platform& system) {
    // The main view may end the marker in its redraw, which still shows it; so does the
    // player view's of the same pass.
    const bool marker_running = state.marker.active;
    render_map_view(state, system);
    render_player_view(state, system, marker_running);
}

int run_program(platform& system, game_state& state, const std::string& party_file) {
    autosave_keeper autosave(system);
    live_map live(system);
    if (!start_up(state, system)) {
        autosave.end_run();
        return 1;
    }
    // Before the offer of a crashed run's game: a game recovered after the file was opened is
    // the user's answer, while one recovered first would be replaced by the file unasked.
    if (!party_file.empty()) {
        open_party_file(state, system, party_file);
    }
    autosave.offer_recovery(state, system);
    do {
        while (run_one_pass(state, system, autosave.next_due(state), &live)) {
            autosave.save_if_due(state, system);
            live.publish(state);
        }
        // The exit question takes the release of a drag still under way.
        end_drag_in_place(state);
        // Kept whatever the answer to the exit question will be.
        autosave.save_unsaved(state, system);
    } while (!run_exit_steps(state, system));
    autosave.end_run();
    return 0;
}

bool run_one_pass(game_state& state, platform& system, std::optional<int64_t> wake_at,
                  live_map* live) {
    render_views(state, system);
    const window_event event = system.wait_event_until(wake_at);
    dispatch_event(state, system, event, live);
    return !(event.kind == event_kind::close_request && event.window == ui::main_window);
}

void dispatch_event(game_state& state, platform& system, const window_event& event,
                    live_map* live) {
    if (may_change_the_game(event) && !state.history.step_open()) {
        state.history.begin_step(state);
    }
    dispatch_event_kind(state, system, event, live);
    if (state.drag_mode == drag_kind::drag_none) {
        state.history.end_step(state);
    }
    show_undo_state(system, state.history);
}

}  // namespace quill
