#include "view/map_composition.h"

#include "content/ui_numbers.h"

namespace quill {

void draw_hover_label(drawing& canvas, const game_state& state, platform& system) {
    const std::string& text = state.hover.text;
    const int tw = canvas.text_width(text);
    const int th = canvas.text_height(text);
    int bx = state.hover.x;
    int by = state.hover.y;
    const int inner_width = system.inner_width(ui::main_window);
    const int client_height = system.client_height(ui::main_window);
    if (bx + tw + 4 > inner_width) {
        bx = inner_width - tw - 4;
    }
    if (by + th + 4 > client_height) {
        by = client_height - th - 4;
    }
    canvas.fill_box(bx, by, tw + 4, th + 4, {0, 0, 0});
    canvas.draw_text(bx + 2, by + 2, text);
}

}  // namespace quill
