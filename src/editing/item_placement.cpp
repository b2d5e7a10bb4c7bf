#include "editing/item_placement.h"

#include "content/ui_numbers.h"
#include "state/game_rules.h"
#include "view/picture_picker.h"

namespace quill {

namespace {

// How far inside the map an item placed beyond its edge ends up.
constexpr int32_t edge_margin = 10;

// The position of the entry with this id; -1 when there is none.
int find_entry(const item_list<catalogue_entry>& catalogue, const std::string& id) {
    const catalogue_entry* current = catalogue.current();
    if (current != nullptr && current->id == id) {
        return catalogue.current_position();
    }
    for (int i = 0; i < catalogue.size(); ++i) {
        if (catalogue[i].id == id) {
            return i;
        }
    }
    return -1;
}

}  // namespace

bool place_map_item(game_state& state, const std::string& id, item_list<map_item>& list,
                    const item_list<catalogue_entry>& catalogue, int32_t x, int32_t y) {
    if (catalogue.empty()) {
        return false;
    }
    const level_info& level = state.level;
    const int64_t right_limit = int64_t{level.map_width} - level.tile_x;
    const int64_t bottom_limit = int64_t{level.map_height} - level.tile_y;
    // A left edge of exactly 0 counts as beyond the map, a top edge of 0 does not.
    if (x <= 0) {
        x = clamp_to_int32(int64_t{level.view_x} + edge_margin);
    } else if (x > right_limit) {
        x = clamp_to_int32(right_limit - edge_margin);
    }
    if (y < 0) {
        y = clamp_to_int32(int64_t{level.view_y} + edge_margin);
    } else if (y > bottom_limit) {
        y = clamp_to_int32(bottom_limit - edge_margin);
    }
    const int position = find_entry(catalogue, id);
    if (position < 0) {
        return false;
    }
    map_item item;
    item.catalogue_index = position;
    item.x = x;
    item.y = y;
    list.add(item);
    return true;
}

void place_inscribed_item(game_state& state, platform& system, item_list<catalogue_entry>& kinds,
                          item_list<map_item>& items, random_cell random,
                          const inscription_questions& questions) {
    const int chosen =
        pick_picture(state, system, kinds, state.level.tile_x, state.level.tile_y, random);
    if (chosen < 0) {
        return;
    }
    kinds.select(chosen);
    system.activate_window(ui::main_window);
    const catalogue_entry kind = kinds[chosen];
    const std::string first = system.input_text(
        "Quillmark", questions.first_prompt,
        questions.first_default == first_answer::kind_name ? kind.name : std::string());
    const std::string second = system.input_text("Quillmark", questions.second_prompt, "");
    if (!place_map_item(state, kind.id, items, kinds, state.placement_point.x,
                        state.placement_point.y)) {
        return;
    }
    const int slot = find_free_label(state);
    if (slot != 0) {
        state.labels.set(slot, questions.inscribe(system, first, second));
        items.current()->label = slot;
    }
    state.state_modified = true;
}

}  // namespace quill
