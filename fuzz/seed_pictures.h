#pragma once

#include <string>

namespace quill {

// Small PNG files of every colour type and depth, interlaced and not, and JPEG files in colour,
// grey, progressive and CMYK, written by libpng and libjpeg into folder.
void write_picture_seeds(const std::string& folder);

}  // namespace quill
