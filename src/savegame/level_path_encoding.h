#pragma once

#include <string>

namespace quill {

// Stands for the program folder in a stored level path, so that a saved game still finds a
// level that lies in the program folder after that folder has moved.
inline constexpr const char* program_dir_marker = "\\\\PROGDIR\\\\";

// The level path as stored: slash separators, the program folder replaced by the marker.
std::string encode_level_path(const std::string& level_file, const std::string& program_dir);

// The stored path with the marker replaced by program_dir. Slashes stay slashes: they are this
// platform's separator.
std::string decode_level_path(const std::string& stored_path, const std::string& program_dir);

}  // namespace quill
