#include "app/menus.h"

#include "content/ui_numbers.h"
#include "view/player_view.h"

namespace quill {

void build_menus(platform& system) {
    system.create_menu_bar(ui::main_window);
    system.add_menu("Spiel");
    system.add_menu_item(ui::new_game, "Neues Spiel");
    system.add_menu_item(ui::player_icons, "Spielericons ändern");
    system.add_menu_separator();
    system.add_menu_item(ui::load_game, "Spiel laden");
    system.add_menu_item(ui::save_game, "Spiel speichern");
    system.add_menu_separator();
    system.add_menu_item(ui::undo_item, "Rückgängig [STRG] + [Z]");
    system.add_menu_item(ui::redo_item, "Wiederholen [STRG] + [Y]");
    system.add_menu("Zoom");
    system.add_menu_item(ui::zoom_out_item, "Verkleinern [STRG] + [NUM -]");
    system.add_menu_item(ui::zoom_in_item, "Vergrößern [STRG] + [NUM +]");
    system.add_menu_item(ui::zoom_reset_item, "Originalgröße [STRG] + [ENTER]");
    system.add_menu("Ansicht");
    system.add_menu_item(ui::player_view_item, "Spieleransicht [F11]");
    system.add_menu_item(ui::player_view_follows_item, "Spieleransicht folgt dem Spielleiter");
    system.add_menu_separator();
    system.add_menu_item(ui::live_map_item, live_map_item_text(false));
    show_player_view_items(system, player_view_state{});

    system.create_popup_menu(ui::map_menu);
    system.add_popup_item(ui::place_tombstone_item, "Grabstein setzen");
    system.add_popup_item(ui::create_transport_item, "Transportmittel erstellen");
    system.create_popup_menu(ui::transport_menu);
    system.add_popup_item(ui::remove_transport_item, "Transportmittel entfernen");
    system.add_popup_item(ui::attach_item, "Transportmittel anhängen");
}

std::string live_map_item_text(bool sharing) {
    return sharing ? "Live-Karte anzeigen…" : "Live-Karte freigeben…";
}

void show_undo_state(platform& system, const undo_history& history) {
    system.set_menu_item_enabled(ui::undo_item, history.can_undo());
    system.set_menu_item_enabled(ui::redo_item, history.can_redo());
}

void register_shortcuts(platform& system) {
    const auto ctrl = static_cast<unsigned>(key_modifier::ctrl);
    system.add_shortcut(ui::main_window, ctrl, shortcut_key::keypad_plus, ui::zoom_in_shortcut);
    system.add_shortcut(ui::main_window, ctrl, shortcut_key::keypad_minus, ui::zoom_out_shortcut);
    system.add_shortcut(ui::main_window, ctrl, shortcut_key::enter, ui::zoom_reset_shortcut);
    const auto ctrl_shift = ctrl | static_cast<unsigned>(key_modifier::shift);
    system.add_shortcut(ui::main_window, ctrl, shortcut_key::z, ui::undo_item);
    system.add_shortcut(ui::main_window, ctrl, shortcut_key::y, ui::redo_item);
    system.add_shortcut(ui::main_window, ctrl_shift, shortcut_key::z, ui::redo_item);
    system.add_shortcut(ui::main_window, 0, shortcut_key::f11, ui::player_view_item);
}

}  // namespace quill
