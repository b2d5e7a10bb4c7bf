#include "view/picture_picker.h"

#include <cstdint>

#include "content/content_paths.h"
#include "content/ui_numbers.h"

namespace quill {

namespace {

constexpr int no_choice = -1;
// Far beyond any screen, yet small enough that the picker canvas of a damaged level's tile
// size stays a bounded allocation.
constexpr int64_t max_grid_extent = 8192;

struct grid {
    int x = 0;  // window pixels of the top-left corner
    int y = 0;
    int width = 0;
    int height = 0;
    int cell_width = 0;
    int cell_height = 0;
};

// False for a grid with nothing to show or of a size no screen could show.
bool grid_fits(int cells, int cell_width, int cell_height) {
    if (cells <= 0 || cell_width <= 0 || cell_height <= 0) {
        return false;
    }
    const int64_t rows = (static_cast<int64_t>(cells) + picker_columns - 1) / picker_columns;
    return int64_t{picker_columns} * cell_width <= max_grid_extent &&
           rows * cell_height <= max_grid_extent;
}

// Centred on the pointer, pulled left and up so that it ends at the window's inner edges; never
// pushed right or down, so a window narrower than the grid cuts it off on the left. The inner
// height counts the menu bar, which the controls' area does not have: without taking it off,
// the grid's last row would hang below the window's bottom edge, out of reach.
grid place_grid(platform& system, int cells, int cell_width, int cell_height) {
    grid placed;
    placed.cell_width = cell_width;
    placed.cell_height = cell_height;
    placed.width = picker_columns * cell_width;
    placed.height = (cells + picker_columns - 1) / picker_columns * cell_height;
    const int window_width = system.inner_width(ui::main_window);
    const int window_height = system.client_height(ui::main_window);
    placed.x = system.mouse_x(ui::main_window) - cell_width / 2;
    if (placed.x + placed.width > window_width) {
        placed.x = window_width - placed.width;
    }
    placed.y = system.mouse_y(ui::main_window) - cell_height / 2;
    if (placed.y + placed.height > window_height) {
        placed.y = window_height - placed.height;
    }
    return placed;
}

void draw_grid(platform& system, const grid& shown, const item_list<catalogue_entry>& catalogue,
               picture_handle random_picture, bool offer_random) {
    auto canvas = system.start_canvas_drawing(ui::picker_canvas);
    canvas->set_mode(draw_mode::solid);
    canvas->fill_box(0, 0, shown.width, shown.height, {255, 255, 255});
    canvas->set_mode(draw_mode::alpha_blend);
    auto draw_cell = [&](int cell, picture_handle picture) {
        canvas->draw_picture(picture, cell % picker_columns * shown.cell_width,
                             cell / picker_columns * shown.cell_height);
    };
    for (int i = 0; i < catalogue.size(); ++i) {
        draw_cell(i, catalogue[i].image);
    }
    if (offer_random) {
        draw_cell(catalogue.size(), random_picture);
    }
}

// The cell under the pointer, or no_choice beside the grid (or with the pointer outside the
// window, where its position is unknown).
int cell_under_pointer(platform& system, const grid& shown) {
    const int pointer_x = system.mouse_x(ui::main_window);
    const int pointer_y = system.mouse_y(ui::main_window);
    if (pointer_x == -1 || pointer_y == -1) {
        return no_choice;
    }
    const int rx = pointer_x - shown.x;
    const int ry = pointer_y - shown.y;
    if (rx < 0 || rx >= shown.width || ry < 0 || ry >= shown.height) {
        return no_choice;
    }
    return rx / shown.cell_width + ry / shown.cell_height * picker_columns;
}

bool is_main_window_canvas(const window_event& event) {
    return event.window == ui::main_window &&
           (event.control == ui::map_canvas || event.control == ui::picker_canvas);
}

// Everything but a click or a command is swallowed while the grid is open, a close request
// included.
int wait_for_choice(platform& system, const grid& shown) {
    for (;;) {
        const window_event event = system.wait_event();
        if (event.kind == event_kind::menu) {
            return no_choice;
        }
        if (event.kind != event_kind::control || !is_main_window_canvas(event)) {
            continue;
        }
        if (event.type == control_event::left_click) {
            return cell_under_pointer(system, shown);
        }
        if (event.type == control_event::right_click) {
            return no_choice;
        }
    }
}

}  // namespace

int pick_picture(game_state& state, platform& system, const item_list<catalogue_entry>& catalogue,
                 int cell_width, int cell_height, random_cell random) {
    const bool offer_random = random == random_cell::offered;
    const int count = catalogue.size();
    const int cells = offer_random ? count + 1 : count;
    if (!grid_fits(cells, cell_width, cell_height)) {
        return no_choice;
    }
    picture_store& pictures = system.pictures();
    const picture_handle random_picture =
        pictures.load(content_path(state.program_dir, "pics", "rnd.png"));
    const grid shown = place_grid(system, cells, cell_width, cell_height);
    system.move_control(ui::picker_canvas, shown.x, shown.y, shown.width, shown.height);
    system.show_control(ui::picker_canvas);
    draw_grid(system, shown, catalogue, random_picture, offer_random);

    int result = wait_for_choice(system, shown);
    if (offer_random && result == count) {
        // An empty catalogue has nothing to choose from at random.
        result = count > 0 ? system.random_int(0, count - 1) : no_choice;
    } else if (result > count - 1) {
        result = no_choice;
    }

    system.hide_control(ui::picker_canvas);
    pictures.free(random_picture);
    return result;
}

}  // namespace quill
