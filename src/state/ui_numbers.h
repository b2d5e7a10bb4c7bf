#pragma once

// The numbers by which the logic names its windows, controls, menus and commands. Menu items,
// popup items and keyboard shortcuts share one id space.
namespace quill::ui {

inline constexpr int main_window = 0;
inline constexpr int player_icons_window = 1;
inline constexpr int icon_picker_window = 2;

inline constexpr int map_canvas = 0;
inline constexpr int picker_canvas = 1;

inline constexpr int map_menu = 0;
inline constexpr int transport_menu = 1;

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

// Below the menu bar the map canvas leaves this much of the inner height to the bar.
inline constexpr int menu_bar_allowance = 25;

}  // namespace quill::ui
