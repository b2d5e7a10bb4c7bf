#include "content/level_loading.h"

#include <optional>

#include "content/catalogue_reading.h"
#include "content/content_paths.h"
#include "content/level_number.h"
#include "content/ui_numbers.h"
#include "content/xml_error_report.h"
#include "platform/xml_document.h"
#include "state/game_rules.h"

namespace quill {

namespace {

bool is_background(const xml_element& pic) {
    for (const xml_attribute& attribute : pic.attributes) {
        if (attribute.name == "type") {
            return attribute.value == "bg";
        }
    }
    return false;
}

void load_background(game_state& state, platform& system, const std::string& file_name) {
    level_info& level = state.level;
    picture_store& pictures = system.pictures();
    pictures.free(level.background);
    // The view picks the pixels it shows straight from the background and needs no working
    // copy of the map.
    level.background = system.load_map_picture(content_path(state.program_dir, "pics", file_name));
    level.map_width = pictures.width(level.background);
    level.map_height = pictures.height(level.background);
}

void read_level_file(game_state& state, platform& system, const std::string& path) {
    const xml_document document = read_xml_file(path);
    if (!document.loaded) {
        return;
    }
    state.level.level_file = path;
    if (!document.well_formed) {
        report_xml_error(system, document);
    }
    if (!document.root) {
        return;
    }
    level_info& level = state.level;
    std::optional<int32_t> tile_x;
    std::optional<int32_t> tile_y;
    for (const xml_element& child : document.root->children) {
        if (child.name == "name") {
            level.name = child.text;
        } else if (child.name == "pic") {
            if (is_background(child)) {
                load_background(state, system, child.text);
            }
        } else if (child.name == "tile_x") {
            tile_x = limit_level_size(parse_level_number(child.text));
        } else if (child.name == "tile_y") {
            tile_y = limit_level_size(parse_level_number(child.text));
        } else if (child.name == "playersize") {
            level.playersize = limit_level_size(parse_level_number(child.text));
        } else if (child.name == "tile_orientation") {
            level.tile_orientation = static_cast<int8_t>(parse_level_number(child.text));
        }
    }
    // Sizes this file does not give were exchanged by the load that read them, if at all.
    const bool exchanged = level.tile_orientation != 0;
    if (tile_x) {
        (exchanged ? level.tile_y : level.tile_x) = *tile_x;
    }
    if (tile_y) {
        (exchanged ? level.tile_x : level.tile_y) = *tile_y;
    }
}

}  // namespace

void load_level(game_state& state, platform& system, const std::string& level_path) {
    const busy_scope busy(system);
    picture_store& pictures = system.pictures();
    state.tokens.clear();
    clear_catalogue(state.player_catalogue, pictures);
    state.graves.clear();
    clear_catalogue(state.grave_catalogue, pictures);
    state.transports.clear();
    clear_catalogue(state.transport_catalogue, pictures);
    state.token_trails.clear();
    state.labels.clear();
    state.history.clear();

    const std::string path = level_path.empty() ? state.program_dir + "KTV.gxml" : level_path;
    read_level_file(state, system, path);

    state.level.zoom = 100;
    if (!state.level.name.empty()) {
        system.set_window_title(ui::main_window, state.level.name);
    }

    read_catalogue(state, system, catalogue_kind::players);
    read_catalogue(state, system, catalogue_kind::graves);
    read_catalogue(state, system, catalogue_kind::transports);
    state.state_modified = false;
}

}  // namespace quill
