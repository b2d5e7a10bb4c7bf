#pragma once

#include <cstdint>

#include <QImage>

namespace quill::testing {

// A picture of random pixels from a fixed seed: opaque for Format_RGB32, any valid
// premultiplied pixel for Format_ARGB32_Premultiplied.
QImage random_map(int width, int height, QImage::Format format, uint32_t seed = 1);

}  // namespace quill::testing
