#pragma once

#include <QByteArray>
#include <QImage>

namespace quill {

// Qt's PNG quality parameter for tiles: it picks zlib's compression level, and a low level
// encodes several times faster for tiles only a little larger.
inline constexpr int tile_png_quality = 80;

// The tile as a PNG file; without an alpha channel when every pixel is opaque, which makes the
// file smaller and quicker to write. Empty for a null tile or when encoding fails.
QByteArray encode_tile_png(const QImage& tile, int quality = tile_png_quality);

}  // namespace quill
