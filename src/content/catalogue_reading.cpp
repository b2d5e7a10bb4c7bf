#include "content/catalogue_reading.h"

#include "content/content_paths.h"
#include "content/xml_error_report.h"
#include "platform/xml_document.h"
#include "state/game_rules.h"

namespace quill {

namespace {

struct catalogue_file {
    const char* file_name;
    const char* entry_name;
};

catalogue_file file_of(catalogue_kind kind) {
    switch (kind) {
        case catalogue_kind::players:
            return {"players.xml", "player"};
        case catalogue_kind::graves:
            return {"graves.xml", "item"};
        case catalogue_kind::transports:
            return {"transports.xml", "item"};
    }
    return {"", ""};
}

item_list<catalogue_entry>& list_of(game_state& state, catalogue_kind kind) {
    switch (kind) {
        case catalogue_kind::players:
            return state.player_catalogue;
        case catalogue_kind::graves:
            return state.grave_catalogue;
        case catalogue_kind::transports:
            break;
    }
    return state.transport_catalogue;
}

void replace_picture(picture_store& pictures, int32_t& image, const std::string& path) {
    pictures.free(image);
    image = pictures.load(path);
}

// Tokens stand in a row along the top of the map; each trail runs straight down from the
// token's centre, so that transports attached before any move line up below it. A row longer
// than any map ends at the coordinate limit, and so do its trails.
void add_token(game_state& state, int catalogue_index) {
    const int32_t size = state.level.playersize;
    map_item token;
    token.catalogue_index = catalogue_index;
    token.x = limit_coordinate(int64_t{catalogue_index} * size + 25);
    token.y = 20;
    state.tokens.add(token);

    token_trail trail;
    for (int j = 0; j < token_trail::point_count; ++j) {
        trail.points[j] = {limit_coordinate(int64_t{token.x} + size / 2),
                           limit_coordinate(int64_t{token.y} + size / 2 + (size / 4) * j)};
    }
    state.token_trails.add(trail);
}

}  // namespace

void clear_catalogue(item_list<catalogue_entry>& catalogue, picture_store& pictures) {
    for (const catalogue_entry& entry : catalogue) {
        pictures.free(entry.image);
    }
    catalogue.clear();
}

void read_catalogue(game_state& state, platform& system, catalogue_kind kind) {
    const catalogue_file file = file_of(kind);
    const xml_document document = read_xml_file(state.program_dir + file.file_name);
    if (!document.loaded) {
        return;
    }
    if (!document.well_formed) {
        report_xml_error(system, document);
    }
    if (!document.root) {
        return;
    }
    item_list<catalogue_entry>& catalogue = list_of(state, kind);
    picture_store& pictures = system.pictures();
    const std::string orientation = std::to_string(state.level.tile_orientation);

    for (const xml_element& child : document.root->children) {
        if (child.name != file.entry_name) {
            continue;
        }
        catalogue_entry& entry = catalogue.add({});
        for (const xml_element& field : child.children) {
            if (field.name == "name") {
                entry.name = field.text;
            } else if (field.name == "comment") {
                entry.comment = field.text;
            } else if (field.name == "id") {
                entry.id = field.text;
                if (kind != catalogue_kind::players) {
                    replace_picture(
                        pictures, entry.image,
                        content_path(state.program_dir, "pics", field.text + orientation + ".png"));
                }
            } else if (field.name == "pic" && kind == catalogue_kind::players) {
                replace_picture(pictures, entry.image,
                                content_path(state.program_dir, "players", field.text));
            }
        }
        if (kind == catalogue_kind::players) {
            add_token(state, catalogue.size() - 1);
        }
    }
}

}  // namespace quill
