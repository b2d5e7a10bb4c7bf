#include "app/menus.h"
#include "app/program.h"
#include "content/level_loading.h"
#include "content/player_icons_dialog.h"
#include "content/ui_numbers.h"
#include "editing/tombstones.h"
#include "editing/transports.h"
#include "live_map/live_map.h"
#include "live_map/live_map_dialog.h"
#include "savegame/party_setup_file.h"
#include "view/player_view.h"
#include "view/zoom_viewport.h"

namespace quill {

namespace {

// Starts the sharing unless it runs, then shows its links.
void share_live_map(const game_state& state, platform& system, live_map& live) {
    if (!live.sharing() && !live.start(state)) {
        system.message_box("Quillmark",
                           "Die Live-Karte konnte nicht freigegeben werden: Das Netzwerk nimmt "
                           "keine Verbindungen an.",
                           message_buttons::ok, message_icon::error);
        return;
    }
    show_live_map_dialog(live, system);
    system.set_menu_item_text(ui::live_map_item, live_map_item_text(live.sharing()));
}

}  // namespace

void dispatch_command(game_state& state, platform& system, int id, live_map* live) {
    switch (id) {
        case ui::new_game:
            load_level(state, system, {});
            break;
        case ui::player_icons:
            // The dialog is modal: only it and its icon picker react while it is open.
            system.disable_window(ui::main_window);
            edit_player_icons(state, system);
            system.enable_window(ui::main_window);
            system.activate_window(ui::main_window);
            break;
        case ui::save_game:
            save_party_setup(state, system);
            break;
        case ui::load_game:
            load_party_setup(state, system);
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
        case ui::place_tombstone_item:
            place_tombstone(state, system);
            break;
        case ui::create_transport_item:
            create_transport(state, system);
            break;
        case ui::remove_transport_item:
            remove_transport(state, system);
            break;
        case ui::attach_item:
            toggle_transport_link(state, system);
            break;
        case ui::undo_item:
            state.history.undo(state);
            break;
        case ui::redo_item:
            state.history.redo(state);
            break;
        case ui::player_view_item:
            toggle_player_view(state, system);
            break;
        case ui::player_view_escape:
            end_player_view(state, system);
            break;
        case ui::player_view_follows_item:
            toggle_player_view_following(state, system);
            break;
        case ui::live_map_item:
            if (live != nullptr) {
                share_live_map(state, system, *live);
            }
            break;
        default:
            break;
    }
}

}  // namespace quill
