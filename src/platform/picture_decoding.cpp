#include "platform/picture_decoding.h"

#include <QFile>

namespace quill {

std::optional<QImage> decode_picture(picture_input& input) {
    const std::string_view start = input.peek(8);
    if (is_png(start)) {
        return decode_png(input);
    }
    if (is_jpeg(start)) {
        return decode_jpeg(input);
    }
    return std::nullopt;
}

std::optional<QImage> decode_picture_file(const std::string& path, load_progress* progress) {
    QFile file(QString::fromUtf8(path));
    // Qt's own buffer would only copy every piece once more.
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        return std::nullopt;
    }
    const qint64 size = file.size();
    if (size <= 0 || size > max_picture_file_bytes) {
        return std::nullopt;
    }
    picture_input input(file);
    input.report_to(progress);
    return decode_picture(input);
}

std::optional<QImage> decode_picture(std::string_view bytes) {
    picture_input input(bytes);
    return decode_picture(input);
}

}  // namespace quill
