#include "content/players_file.h"

#include "content/content_paths.h"
#include "content/xml_error_report.h"
#include "platform/files.h"

namespace quill {

namespace {

constexpr const char* players_file_name = "players.xml";

player_row read_row(picture_store& pictures, const std::string& program_dir,
                    const xml_element& player) {
    player_row row;
    for (const xml_element& field : player.children) {
        if (field.name == "name") {
            row.name = field.text;
        } else if (field.name == "id") {
            row.id = field.text;
        } else if (field.name == "comment") {
            row.comment = field.text;
        } else if (field.name == "pic") {
            row.pic = field.text;
            pictures.free(row.image);
            row.image = pictures.load(content_path(program_dir, "players", field.text));
        }
    }
    return row;
}

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
    const xml_document document = read_xml_file(path);
    if (!document.loaded) {
        result.state =
            file_size(path) > 0 ? players_file_state::unreadable : players_file_state::missing;
        return result;
    }
    if (!document.well_formed) {
        report_xml_error(system, document);
        result.state = players_file_state::damaged;
    }
    if (!document.root) {
        return result;
    }
    for (const xml_element& child : document.root->children) {
        if (child.name == "player") {
            result.rows.push_back(read_row(system.pictures(), program_dir, child));
        }
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
