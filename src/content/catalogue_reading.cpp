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

entry_texts read_entry_texts(const xml_element& entry) {
    entry_texts texts;
    for (const xml_element& field : entry.children) {
        if (field.name == "name") {
            texts.name = field.text;
        } else if (field.name == "id") {
            texts.id = field.text;
            texts.has_id = true;
        } else if (field.name == "comment") {
            texts.comment = field.text;
        } else if (field.name == "pic") {
            texts.pic = field.text;
            texts.has_pic = true;
        }
    }
    return texts;
}

}  // namespace

catalogue_file_state visit_catalogue_entries(platform& system, const std::string& path,
                                             std::string_view entry_name,
                                             const std::function<void(const entry_texts&)>& visit) {
    const xml_document document = read_xml_file(path);
    if (!document.loaded) {
        return catalogue_file_state::missing;
    }
    if (!document.well_formed) {
        report_xml_error(system, document);
    }
    if (document.root) {
        for (const xml_element& child : document.root->children) {
            if (child.name == entry_name) {
                visit(read_entry_texts(child));
            }
        }
    }
    return document.well_formed ? catalogue_file_state::read : catalogue_file_state::damaged;
}

void clear_catalogue(item_list<catalogue_entry>& catalogue, picture_store& pictures) {
    for (const catalogue_entry& entry : catalogue) {
        pictures.free(entry.image);
    }
    catalogue.clear();
}

// A player's icon is named by its pic, a kind's picture by its id and the level's orientation.
// Only the last of several such children counts, as if each had replaced the picture before.
void read_catalogue(game_state& state, platform& system, catalogue_kind kind) {
    const catalogue_file file = file_of(kind);
    item_list<catalogue_entry>& catalogue = list_of(state, kind);
    picture_store& pictures = system.pictures();
    const std::string orientation = std::to_string(state.level.tile_orientation);
    const auto add_entry = [&](const entry_texts& texts) {
        catalogue_entry& entry = catalogue.add({texts.name, texts.id, 0, texts.comment});
        if (kind == catalogue_kind::players) {
            if (texts.has_pic) {
                entry.image = pictures.load(content_path(state.program_dir, "players", texts.pic));
            }
            add_token(state, catalogue.size() - 1);
        } else if (texts.has_id) {
            entry.image = pictures.load(
                content_path(state.program_dir, "pics", texts.id + orientation + ".png"));
        }
    };
    visit_catalogue_entries(system, state.program_dir + file.file_name, file.entry_name, add_entry);
}

}  // namespace quill
