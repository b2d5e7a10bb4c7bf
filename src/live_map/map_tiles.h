#pragma once

#include <QImage>

namespace quill {

// The live map's tiles: a pyramid of square tiles of the map picture. Level `top` shows the
// picture at 100 %, each level below at half the scale of the one above, level 0 the whole map
// in one tile.
inline constexpr int tile_size = 256;

// The smallest level at which the picture is shown at 100 % while level 0 still holds the whole
// map in one tile: ceil(log2(max(width, height) / 256)), 0 for maps of up to 256 pixels.
int top_tile_level(int map_width, int map_height);

// The number of tiles across a picture extent (width or height) at level z, 0 when z is outside
// the pyramid.
int tiles_across(int extent, int top, int z);

// A tile_size x tile_size tile (Format_ARGB32_Premultiplied) of level z: each pixel is the mean
// of the f x f block of picture pixels it covers, f = 2^(top - z), over the pixels the picture
// has (blocks are cut at its right and bottom edges), per premultiplied channel, rounded half
// up; an opaque picture gives alpha 255. Pixels wholly beyond the picture are transparent.
// A null image for a level or tile outside the pyramid, or for a null map.
// RGB32 and ARGB32_Premultiplied pictures are read as they are; others are converted first,
// which copies the whole picture (readable_map does it once).
QImage render_tile(const QImage& map, int z, int x, int y);

// The picture in a format render_tile reads without converting; a shallow copy of it when it
// already is.
QImage readable_map(const QImage& map);

}  // namespace quill
