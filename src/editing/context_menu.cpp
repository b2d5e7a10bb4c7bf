#include "editing/context_menu.h"

#include "content/ui_numbers.h"
#include "state/game_rules.h"
#include "view/dragging.h"
#include "view/hit_testing.h"
#include "view/zoom_viewport.h"

namespace quill {

namespace {

void offer_transport_commands(game_state& state, platform& system) {
    const bool carried = state.transports.current()->links[0] != 0;
    system.set_menu_item_text(ui::attach_item,
                              carried ? "Transportmittel abhängen" : "Transportmittel anhängen");
    system.show_popup_menu(ui::transport_menu, ui::main_window);
}

void ask_to_remove_tombstone(game_state& state, platform& system) {
    if (!system.message_box("Quillmark", "Soll der Grabstein tatsächlich entfernt werden?",
                            message_buttons::yes_no, message_icon::none)) {
        return;
    }
    clear_label(state, state.graves.current()->label);
    state.graves.remove_current();
    state.state_modified = true;
}

void offer_new_items(game_state& state, platform& system) {
    const level_info& level = state.level;
    const int32_t mx = window_to_map(state, system, system.mouse_x(ui::main_window), axis::x);
    const int32_t my = window_to_map(state, system, system.mouse_y(ui::main_window), axis::y);
    state.placement_point.x = clamp_to_int32(int64_t{mx} - level.tile_x / 2);
    state.placement_point.y = clamp_to_int32(int64_t{my} - level.tile_y / 2);
    system.show_popup_menu(ui::map_menu, ui::main_window);
}

}  // namespace

void show_context_menu(game_state& state, platform& system) {
    // Tokens before transports before tombstones: whatever is drawn on top takes the click.
    if (hit_token(state, system)) {
        return;
    }
    // Whatever opens now takes the left button's release.
    end_drag_in_place(state);
    if (hit_item(state, system, state.transports)) {
        offer_transport_commands(state, system);
        return;
    }
    if (hit_item(state, system, state.graves)) {
        ask_to_remove_tombstone(state, system);
        return;
    }
    offer_new_items(state, system);
}

}  // namespace quill
