#include "content/player_icons_layout.h"

#include <algorithm>

#include "content/ui_numbers.h"

namespace quill {

namespace {

constexpr int column_width = 220;
constexpr int first_row_y = 30;
constexpr int row_pitch = 50;
constexpr int icon_size = 40;

}  // namespace

players_dialog_layout dialog_layout(int player_count) {
    players_dialog_layout layout;
    layout.row_count = std::max(player_count, standard_row_count);
    const int rows_down = std::min(layout.row_count, rows_per_column);
    const int columns = (layout.row_count + rows_per_column - 1) / rows_per_column;
    layout.inner_width = columns * column_width;
    // The apply button keeps its distance below the last row: (10, 420) under seven rows.
    const int apply_y = first_row_y + row_pitch * rows_down + icon_size;
    layout.apply_area = {10, apply_y, 200, 30};
    layout.inner_height = apply_y + 54;
    return layout;
}

row_controls row_layout(int row) {
    const int column = row / rows_per_column;
    const int y = first_row_y + row_pitch * (row % rows_per_column);
    row_controls controls;
    if (row < standard_row_count) {
        controls.picture_box = ui::first_row_picture_box + row;
        controls.button = ui::first_row_button + row;
    } else {
        controls.picture_box = ui::later_rows_base + 2 * row;
        controls.button = ui::later_rows_base + 2 * row + 1;
    }
    controls.box_area = {column * column_width + 30, y, icon_size, icon_size};
    controls.button_area = {column * column_width + 90, y + 5, 110, 30};
    return controls;
}

int row_of_button(int control) {
    if (control >= ui::first_row_button && control < ui::first_row_button + standard_row_count) {
        return control - ui::first_row_button;
    }
    if (control <= ui::later_rows_base) {
        return -1;
    }
    const int offset = control - ui::later_rows_base - 1;
    if (offset >= 2 * standard_row_count && offset % 2 == 0) {
        return offset / 2;
    }
    return -1;
}

}  // namespace quill
