#pragma once

#include <string>

namespace quill {

// program_dir, a subdirectory, the separator that ends program_dir, then the file name.
inline std::string content_path(const std::string& program_dir, const std::string& subdirectory,
                                const std::string& file_name) {
    const char separator = program_dir.empty() ? '/' : program_dir.back();
    return program_dir + subdirectory + separator + file_name;
}

}  // namespace quill
