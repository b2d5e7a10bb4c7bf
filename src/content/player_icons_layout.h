#pragma once

namespace quill {

// Geometry and control numbers of the player icons dialog, in pixels of its inner area.
//
// The dialog shows seven rows, or one per player when there are more. Rows run down in
// columns of ten, so that the dialog stays on a small screen; a further column is put beside
// the first.

inline constexpr int players_dialog_x = 220;  // outer top left corner, screen
inline constexpr int players_dialog_y = 0;
inline constexpr int standard_row_count = 7;
inline constexpr int rows_per_column = 10;

struct dialog_box {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

struct row_controls {
    int picture_box = 0;
    int button = 0;
    dialog_box box_area;
    dialog_box button_area;
};

struct players_dialog_layout {
    int row_count = 0;  // rows of controls, at least seven
    int inner_width = 0;
    int inner_height = 0;
    dialog_box apply_area;
};

players_dialog_layout dialog_layout(int player_count);
row_controls row_layout(int row);
// The row whose button has this control number, or -1.
int row_of_button(int control);

}  // namespace quill
