#include <QFile>
#include <QLockFile>
#include <QString>

#include "platform/files.h"

namespace quill {

namespace {

// Only a lock whose program no longer runs is stale, however long a game night lasts.
void judge_by_process_only(QLockFile& lock) {
    lock.setStaleLockTime(0);
}

}  // namespace

struct program_lock::impl {
    std::unique_ptr<QLockFile> file;
};

program_lock::program_lock() : impl_(std::make_unique<impl>()) {}

program_lock::~program_lock() = default;

bool program_lock::acquire(const std::string& path) {
    release();
    auto file = std::make_unique<QLockFile>(QString::fromStdString(path));
    judge_by_process_only(*file);
    if (!file->tryLock(0)) {
        return false;
    }
    impl_->file = std::move(file);
    return true;
}

void program_lock::release() {
    if (impl_->file) {
        impl_->file->unlock();
        impl_->file.reset();
    }
}

bool clear_stale_lock(const std::string& path) {
    QLockFile lock(QString::fromStdString(path));
    judge_by_process_only(lock);
    // A lock held by a running program cannot be taken; one left by a crash is removed by
    // taking it, and unlocking removes the file.
    if (!QFile::exists(QString::fromStdString(path)) || !lock.tryLock(0)) {
        return false;
    }
    lock.unlock();
    return true;
}

}  // namespace quill
