#include "view/hit_testing.h"

#include "content/ui_numbers.h"
#include "view/zoom_viewport.h"

namespace quill {

namespace {

constexpr int skip_nothing = -1;

bool hit_box(game_state& state, platform& system, item_list<map_item>& list, int32_t width,
             int32_t height, int skip_position) {
    if (list.empty()) {
        return false;
    }
    const int32_t mx = window_to_map(state, system, system.mouse_x(ui::main_window), axis::x);
    const int32_t my = window_to_map(state, system, system.mouse_y(ui::main_window), axis::y);
    for (int i = list.size() - 1; i >= 0; --i) {
        const map_item& item = list[i];
        if (i != skip_position && item.x < mx && mx < item.x + width && item.y < my &&
            my < item.y + height) {
            list.select(i);
            return true;
        }
    }
    list.select(0);
    return false;
}

}  // namespace

bool hit_token(game_state& state, platform& system) {
    const int32_t size = state.level.playersize;
    return hit_box(state, system, state.tokens, size, size, skip_nothing);
}

bool hit_item(game_state& state, platform& system, item_list<map_item>& list) {
    return hit_item_other_than(state, system, list, skip_nothing);
}

bool hit_item_other_than(game_state& state, platform& system, item_list<map_item>& list,
                         int skip_position) {
    return hit_box(state, system, list, state.level.tile_x, state.level.tile_y, skip_position);
}

}  // namespace quill
