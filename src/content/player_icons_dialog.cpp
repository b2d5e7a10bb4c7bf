#include "content/player_icons_dialog.h"

#include <algorithm>
#include <vector>

#include "content/content_paths.h"
#include "content/player_icon_picker.h"
#include "content/player_icons_layout.h"
#include "content/players_file.h"
#include "content/ui_numbers.h"

namespace quill {

namespace {

constexpr int icon_size = 40;

struct dialog_rows {
    std::vector<player_row>& rows;
    std::vector<picture_handle>& icons;  // one per row of controls; 0 where there is no player
};

picture_handle small_icon(picture_store& pictures, picture_handle image) {
    const picture_handle icon = pictures.copy(image);
    pictures.resize(icon, icon_size, icon_size, resize_method::smooth);
    return icon;
}

void build_dialog(platform& system, const players_dialog_layout& layout,
                  const std::vector<picture_handle>& icons) {
    for (int i = 0; i < layout.row_count; ++i) {
        const row_controls row = row_layout(i);
        const dialog_box& box = row.box_area;
        system.create_picture_box(ui::player_icons_window, row.picture_box, box.x, box.y, box.width,
                                  box.height, icons[static_cast<std::size_t>(i)], true);
        const dialog_box& button = row.button_area;
        system.create_button(ui::player_icons_window, row.button, button.x, button.y, button.width,
                             button.height, "Icon ändern");
    }
    const dialog_box& apply = layout.apply_area;
    system.create_button(ui::player_icons_window, ui::apply_button, apply.x, apply.y, apply.width,
                         apply.height, "Übernehmen");
}

// The picker opens with its corner at the pointer. A button pressed from the keyboard may
// leave the pointer outside the dialog; the picker then opens at the button.
screen_point picker_position(platform& system, const row_controls& row) {
    const screen_point origin = system.inner_screen_position(ui::player_icons_window);
    const int x = system.mouse_x(ui::player_icons_window);
    const int y = system.mouse_y(ui::player_icons_window);
    if (x < 0 || y < 0) {
        return {origin.x + row.button_area.x, origin.y + row.button_area.y};
    }
    return {origin.x + x, origin.y + y};
}

void change_icon(game_state& state, platform& system, dialog_rows& dialog, int k) {
    const row_controls controls = row_layout(k);
    const screen_point corner = picker_position(system, controls);
    const std::string name = choose_player_icon(state, system, corner.x, corner.y);
    if (name.empty()) {
        return;
    }
    picture_store& pictures = system.pictures();
    const auto index = static_cast<std::size_t>(k);
    player_row& row = dialog.rows[index];
    row.pic = name;
    pictures.free(row.image);
    row.image = pictures.load(content_path(state.program_dir, "players", name));
    const picture_handle old_icon = dialog.icons[index];
    dialog.icons[index] = small_icon(pictures, row.image);
    system.set_picture_box_image(controls.picture_box, dialog.icons[index]);
    pictures.free(old_icon);
}

// Until "Übernehmen" or the close box; both keep the choices.
void run_dialog(game_state& state, platform& system, dialog_rows& dialog) {
    for (;;) {
        const window_event event = system.wait_event();
        if (event.window != ui::player_icons_window) {
            continue;
        }
        if (event.kind == event_kind::close_request) {
            return;
        }
        if (event.kind != event_kind::control || event.type != control_event::left_click) {
            continue;
        }
        if (event.control == ui::apply_button) {
            return;
        }
        const int row = row_of_button(event.control);
        // Rows without a player have nothing to change.
        if (row >= 0 && row < static_cast<int>(dialog.rows.size())) {
            change_icon(state, system, dialog, row);
        }
    }
}

void save_rows(const game_state& state, platform& system, const std::vector<player_row>& rows) {
    if (!write_player_rows(state.program_dir, rows)) {
        system.message_box("Quillmark", "Die Datei players.xml konnte nicht gespeichert werden.",
                           message_buttons::ok, message_icon::error);
    }
}

// Pairs by position; players beyond the shorter of the two lists keep their pictures.
void show_new_icons(game_state& state, platform& system, const std::vector<player_row>& rows) {
    if (state.tokens.empty()) {
        return;
    }
    picture_store& pictures = system.pictures();
    const int pairs = std::min(state.player_catalogue.size(), static_cast<int>(rows.size()));
    for (int i = 0; i < pairs; ++i) {
        catalogue_entry& entry = state.player_catalogue[i];
        pictures.free(entry.image);
        entry.image = pictures.load(
            content_path(state.program_dir, "players", rows[static_cast<std::size_t>(i)].pic));
    }
}

}  // namespace

void edit_player_icons(game_state& state, platform& system) {
    players_file_rows file = read_player_rows(system, state.program_dir);
    if (file.state == players_file_state::unreadable) {
        system.message_box("Quillmark",
                           "Die Datei players.xml konnte nicht gelesen werden. Die Spielericons "
                           "bleiben unverändert.",
                           message_buttons::ok, message_icon::error);
        return;
    }
    // After a parse error the rows lack the players behind it: the file and the catalogue
    // stay as they are, whatever is chosen, and the player hears so before choosing.
    const bool write_back = may_write_back(file.state);
    if (!write_back) {
        system.message_box("Quillmark",
                           "Die Datei players.xml ist fehlerhaft. Geänderte Spielericons können "
                           "nicht gespeichert werden.",
                           message_buttons::ok, message_icon::error);
    }
    std::vector<player_row>& rows = file.rows;
    picture_store& pictures = system.pictures();
    const players_dialog_layout layout = dialog_layout(static_cast<int>(rows.size()));
    std::vector<picture_handle> icons;

    const bool opened = system.open_window(
        ui::player_icons_window, players_dialog_x, players_dialog_y, layout.inner_width,
        layout.inner_height, "Players", window_style::dialog, ui::main_window);
    if (opened) {
        icons.assign(static_cast<std::size_t>(layout.row_count), 0);
        for (std::size_t i = 0; i < rows.size(); ++i) {
            icons[i] = small_icon(pictures, rows[i].image);
        }
        build_dialog(system, layout, icons);
        dialog_rows dialog{rows, icons};
        run_dialog(state, system, dialog);
        if (write_back) {
            save_rows(state, system, rows);
        }
    }
    if (write_back) {
        show_new_icons(state, system, rows);
    }
    if (opened) {
        system.close_window(ui::player_icons_window);
    }
    for (picture_handle icon : icons) {
        pictures.free(icon);
    }
    free_row_pictures(pictures, rows);
}

}  // namespace quill
