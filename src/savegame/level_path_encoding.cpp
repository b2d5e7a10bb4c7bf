#include "savegame/level_path_encoding.h"

namespace quill {

namespace {

void replace_all(std::string& text, const std::string& from, const std::string& to) {
    // An empty pattern would match everywhere and never end.
    if (from.empty()) {
        return;
    }
    std::string::size_type position = 0;
    while ((position = text.find(from, position)) != std::string::npos) {
        text.replace(position, from.size(), to);
        position += to.size();
    }
}

std::string with_slashes(std::string path) {
    replace_all(path, "\\", "/");
    return path;
}

}  // namespace

std::string encode_level_path(const std::string& level_file, const std::string& program_dir) {
    std::string stored = with_slashes(level_file);
    replace_all(stored, with_slashes(program_dir), program_dir_marker);
    return stored;
}

std::string decode_level_path(const std::string& stored_path, const std::string& program_dir) {
    std::string path = stored_path;
    replace_all(path, program_dir_marker, program_dir);
    return path;
}

}  // namespace quill
