#include "content/players_file.h"

#include "content/catalogue_reading.h"
#include "content/content_paths.h"
#include "platform/files.h"

namespace quill {

namespace {

constexpr const char* players_file_name = "players.xml";

xml_element text_element(const char* name, const std::string& text) {
    xml_element element;
    element.name = name;
    element.text = text;
    return element;
}

}  // namespace

players_file_rows read_player_rows(platform& system, const std::string& program_dir) {
    const std::string path = program_dir + players_file_name;
    players_file_rows result;
    picture_store& pictures = system.pictures();
    const auto add_row = [&](const entry_texts& texts) {
        player_row& row = result.rows.emplace_back();
        row.pic = texts.pic;
        row.name = texts.name;
        row.id = texts.id;
        row.comment = texts.comment;
        if (texts.has_pic) {
            row.image = pictures.load(content_path(program_dir, "players", texts.pic));
        }
    };
    switch (visit_catalogue_entries(system, path, "player", add_row)) {
        case catalogue_file_state::read:
            result.state = players_file_state::read;
            break;
        case catalogue_file_state::missing:
            result.state =
                file_size(path) > 0 ? players_file_state::unreadable : players_file_state::missing;
            break;
        case catalogue_file_state::damaged:
            result.state = players_file_state::damaged;
            break;
    }
    return result;
}

xml_element players_document(const std::vector<player_row>& rows) {
    xml_element root;
    root.name = "players";
    root.children.reserve(rows.size());
    for (const player_row& row : rows) {
        xml_element& player = root.children.emplace_back();
        player.name = "player";
        player.children = {text_element("name", row.name), text_element("id", row.id),
                           text_element("pic", row.pic), text_element("comment", row.comment)};
    }
    return root;
}

bool write_player_rows(const std::string& program_dir, const std::vector<player_row>& rows) {
    return save_xml_file(program_dir + players_file_name, players_document(rows));
}

}  // namespace quill
