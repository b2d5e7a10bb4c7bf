// The picture decoders, PNG and JPEG, through the entry every picture the program loads takes.

#include <QImage>

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/picture_decoding.h"
#include "support/fuzz_process.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    quill::fuzzing::start_process(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using quill::fuzzing::check;
    const auto picture = quill::decode_picture({reinterpret_cast<const char*>(data), size});
    if (!picture) {
        return 0;
    }
    check(quill::picture_size_acceptable(picture->width(), picture->height()),
          "a picture beyond the size limits was decoded");
    const bool opaque = picture->format() == QImage::Format_RGB32;
    check(opaque || picture->format() == QImage::Format_ARGB32_Premultiplied,
          "a picture came out in another format");
    // What the drawing code relies on: opaque pictures opaque, and no colour channel of a
    // premultiplied pixel above its alpha.
    for (int y = 0; y < picture->height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(picture->constScanLine(y));
        for (int x = 0; x < picture->width(); ++x) {
            const QRgb pixel = row[x];
            const int alpha = qAlpha(pixel);
            if (opaque ? alpha != 255
                       : qRed(pixel) > alpha || qGreen(pixel) > alpha || qBlue(pixel) > alpha) {
                quill::fuzzing::fail("pixel " + std::to_string(x) + ", " + std::to_string(y) +
                                     " is not a valid " + (opaque ? "opaque" : "premultiplied") +
                                     " pixel");
            }
        }
    }
    return 0;
}
