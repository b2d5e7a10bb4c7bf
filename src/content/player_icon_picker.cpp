#include "content/player_icon_picker.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "content/content_paths.h"
#include "content/player_row.h"
#include "content/ui_numbers.h"
#include "platform/files.h"

namespace quill {

namespace {

constexpr int grid_columns = 5;

// No window system shows a window larger than this; a grid beyond it is not offered at all.
constexpr int64_t max_grid_side = 32767;

constexpr rgb white{255, 255, 255};

struct icon_grid {
    int cell_size = 0;
    int icon_count = 0;
    int width = 0;
    int height = 0;
};

std::vector<player_row> load_icons(picture_store& pictures, const std::string& directory,
                                   const std::vector<std::string>& names) {
    std::vector<player_row> rows;
    rows.reserve(names.size());
    for (const std::string& name : names) {
        player_row& row = rows.emplace_back();
        row.pic = name;
        row.image = pictures.load(directory + name);
    }
    return rows;
}

// The last icon's height sets the cell size. When that picture did not load, the last one
// that did stands in, so that one broken file does not hide every other icon; with no picture
// at all there is no grid.
int cell_size_of(const picture_store& pictures, const std::vector<player_row>& rows) {
    for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
        const int height = pictures.height(row->image);
        if (height > 0) {
            return height;
        }
    }
    return 0;
}

// False when there is no grid to show.
bool make_grid(const picture_store& pictures, const std::vector<player_row>& rows,
               icon_grid& grid) {
    const int cell_size = cell_size_of(pictures, rows);
    if (cell_size <= 0) {
        return false;
    }
    const auto count = static_cast<int64_t>(rows.size());
    const int64_t grid_rows = (count + grid_columns - 1) / grid_columns;
    const int64_t width = int64_t{grid_columns} * cell_size;
    const int64_t height = grid_rows * cell_size;
    if (width > max_grid_side || height > max_grid_side) {
        return false;
    }
    grid = {cell_size, static_cast<int>(count), static_cast<int>(width), static_cast<int>(height)};
    return true;
}

void draw_icons(platform& system, const std::vector<player_row>& rows, const icon_grid& grid) {
    std::unique_ptr<drawing> canvas = system.start_canvas_drawing(ui::icon_picker_canvas);
    canvas->fill_box(0, 0, grid.width, grid.height, white);
    canvas->set_mode(draw_mode::alpha_blend);
    for (int k = 0; k < grid.icon_count; ++k) {
        canvas->draw_picture(rows[static_cast<std::size_t>(k)].image,
                             (k % grid_columns) * grid.cell_size,
                             (k / grid_columns) * grid.cell_size);
    }
}

// -1 when the point lies on no icon: outside the popup or on an empty cell of the last row.
int icon_at(const icon_grid& grid, int x, int y) {
    if (x < 0 || y < 0) {
        return -1;
    }
    const int column = x / grid.cell_size;
    const int row = y / grid.cell_size;
    if (column >= grid_columns) {
        return -1;
    }
    const int64_t index = column + int64_t{grid_columns} * row;
    return index < grid.icon_count ? static_cast<int>(index) : -1;
}

// The position of the chosen icon, or -1. Any click or window event elsewhere in the program
// ends the wait without a choice; activating another window only brings the popup back.
int wait_for_choice(platform& system, const icon_grid& grid) {
    for (;;) {
        const window_event event = system.wait_event();
        if (event.window != ui::icon_picker_window) {
            if (event.kind == event_kind::activated) {
                system.activate_window(ui::icon_picker_window);
                continue;
            }
            if (event.kind == event_kind::deactivated || event.kind == event_kind::repaint) {
                continue;
            }
            if (event.type == control_event::none || event.type == control_event::left_click ||
                event.type == control_event::right_click) {
                return -1;
            }
            continue;
        }
        if (event.kind == event_kind::control && event.control == ui::icon_picker_canvas &&
            event.type == control_event::left_click) {
            const int index = icon_at(grid, system.mouse_x(ui::icon_picker_window),
                                      system.mouse_y(ui::icon_picker_window));
            if (index >= 0) {
                return index;
            }
        }
    }
}

std::string run_picker(platform& system, const std::vector<player_row>& rows, int screen_x,
                       int screen_y) {
    icon_grid grid;
    if (!make_grid(system.pictures(), rows, grid)) {
        return {};
    }
    if (!system.open_window(ui::icon_picker_window, screen_x, screen_y, grid.width, grid.height, {},
                            window_style::popup, ui::player_icons_window)) {
        return {};
    }
    system.create_canvas(ui::icon_picker_window, ui::icon_picker_canvas, 0, 0, grid.width,
                         grid.height, false);
    draw_icons(system, rows, grid);
    system.activate_window(ui::icon_picker_window);

    const int chosen = wait_for_choice(system, grid);

    system.remove_control(ui::icon_picker_canvas);
    system.close_window(ui::icon_picker_window);
    return chosen >= 0 ? rows[static_cast<std::size_t>(chosen)].pic : std::string();
}

}  // namespace

std::string choose_player_icon(game_state& state, platform& system, int screen_x, int screen_y) {
    const std::string directory = content_path(state.program_dir, "players", {});
    const std::optional<std::vector<std::string>> names = list_directory(directory, "*.png");
    if (!names) {
        system.message_box("Quillmark",
                           "Player icons are missing. Please check the players directory.",
                           message_buttons::ok, message_icon::error);
        return {};
    }
    std::vector<player_row> rows = load_icons(system.pictures(), directory, *names);
    std::string chosen = run_picker(system, rows, screen_x, screen_y);
    free_row_pictures(system.pictures(), rows);
    return chosen;
}

}  // namespace quill
