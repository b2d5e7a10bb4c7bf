#include "support/content_fixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>

namespace quill::testing {

content_fixture::content_fixture() {
    program_dir_ = dir_.path().toStdString() + "/";
    system.set_program_file_path(program_dir_ + "quillmark");
    state.program_dir = program_dir_;
}

void content_fixture::write_text(const std::string& relative, const std::string& contents) const {
    const QString file_path = QString::fromStdString(path(relative));
    QDir().mkpath(QFileInfo(file_path).path());
    QFile file(file_path);
    if (file.open(QIODevice::WriteOnly)) {
        file.write(contents.data(), static_cast<qint64>(contents.size()));
    }
}

void content_fixture::write_png(const std::string& relative, int width, int height,
                                argb colour) const {
    const QString file_path = QString::fromStdString(path(relative));
    QDir().mkpath(QFileInfo(file_path).path());
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(QColor(colour.r, colour.g, colour.b, colour.a));
    image.save(file_path, "PNG");
}

void content_fixture::write_level(const std::string& name, int map_width, int map_height,
                                  int tile_x, int tile_y, int playersize, int orientation) const {
    write_png("pics/map.png", map_width, map_height, {255, 40, 120, 40});
    write_text("KTV.gxml", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<level>\n<name>" + name +
                               "</name>\n<pic type=\"bg\">map.png</pic>\n<tile_x>" +
                               std::to_string(tile_x) + "</tile_x>\n<tile_y>" +
                               std::to_string(tile_y) + "</tile_y>\n<playersize>" +
                               std::to_string(playersize) + "</playersize>\n<tile_orientation>" +
                               std::to_string(orientation) + "</tile_orientation>\n</level>\n");
}

void content_fixture::write_players(const std::vector<argb>& colours, int playersize) const {
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<players>\n";
    for (std::size_t i = 0; i < colours.size(); ++i) {
        const std::string file = "p" + std::to_string(i) + ".png";
        write_png("players/" + file, playersize, playersize, colours[i]);
        xml += "<player><name>Spieler " + std::to_string(i) + "</name><id>p" + std::to_string(i) +
               "</id><pic>" + file + "</pic><comment/></player>\n";
    }
    write_text("players.xml", xml + "</players>\n");
}

void content_fixture::write_kinds(const std::string& catalogue, const std::string& prefix,
                                  const std::vector<argb>& colours, int tile_x, int tile_y) const {
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<" + catalogue + ">\n";
    for (std::size_t i = 0; i < colours.size(); ++i) {
        const std::string id = prefix + std::to_string(i);
        write_png("pics/" + id + "0.png", tile_x, tile_y, colours[i]);
        xml += "<item><name>" + id + "</name><id>" + id + "</id><comment/></item>\n";
    }
    write_text(catalogue + ".xml", xml + "</" + catalogue + ">\n");
}

}  // namespace quill::testing
