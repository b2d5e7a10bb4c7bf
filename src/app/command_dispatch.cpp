#include "app/program.h"
#include "content/level_loading.h"
#include "state/ui_numbers.h"
#include "view/zoom_viewport.h"

namespace quill {

void dispatch_command(game_state& state, platform& system, int id) {
    switch (id) {
        case ui::new_game:
            load_level(state, system, {});
            break;
        case ui::zoom_reset_item:
        case ui::zoom_reset_shortcut:
            zoom_view(state, zoom_mode::zoom_reset);
            break;
        case ui::zoom_out_item:
        case ui::zoom_out_shortcut:
            zoom_view(state, zoom_mode::zoom_out);
            break;
        case ui::zoom_in_item:
        case ui::zoom_in_shortcut:
            zoom_view(state, zoom_mode::zoom_in);
            break;
        default:
            break;
    }
}

}  // namespace quill
