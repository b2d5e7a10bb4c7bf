#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>

#include <algorithm>

#include "platform/files.h"

namespace quill {

int64_t file_size(const std::string& path) {
    const QFileInfo info(QString::fromStdString(path));
    if (!info.exists() || info.isDir()) {
        return -1;
    }
    return info.size();
}

namespace {

std::optional<std::vector<std::string>> list_entries(const std::string& directory,
                                                     const QStringList& patterns,
                                                     QDir::Filters kinds) {
    const QString path = QString::fromStdString(directory);
    const QFileInfo info(path);
    // QDir lists an unreadable directory as empty; only this check tells the two apart.
    if (!info.isDir() || !info.isReadable()) {
        return std::nullopt;
    }
    // Name filters ignore letter case unless QDir::CaseSensitive is given.
    QStringList names = QDir(path).entryList(patterns, kinds | QDir::Hidden, QDir::Unsorted);
    std::sort(names.begin(), names.end());
    std::vector<std::string> result;
    result.reserve(static_cast<size_t>(names.size()));
    for (const QString& name : names) {
        result.push_back(name.toStdString());
    }
    return result;
}

}  // namespace

std::optional<std::vector<std::string>> list_directory(const std::string& directory,
                                                       const std::string& pattern) {
    return list_entries(directory, {QString::fromStdString(pattern)}, QDir::Files);
}

std::optional<std::vector<std::string>> list_folders(const std::string& directory) {
    return list_entries(directory, {}, QDir::Dirs | QDir::NoDotAndDotDot);
}

bool path_exists(const std::string& path) {
    const QFileInfo info(QString::fromStdString(path));
    return info.exists() || info.isSymLink();
}

bool copy_file(const std::string& source, const std::string& target) {
    // QFile::copy refuses an existing target and writes a temporary file that it renames only
    // once everything is in it.
    return !path_exists(target) &&
           QFile::copy(QString::fromStdString(source), QString::fromStdString(target));
}

bool make_directory(const std::string& path) {
    return QDir().mkpath(QString::fromStdString(path));
}

bool remove_path(const std::string& path) {
    const QString name = QString::fromStdString(path);
    const QFileInfo info(name);
    if (info.isDir() && !info.isSymLink()) {
        return QDir(name).removeRecursively();
    }
    if (!info.exists() && !info.isSymLink()) {
        return true;
    }
    return QFile::remove(name);
}

}  // namespace quill
