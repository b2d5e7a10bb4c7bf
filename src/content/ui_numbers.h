#pragma once

// Every number by which the program names its windows, controls, menus and commands, handed out
// here only. The platform keeps one table of controls across all windows, so control numbers
// never repeat. Menu items, popup items and keyboard shortcuts share one id space.
namespace quill::ui {

// Windows.
inline constexpr int main_window = 0;
inline constexpr int player_icons_window = 1;
inline constexpr int icon_picker_window = 2;
inline constexpr int live_map_window = 3;
inline constexpr int player_view_window = 4;

// Controls of the main window.
inline constexpr int map_canvas = 0;
inline constexpr int picker_canvas = 1;

// Controls of the player icons dialog. Its first seven rows have the picture boxes 100 to 106 and
// the buttons 107 to 113; row i from the eighth on has picture box 1000 + 2i and button
// 1001 + 2i.
inline constexpr int first_row_picture_box = 100;
inline constexpr int first_row_button = 107;
inline constexpr int apply_button = 114;
inline constexpr int later_rows_base = 1000;

// The canvas that fills the icon picker's popup window.
inline constexpr int icon_picker_canvas = 200;

// Controls of the live map's dialog.
inline constexpr int live_map_code = 300;
inline constexpr int live_map_links = 301;
inline constexpr int copy_link_button = 302;
inline constexpr int stop_sharing_button = 303;

// The canvas that fills the player view.
inline constexpr int player_view_canvas = 400;

// Popup menus.
inline constexpr int map_menu = 0;
inline constexpr int transport_menu = 1;

// Menu items and shortcuts.
inline constexpr int new_game = 3;
inline constexpr int player_icons = 4;
inline constexpr int save_game = 6;
inline constexpr int load_game = 7;
inline constexpr int zoom_reset_item = 8;
inline constexpr int zoom_out_item = 9;
inline constexpr int zoom_in_item = 10;
inline constexpr int place_tombstone_item = 11;
inline constexpr int create_transport_item = 12;
inline constexpr int remove_transport_item = 13;
inline constexpr int attach_item = 14;
inline constexpr int zoom_in_shortcut = 15;
inline constexpr int zoom_out_shortcut = 16;
inline constexpr int zoom_reset_shortcut = 17;
// Ctrl+Z and Ctrl+Y (or Ctrl+Shift+Z) arrive with the ids of their menu items.
inline constexpr int undo_item = 18;
inline constexpr int redo_item = 19;
// Menu "Ansicht". F11 arrives with the id of the player view's item.
inline constexpr int live_map_item = 20;
inline constexpr int player_view_item = 21;
inline constexpr int player_view_follows_item = 22;
// Esc in the player view.
inline constexpr int player_view_escape = 23;

}  // namespace quill::ui
