#include "live_map/live_view.h"

namespace quill {

namespace {

void add_pictures(std::vector<live_picture>& pictures, const picture_store& store,
                  const item_list<catalogue_entry>& catalogue, const std::string& prefix) {
    for (int i = 0; i < catalogue.size(); ++i) {
        const picture_handle handle = catalogue[i].image;
        pictures.push_back({prefix + std::to_string(i), handle, store.version(handle),
                            store.width(handle), store.height(handle)});
    }
}

std::vector<live_item> items_of(const item_list<map_item>& items,
                                const item_list<catalogue_entry>& catalogue) {
    std::vector<live_item> shown;
    shown.reserve(static_cast<std::size_t>(items.size()));
    for (const map_item& item : items) {
        shown.push_back({item.x, item.y,
                         catalogue.contains(item.catalogue_index) ? item.catalogue_index : -1,
                         item.label});
    }
    return shown;
}

}  // namespace

live_view take_live_view(const game_state& state, const picture_store& pictures) {
    live_view view;
    const level_info& level = state.level;
    view.name = level.name;
    view.background = level.background;
    view.background_version = pictures.version(level.background);
    view.map_width = pictures.width(level.background);
    view.map_height = pictures.height(level.background);
    add_pictures(view.pictures, pictures, state.player_catalogue, "p");
    add_pictures(view.pictures, pictures, state.grave_catalogue, "g");
    add_pictures(view.pictures, pictures, state.transport_catalogue, "r");
    const ping_marker& marker = state.marker;
    view.pictures.push_back({"m", marker.image, pictures.version(marker.image),
                             pictures.width(marker.image), pictures.height(marker.image)});
    view.tokens = items_of(state.tokens, state.player_catalogue);
    view.graves = items_of(state.graves, state.grave_catalogue);
    view.transports = items_of(state.transports, state.transport_catalogue);
    if (state.drag_mode == drag_kind::drag_transport && state.transports.current() != nullptr) {
        view.dragged_transport = state.transports.current_position();
    }
    view.marker = {marker.active, marker.x, marker.y, marker.start_time};
    view.labels = state.labels;
    return view;
}

const live_picture* find_picture(const live_view& view, const std::string& name) {
    for (const live_picture& picture : view.pictures) {
        if (picture.name == name) {
            return &picture;
        }
    }
    return nullptr;
}

}  // namespace quill
