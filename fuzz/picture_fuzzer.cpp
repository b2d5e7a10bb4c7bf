// The picture decoders, PNG and JPEG, through the entry every picture the program loads takes.

#include <QImage>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include <zlib.h>

#include "platform/picture_decoding.h"
#include "support/fuzz_process.h"

namespace {

uint32_t big_endian(const uint8_t* at) {
    return uint32_t{at[0]} << 24 | uint32_t{at[1]} << 16 | uint32_t{at[2]} << 8 | at[3];
}

// Makes every whole chunk's checksum of a PNG fit its chunk again.
void fit_png_checksums(uint8_t* data, size_t size) {
    if (size < 8 || std::memcmp(data, "\x89PNG\r\n\x1a\n", 8) != 0) {
        return;
    }
    size_t at = 8;
    while (size - at >= 12 && big_endian(data + at) <= size - at - 12) {
        const uint32_t length = big_endian(data + at);
        const uLong crc = crc32(0, data + at + 4, length + 4);
        for (int i = 0; i < 4; ++i) {
            data[at + 8 + length + i] = static_cast<uint8_t>(crc >> (24 - 8 * i));
        }
        at += 12 + size_t{length};
    }
}

}  // namespace

extern "C" size_t LLVMFuzzerMutate(uint8_t* data, size_t size, size_t max_size);

// A mutated chunk's checksum would almost never fit, and the decoding would end at the first
// damaged chunk: seven mutations in eight get their checksums made to fit, so that the fuzzer
// reaches the inflating and decoding behind them; the others keep trying the checks.
extern "C" size_t LLVMFuzzerCustomMutator(uint8_t* data, size_t size, size_t max_size,
                                          unsigned int seed) {
    size = LLVMFuzzerMutate(data, size, max_size);
    if (seed % 8 != 0) {
        fit_png_checksums(data, size);
    }
    return size;
}

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
