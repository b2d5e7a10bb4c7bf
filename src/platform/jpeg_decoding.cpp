#include <algorithm>
#include <bit>
#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <optional>

#include <jerror.h>
#include <jpeglib.h>

#include "platform/picture_decoding.h"
#include "platform/row_finishing.h"

namespace quill {

namespace {

// Every progressive scan passes over the whole picture; a file with thousands of tiny scans
// would otherwise keep the program busy for minutes.
constexpr int max_scans = 500;

struct jpeg_failure {
    jpeg_error_mgr manager;  // first, so that libjpeg's pointer to it leads back here
    std::jmp_buf jump;
    bool out_of_data;
};

jpeg_failure& failure_of(j_common_ptr info) {
    return *reinterpret_cast<jpeg_failure*>(info->err);
}

[[noreturn]] void abandon_jpeg(j_common_ptr info) {
    std::longjmp(failure_of(info).jump, 1);
}

void ignore_jpeg_output(j_common_ptr) {}

// libjpeg pads a truncated file with an end marker and merely warns; a picture with an
// invented grey bottom must count as a failure.
void note_jpeg_message(j_common_ptr info, int level) {
    if (level < 0 && info->err->msg_code == JWRN_JPEG_EOF) {
        failure_of(info).out_of_data = true;
    }
}

void limit_scans(j_common_ptr info) {
    if (info->is_decompressor &&
        reinterpret_cast<j_decompress_ptr>(info)->input_scan_number > max_scans) {
        abandon_jpeg(info);
    }
}

// Adobe writes CMYK inverted; the plain kind is converted the other way round.
void cmyk_to_rgb(uchar* line, int width, bool inverted) {
    auto* pixels = reinterpret_cast<QRgb*>(line);
    for (int x = 0; x < width; ++x) {
        int c = line[x * 4];
        int m = line[x * 4 + 1];
        int ye = line[x * 4 + 2];
        int k = line[x * 4 + 3];
        if (!inverted) {
            c = 255 - c;
            m = 255 - m;
            ye = 255 - ye;
            k = 255 - k;
        }
        pixels[x] = qRgb(c * k / 255, m * k / 255, ye * k / 255);
    }
}

// libjpeg reads through this from a picture_input: the whole file never has to be in memory.
struct input_source {
    jpeg_source_mgr manager;  // first, so that libjpeg's pointer to it leads back here
    picture_input* input;
};

input_source& source_of(j_decompress_ptr info) {
    return *reinterpret_cast<input_source*>(info->src);
}

void start_source(j_decompress_ptr) {}

// At the end of the data libjpeg gets an end marker and a warning, as from its own sources.
boolean fill_source(j_decompress_ptr info) {
    static const JOCTET end_marker[2] = {0xff, JPEG_EOI};
    input_source& source = source_of(info);
    const std::string_view piece = source.input->take(SIZE_MAX);
    if (piece.empty()) {
        WARNMS(info, JWRN_JPEG_EOF);
        source.manager.next_input_byte = end_marker;
        source.manager.bytes_in_buffer = sizeof end_marker;
    } else {
        source.manager.next_input_byte = reinterpret_cast<const JOCTET*>(piece.data());
        source.manager.bytes_in_buffer = piece.size();
    }
    return TRUE;
}

void skip_source(j_decompress_ptr info, long count) {
    jpeg_source_mgr& manager = source_of(info).manager;
    while (count > 0) {
        if (manager.bytes_in_buffer == 0) {
            fill_source(info);
        }
        const size_t skipped = std::min(static_cast<size_t>(count), manager.bytes_in_buffer);
        manager.next_input_byte += skipped;
        manager.bytes_in_buffer -= skipped;
        count -= static_cast<long>(skipped);
        if (failure_of(reinterpret_cast<j_common_ptr>(info)).out_of_data) {
            return;
        }
    }
}

void end_source(j_decompress_ptr) {}

// The two phases hold a setjmp each, since libjpeg leaves them by longjmp on any error; the
// picture, its rows and their finisher live in the caller, between the phases, because no
// object with a destructor may live in a frame that longjmp leaves.
bool start_jpeg(jpeg_decompress_struct& info, jpeg_failure& failure, jpeg_progress_mgr& progress,
                input_source& source) {
    if (setjmp(failure.jump)) {
        return false;
    }
    jpeg_create_decompress(&info);
    // Beyond this libjpeg would need a backing store, which it lacks, so it fails instead.
    info.mem->max_memory_to_use = max_picture_pixel_bytes;
    info.progress = &progress;
    info.src = &source.manager;
    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK) {
        return false;
    }
    if (!picture_size_acceptable(info.image_width, info.image_height)) {
        return false;
    }
    const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
    // Colour and grey alike are decoded as native 32-bit 0xFFRRGGBB words straight into the
    // picture's rows; CMYK also takes four bytes a pixel and is converted in place, row by row.
    if (cmyk) {
        info.out_color_space = JCS_CMYK;
    } else if constexpr (std::endian::native == std::endian::little) {
        info.out_color_space = JCS_EXT_BGRX;
    } else {
        info.out_color_space = JCS_EXT_XRGB;
    }
    jpeg_start_decompress(&info);
    return info.output_components == 4 && info.output_width == info.image_width &&
           info.output_height == info.image_height;
}

bool read_jpeg_rows(jpeg_decompress_struct& info, jpeg_failure& failure, const decoded_rows& target,
                    row_finisher& rows) {
    if (setjmp(failure.jump)) {
        return false;
    }
    while (info.output_scanline < info.output_height) {
        const int y = static_cast<int>(info.output_scanline);
        JSAMPROW row = target.line(y);
        if (jpeg_read_scanlines(&info, &row, 1) != 1) {
            return false;
        }
        rows.decoded(y);
    }
    return !failure.out_of_data;
}

std::optional<QImage> read_jpeg(jpeg_decompress_struct& info, jpeg_failure& failure,
                                jpeg_progress_mgr& progress, input_source& source) {
    // A file of several scans is read whole before its first row; one that ended early fails
    // anyway, so its picture, as large as its header claims, is never asked for.
    if (!start_jpeg(info, failure, progress, source) || failure.out_of_data) {
        return std::nullopt;
    }
    QImage image(static_cast<int>(info.output_width), static_cast<int>(info.output_height),
                 QImage::Format_RGB32);
    if (image.isNull()) {
        return std::nullopt;
    }
    decoded_rows target{image.bits(), image.bytesPerLine(), image.width(), image.height(), {}};
    target.progress = source.input->progress();
    if (info.out_color_space == JCS_CMYK) {
        const bool inverted = info.saw_Adobe_marker;
        target.finish = [inverted](uchar* line, int width) { cmyk_to_rgb(line, width, inverted); };
    }
    row_finisher rows(target);
    const bool complete = read_jpeg_rows(info, failure, target, rows);
    rows.wait(complete);
    if (!complete) {
        return std::nullopt;
    }
    return image;
}

}  // namespace

