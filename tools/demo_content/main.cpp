// Draws the bundled demo level into a program directory: the level definition file, the three
// catalogues, the background map and every picture they name.

#include <QDir>

#include <cstdio>

#include "picture.h"

using namespace quill::demo;

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_demo_content <program directory>\n");
        return 2;
    }
    const QDir program_dir(QString::fromLocal8Bit(argv[1]));
    if (!program_dir.mkpath("pics") || !program_dir.mkpath("players")) {
        std::fprintf(stderr, "make_demo_content: cannot create the folders in %s\n", argv[1]);
        return 1;
    }
    bool written = true;
    auto save = [&](const QImage& image, const QString& path) {
        written = image.save(program_dir.filePath(path), "PNG") && written;
    };

    const std::vector<kind_picture> graves = draw_tombstones();
    const std::vector<kind_picture> transports = draw_transports();
    for (const auto* kinds : {&graves, &transports}) {
        for (const kind_picture& kind : *kinds) {
            save(kind.image, "pics/" + kind.id + "0.png");
        }
    }
    for (const player_icon& icon : draw_player_icons()) {
        save(icon.image, "players/" + icon.file);
    }
    save(draw_marker(), "pics/cursor.png");
    save(draw_random_choice(), "pics/rnd.png");
    save(draw_map(), "pics/map.png");

    written = write_level_file(program_dir, "map.png") && written;
    written = write_player_catalogue(program_dir) && written;
    written = write_kind_catalogue(program_dir, "graves.xml", "graves", graves) && written;
    written =
        write_kind_catalogue(program_dir, "transports.xml", "transports", transports) && written;
    if (!written) {
        std::fprintf(stderr, "make_demo_content: could not write every file into %s\n", argv[1]);
        return 1;
    }
    return 0;
}
