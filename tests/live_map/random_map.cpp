#include "random_map.h"

#include <random>

namespace quill::testing {

QImage random_map(int width, int height, QImage::Format format, uint32_t seed) {
    QImage map(width, height, format);
    std::mt19937 random(seed);
    const bool opaque = format == QImage::Format_RGB32;
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(map.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const int alpha = opaque ? 255 : static_cast<int>(random() % 256);
            const auto channel = [&] { return static_cast<int>(random() % (alpha + 1)); };
            const int red = channel();
            const int green = channel();
            line[x] = qRgba(red, green, channel(), alpha);
        }
    }
    return map;
}

}  // namespace quill::testing
