#include "live_map/tile_png.h"

#include <QBuffer>

namespace quill {

namespace {

// For 32-bit formats with alpha, whose pixels read as QRgb.
bool opaque(const QImage& tile) {
    for (int y = 0; y < tile.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(tile.constScanLine(y));
        for (int x = 0; x < tile.width(); ++x) {
            if (qAlpha(line[x]) != 255) {
                return false;
            }
        }
    }
    return true;
}

}  // namespace

QByteArray encode_tile_png(const QImage& tile, int quality) {
    if (tile.isNull()) {
        return {};
    }
    const bool with_alpha = tile.format() == QImage::Format_ARGB32_Premultiplied ||
                            tile.format() == QImage::Format_ARGB32;
    const QImage written =
        with_alpha && opaque(tile) ? tile.convertToFormat(QImage::Format_RGB32) : tile;
    QByteArray png;
    QBuffer buffer(&png);
    if (!buffer.open(QIODevice::WriteOnly) || !written.save(&buffer, "PNG", quality)) {
        return {};
    }
    return png;
}

}  // namespace quill
