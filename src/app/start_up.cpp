#include "app/menus.h"
#include "app/program.h"
#include "content/level_loading.h"
#include "content/program_folder.h"
#include "content/ui_numbers.h"

namespace quill {

bool start_up(game_state& state, platform& system) {
    const program_folder folder = find_program_folder(system);
    state.program_dir = folder.program_dir;

    if (!system.open_window(ui::main_window, main_window_x, main_window_y, main_window_inner_width,
                            main_window_inner_height, "Quillmark", window_style::main_window, -1)) {
        system.message_box("Quillmark",
                           "Kann Fenster nicht erstellen, nicht genügend Arbeitsspeicher?",
                           message_buttons::ok, message_icon::error);
        return false;
    }

    state.marker.image = system.pictures().load(state.program_dir + "pics/cursor.png");
    state.marker.width = system.pictures().width(state.marker.image);
    state.marker.height = system.pictures().height(state.marker.image);

    build_menus(system);

    state.level.canvas_width = system.inner_width(ui::main_window);
    state.level.canvas_height = system.client_height(ui::main_window);
    system.create_canvas(ui::main_window, ui::map_canvas, 0, 0, state.level.canvas_width,
                         state.level.canvas_height, true);
    system.create_canvas(ui::main_window, ui::picker_canvas, 0, 0, 10, 10, false);
    system.hide_control(ui::picker_canvas);

    register_shortcuts(system);

    // A large map takes seconds to load: the window shows first, busy, so that nobody starts the
    // program a second time meanwhile.
    const busy_scope busy(system);
    system.show_windows_now();
    load_level(state, system, {});
    show_undo_state(system, state.history);
    if (!folder.problem.empty()) {
        system.message_box("Quillmark", folder.problem, message_buttons::ok, message_icon::error);
    }
    return true;
}

}  // namespace quill
