#include "big_map_files.h"

#include <cstdint>
#include <map>
#include <memory>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

namespace quill::bench {

QImage grainy_map(int side) {
    QImage map(side, side, QImage::Format_RGB32);
    uint64_t grain = 0x9e3779b97f4a7c15u;
    for (int y = 0; y < side; ++y) {
        auto* line = reinterpret_cast<QRgb*>(map.scanLine(y));
        for (int x = 0; x < side; ++x) {
            grain ^= grain << 13;
            grain ^= grain >> 7;
            grain ^= grain << 17;
            const int r = static_cast<int>(grain >> 59);
            const int g = static_cast<int>((grain >> 54) & 31);
            const int b = static_cast<int>((grain >> 49) & 31);
            line[x] = qRgb((x / 40 + r) & 0xff, (y / 40 + g) & 0xff, ((x + y) / 80 + b) & 0xff);
        }
    }
    return map;
}

namespace {

void write_level(const QString& path, const std::string& picture) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) {
        file.write(("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<level><name>Gross</name>"
                    "<pic type=\"bg\">" +
                    picture +
                    "</pic><tile_x>40</tile_x><tile_y>40</tile_y>"
                    "<playersize>50</playersize></level>\n")
                       .c_str());
    }
}

}  // namespace

const big_map_files& big_map_files::of_side(int side) {
    static std::map<int, std::unique_ptr<big_map_files>> written;
    std::unique_ptr<big_map_files>& files = written[side];
    if (!files) {
        files = std::make_unique<big_map_files>(side);
    }
    return *files;
}

big_map_files::big_map_files(int side) : side_(side) {
    QTemporaryDir folder;
    folder.setAutoRemove(false);
    folder_ = folder.path().toStdString();
    program_dir_ = folder_ + "/";
    QDir(folder.path()).mkpath("pics");
    {
        const QImage map = grainy_map(side);
        map.save(folder.filePath("pics/map.png"), "PNG");
        map.save(folder.filePath("pics/map.jpg"), "JPEG", 90);
    }
    write_level(folder.filePath("png.gxml"), "map.png");
    write_level(folder.filePath("jpg.gxml"), "map.jpg");
}

big_map_files::~big_map_files() {
    QDir(QString::fromStdString(folder_)).removeRecursively();
}

std::string big_map_files::level(const std::string& format) const {
    return program_dir_ + format + ".gxml";
}

std::string big_map_files::picture(const std::string& format) const {
    return program_dir_ + "pics/map." + format;
}

const char* format_name(long long argument) {
    return argument == 0 ? "png" : "jpg";
}

}  // namespace quill::bench
