#include <QDir>
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

std::optional<std::vector<std::string>> list_directory(const std::string& directory,
                                                       const std::string& pattern) {
    const QString path = QString::fromStdString(directory);
    const QFileInfo info(path);
    // QDir lists an unreadable directory as empty; only this check tells the two apart.
    if (!info.isDir() || !info.isReadable()) {
        return std::nullopt;
    }
    // Name filters ignore letter case unless QDir::CaseSensitive is given.
    QStringList names = QDir(path).entryList({QString::fromStdString(pattern)},
                                             QDir::Files | QDir::Hidden, QDir::Unsorted);
    std::sort(names.begin(), names.end());
    std::vector<std::string> result;
    result.reserve(static_cast<size_t>(names.size()));
    for (const QString& name : names) {
        result.push_back(name.toStdString());
    }
    return result;
}

}  // namespace quill
