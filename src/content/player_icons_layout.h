#pragma once

namespace quill {

// Geometry and control numbers of the player icons dialog, in pixels of its inner area.
//
// The dialog shows seven rows, or one per player when there are more. Rows run down in
// columns of ten, so that the dialog stays on a small screen; a further column is put beside
// the first. The first seven rows' picture boxes are 100 to 106, their buttons 107 to 113,
// the apply button is 114; from the eighth row (i = 7) on, row i has picture box 1000 + 2i
// and button 1001 + 2i.

inline constexpr int players_dialog_x = 220;  // outer top left corner, screen
inline constexpr int players_dialog_y = 0;
inline constexpr int standard_row_count = 7;
inline constexpr int rows_per_column = 10;
inline constexpr int apply_button = 114;

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
