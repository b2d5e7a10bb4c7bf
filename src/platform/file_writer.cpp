#include <QSaveFile>

#include "platform/files.h"

namespace quill {

struct file_writer::impl {
    // Destroying an uncommitted QSaveFile discards its temporary file, which is what keeps the
    // target unchanged when a writer is dropped or replaced without commit().
    std::unique_ptr<QSaveFile> file;
    bool failed = false;

    void put(const char* data, int64_t count) {
        if (!file || failed) {
            return;
        }
        if (file->write(data, count) != count) {
            failed = true;
        }
    }

    void put_le(uint32_t value, int width) {
        char bytes[4];
        for (int i = 0; i < width; ++i) {
            bytes[i] = static_cast<char>((value >> (8 * i)) & 0xff);
        }
        put(bytes, width);
    }
};

file_writer::file_writer() : impl_(std::make_unique<impl>()) {}

file_writer::~file_writer() = default;

bool file_writer::create(const std::string& path) {
    impl_->file = std::make_unique<QSaveFile>(QString::fromStdString(path));
    impl_->failed = false;
    if (!impl_->file->open(QIODevice::WriteOnly)) {
        impl_->file.reset();
        return false;
    }
    return true;
}

void file_writer::write_u8(uint8_t value) {
    impl_->put_le(value, 1);
}

void file_writer::write_i8(int8_t value) {
    impl_->put_le(static_cast<uint8_t>(value), 1);
}

void file_writer::write_i16(int16_t value) {
    impl_->put_le(static_cast<uint16_t>(value), 2);
}

void file_writer::write_i32(int32_t value) {
    impl_->put_le(static_cast<uint32_t>(value), 4);
}

void file_writer::write_bytes(const uint8_t* data, int64_t count) {
    if (count > 0) {
        impl_->put(reinterpret_cast<const char*>(data), count);
    }
}

void file_writer::write_utf16(const std::u16string& text) {
    std::string bytes;
    bytes.reserve(text.size() * 2);
    for (const char16_t unit : text) {
        bytes.push_back(static_cast<char>(unit & 0xff));
        bytes.push_back(static_cast<char>(unit >> 8));
    }
    impl_->put(bytes.data(), static_cast<int64_t>(bytes.size()));
}

bool file_writer::commit() {
    if (!impl_->file) {
        return false;
    }
    // QSaveFile::commit() passes over an error that only shows when its write buffer is
    // flushed (a full disk, a file size limit) and would put the truncated file in place.
    const bool written = !impl_->failed && impl_->file->flush() && impl_->file->commit();
    impl_->file.reset();
    return written;
}

bool save_file_atomically(const std::string& path, const std::string& contents) {
    file_writer writer;
    if (!writer.create(path)) {
        return false;
    }
    writer.write_bytes(reinterpret_cast<const uint8_t*>(contents.data()),
                       static_cast<int64_t>(contents.size()));
    return writer.commit();
}

}  // namespace quill