bool is_jpeg(std::string_view bytes) {
    return bytes.size() >= 3 && static_cast<unsigned char>(bytes[0]) == 0xff &&
           static_cast<unsigned char>(bytes[1]) == 0xd8 &&
           static_cast<unsigned char>(bytes[2]) == 0xff;
}

std::optional<QImage> decode_jpeg(picture_input& input) {
    if (!is_jpeg(input.peek(3))) {
        return std::nullopt;
    }
    jpeg_decompress_struct info{};
    jpeg_failure failure{};
    info.err = jpeg_std_error(&failure.manager);
    failure.manager.error_exit = abandon_jpeg;
    failure.manager.output_message = ignore_jpeg_output;
    failure.manager.emit_message = note_jpeg_message;
    jpeg_progress_mgr progress{};
    progress.progress_monitor = limit_scans;
    input_source source{};
    source.input = &input;
    source.manager.init_source = start_source;
    source.manager.fill_input_buffer = fill_source;
    source.manager.skip_input_data = skip_source;
    source.manager.resync_to_restart = jpeg_resync_to_restart;
    source.manager.term_source = end_source;

    std::optional<QImage> image = read_jpeg(info, failure, progress, source);
    jpeg_destroy_decompress(&info);
    return image;
}

std::optional<QImage> decode_jpeg(std::string_view bytes) {
    picture_input input(bytes);
    return decode_jpeg(input);
}

}  // namespace quill
