#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/files.h"

namespace quill {

namespace {

// Callers read a few bytes at a time, so the file is read in chunks of this size.
constexpr int64_t chunk_size = 64 * 1024;

}  // namespace

struct file_reader::impl {
    QFile file;
    int64_t size = 0;
    int64_t position = 0;
    std::vector<uint8_t> buffer;
    int64_t buffer_start = 0;
    int64_t buffer_length = 0;

    int64_t remaining() const { return size - position; }

    // A file that shrinks while it is open ends where reading it first fails.
    void treat_as_end() {
        size = position;
        buffer_length = 0;
    }

    // Copies count bytes (count <= remaining()) from the read position and moves past them.
    bool take(uint8_t* target, int64_t count) {
        while (count > 0) {
            if (position >= buffer_start && position < buffer_start + buffer_length) {
                const int64_t offset = position - buffer_start;
                const int64_t n = std::min(count, buffer_length - offset);
                std::memcpy(target, buffer.data() + offset, static_cast<size_t>(n));
                target += n;
                count -= n;
                position += n;
            } else if (count >= chunk_size) {
                if (!file.seek(position) ||
                    file.read(reinterpret_cast<char*>(target), count) != count) {
                    treat_as_end();
                    return false;
                }
                position += count;
                return true;
            } else if (!fill()) {
                treat_as_end();
                return false;
            }
        }
        return true;
    }

    bool fill() {
        buffer.resize(chunk_size);
        buffer_length = 0;
        if (!file.seek(position)) {
            return false;
        }
        const int64_t wanted = std::min(chunk_size, remaining());
        const int64_t got = file.read(reinterpret_cast<char*>(buffer.data()), wanted);
        if (got <= 0) {
            return false;
        }
        buffer_start = position;
        buffer_length = got;
        return true;
    }

    // The unsigned little-endian value of the next width bytes, or 0 past the end.
    uint32_t read_le(int width) {
        uint8_t bytes[4] = {};
        if (remaining() < width) {
            position = size;
            return 0;
        }
        if (!take(bytes, width)) {
            return 0;
        }
        uint32_t value = 0;
        for (int i = width - 1; i >= 0; --i) {
            value = (value << 8) | bytes[i];
        }
        return value;
    }
};

file_reader::file_reader() : impl_(std::make_unique<impl>()) {}

file_reader::~file_reader() = default;

bool file_reader::open(const std::string& path) {
    close();
    const QString name = QString::fromStdString(path);
    if (QFileInfo(name).isDir()) {
        return false;
    }
    impl_->file.setFileName(name);
    // Our own chunk buffer replaces Qt's, which would only copy everything once more.
    if (!impl_->file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        return false;
    }
    impl_->size = impl_->file.size();
    return true;
}

void file_reader::close() {
    impl_->file.close();
    impl_->size = 0;
    impl_->position = 0;
    impl_->buffer_start = 0;
    impl_->buffer_length = 0;
}

int64_t file_reader::size() const {
    return impl_->size;
}

int64_t file_reader::remaining() const {
    return impl_->remaining();
}

uint8_t file_reader::read_u8() {
    return static_cast<uint8_t>(impl_->read_le(1));
}

int8_t file_reader::read_i8() {
    return static_cast<int8_t>(impl_->read_le(1));
}

int16_t file_reader::read_i16() {
    return static_cast<int16_t>(impl_->read_le(2));
}

int32_t file_reader::read_i32() {
    return static_cast<int32_t>(impl_->read_le(4));
}

bool file_reader::read_bytes(uint8_t* target, int64_t count) {
    if (count < 0) {
        return false;
    }
    if (count > impl_->remaining()) {
        impl_->position = impl_->size;
        return false;
    }
    return impl_->take(target, count);
}

std::u16string file_reader::read_utf16(int64_t units) {
    std::u16string text;
    if (units <= 0) {
        return text;
    }
    const int64_t available = std::min(units, impl_->remaining() / 2);
    text.reserve(static_cast<size_t>(available));
    uint8_t bytes[4096];
    int64_t left = available;
    while (left > 0) {
        const int64_t n = std::min<int64_t>(left, sizeof bytes / 2);
        if (!impl_->take(bytes, n * 2)) {
            return text;
        }
        for (int64_t i = 0; i < n; ++i) {
            text.push_back(static_cast<char16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8)));
        }
        left -= n;
    }
    if (available < units) {
        impl_->position = impl_->size;
    }
    return text;
}

void file_reader::skip(int64_t count) {
    if (count > 0) {
        impl_->position += std::min(count, impl_->remaining());
    }
}

}  // namespace quill
