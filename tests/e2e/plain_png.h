#pragma once

#include <string>

#include "e2e/x_session.h"

namespace quill::e2e {

// Writes a PNG of one colour with a single pixel of another at (mark.x, mark.y), streamed row
// by row, so that a map of 16384 × 16384 takes seconds and little memory to write, and as long
// to decode as any map of its size. False when the file could not be written.
bool write_plain_png(const std::string& path, int width, int height, rgb colour, point mark,
                     rgb mark_colour);

}  // namespace quill::e2e
