#include "content/program_folder.h"

#include "platform/files.h"

namespace quill {

namespace {

constexpr const char* level_file_name = "KTV.gxml";
constexpr const char* installed_share = "share/quillmark/";
// Deep enough for any level; a folder linked into itself must not keep the start waiting.
constexpr int deepest_folder = 16;

// Everything up to and including the last slash, "/" for a bare name.
std::string folder_of(const std::string& path) {
    const std::string::size_type slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string("/") : path.substr(0, slash + 1);
}

bool holds_level_file(const std::string& folder) {
    return file_size(folder + level_file_name) >= 0;
}

// Copies every file of source that target lacks, folders included, but the level file of the
// top folder, which marks a complete copy. False when anything could not be copied.
bool copy_missing_files(const std::string& source, const std::string& target, int depth) {
    if (depth > deepest_folder || !make_directory(target)) {
        return false;
    }
    const auto files = list_directory(source, "*");
    const auto folders = list_folders(source);
    if (!files || !folders) {
        return false;
    }
    bool copied = true;
    for (const std::string& name : *files) {
        if ((depth == 0 && name == level_file_name) || path_exists(target + name)) {
            continue;
        }
        copied = copy_file(source + name, target + name) && copied;
    }
    for (const std::string& name : *folders) {
        copied = copy_missing_files(source + name + "/", target + name + "/", depth + 1) && copied;
    }
    return copied;
}

std::string copy_failed_message(const std::string& level_dir, const std::string& installed) {
    return "Die Ebene konnte nicht in den Ordner '" + level_dir +
           "' kopiert werden. Quillmark liest sie aus '" + installed +
           "'; geänderte Spielericons können dort nicht gespeichert werden.";
}

}  // namespace

std::string installed_content_dir(const std::string& program_file) {
    const std::string own = folder_of(program_file);
    // The folder above the program's own: "/usr/" for "/usr/games/".
    const std::string::size_type above =
        own.size() < 2 ? std::string::npos : own.find_last_of('/', own.size() - 2);
    return (above == std::string::npos ? own : own.substr(0, above + 1)) + installed_share;
}

std::string user_level_dir(platform& system) {
    const std::string data = system.data_dir();
    return data.empty() ? std::string() : data + "Level/";
}

program_folder find_program_folder(platform& system) {
    const std::string program_file = system.program_file_path();
    const std::string own = folder_of(program_file);
    if (holds_level_file(own)) {
        return {own, {}};
    }
    const std::string level_dir = user_level_dir(system);
    if (!level_dir.empty() && holds_level_file(level_dir)) {
        return {level_dir, {}};
    }
    const std::string installed = installed_content_dir(program_file);
    if (!holds_level_file(installed)) {
        return {own, {}};
    }
    if (level_dir.empty()) {
        return {installed,
                "Quillmark findet keinen Datenordner des Benutzers. Die Ebene wird aus '" +
                    installed +
                    "' gelesen; geänderte Spielericons können dort nicht "
                    "gespeichert werden."};
    }
    if (copy_missing_files(installed, level_dir, 0) &&
        copy_file(installed + level_file_name, level_dir + level_file_name)) {
        return {level_dir, {}};
    }
    return {installed, copy_failed_message(level_dir, installed)};
}

}  // namespace quill
