// Writes what the fuzz targets start from: a small program folder (level, catalogues, pictures)
// and a seed corpus per target, made by the program's own writers where it has them.
//
//     make_fuzz_seeds <folder>    writes <folder>/content and <folder>/seeds/<target name>

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "content/level_loading.h"
#include "platform/files.h"
#include "platform/scripted/scripted_platform.h"
#include "platform/xml_document.h"
#include "savegame/party_setup_file.h"
#include "seed_pictures.h"
#include "view/transport_convoy.h"

namespace {

using namespace quill;

constexpr int map_width = 240;
constexpr int map_height = 180;
constexpr int tile_x = 15;
constexpr int tile_y = 11;
constexpr int playersize = 20;

struct folders {
    std::string content;
    std::string seeds;
};

void write_bytes(const std::string& path, const std::string& bytes) {
    QDir().mkpath(QFileInfo(QString::fromStdString(path)).path());
    if (!save_file_atomically(path, bytes)) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        std::exit(1);
    }
}

void save_picture(const QImage& image, const std::string& path) {
    QDir().mkpath(QFileInfo(QString::fromStdString(path)).path());
    if (!image.save(QString::fromStdString(path), "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        std::exit(1);
    }
}

// A picture with some structure, so that scaling and blending show.
QImage sprite(int width, int height, QColor colour, bool round) {
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setBrush(colour);
    painter.setPen(colour.darker());
    if (round) {
        painter.drawEllipse(0, 0, width - 1, height - 1);
    } else {
        painter.drawRect(1, 1, width - 3, height - 3);
    }
    return image;
}

QImage map_picture() {
    QImage image(map_width, map_height, QImage::Format_RGB32);
    for (int y = 0; y < map_height; ++y) {
        for (int x = 0; x < map_width; ++x) {
            const bool border = x % tile_x == 0 || y % tile_y == 0;
            image.setPixel(x, y, border ? qRgb(60, 80, 40) : qRgb(90 + x % 50, 140, 60 + y % 40));
        }
    }
    return image;
}

xml_element text_element(const std::string& name, const std::string& text) {
    xml_element element;
    element.name = name;
    element.text = text;
    return element;
}

std::string level_file(int orientation) {
    xml_element level;
    level.name = "level";
    xml_element background = text_element("pic", "map.png");
    background.attributes.push_back({"type", "bg"});
    level.children = {text_element("name", "Grenzland"),
                      background,
                      text_element("tile_x", std::to_string(tile_x)),
                      text_element("tile_y", std::to_string(tile_y)),
                      text_element("playersize", std::to_string(playersize)),
                      text_element("tile_orientation", std::to_string(orientation))};
    return format_xml(level);
}

std::string catalogue_file(const std::string& root_name, const std::string& entry_name,
                           const std::vector<std::vector<std::string>>& entries) {
    xml_element root;
    root.name = root_name;
    for (const auto& fields : entries) {
        xml_element& entry = root.children.emplace_back();
        entry.name = entry_name;
        for (std::size_t i = 0; i + 1 < fields.size(); i += 2) {
            entry.children.push_back(text_element(fields[i], fields[i + 1]));
        }
    }
    return format_xml(root);
}

void write_content(const std::string& dir) {
    save_picture(map_picture(), dir + "pics/map.png");
    save_picture(sprite(16, 16, QColor(250, 220, 0), true), dir + "pics/cursor.png");
    save_picture(sprite(tile_x, tile_y, QColor(200, 200, 200), false), dir + "pics/rnd.png");
    const QColor kinds[] = {QColor(90, 90, 90), QColor(150, 150, 170), QColor(150, 90, 20),
                            QColor(40, 60, 160)};
    const char* ids[] = {"g0", "g1", "t0", "t1"};
    for (int k = 0; k < 4; ++k) {
        save_picture(sprite(tile_x, tile_y, kinds[k], false), dir + "pics/" + ids[k] + "0.png");
        save_picture(sprite(tile_y, tile_x, kinds[k], false), dir + "pics/" + ids[k] + "1.png");
    }
    const QColor players[] = {QColor(200, 0, 0), QColor(0, 160, 0), QColor(0, 0, 200),
                              QColor(120, 0, 160)};
    for (int p = 0; p < 4; ++p) {
        save_picture(sprite(playersize, playersize, players[p], true),
                     dir + "players/p" + std::to_string(p) + ".png");
    }
    save_picture(sprite(32, 32, QColor(0, 200, 200), true), dir + "players/neu.png");

    write_bytes(dir + "KTV.gxml", level_file(0));
    write_bytes(dir + "players.xml",
                catalogue_file("players", "player",
                               {{"name", "Aldo", "id", "p0", "pic", "p0.png", "comment", ""},
                                {"name", "Jörg Ærøskøbing", "id", "p1", "pic", "p1.png", "comment",
                                 "Hof & Gut <Elf>"},
                                {"name", "Ωμέγα", "id", "p2", "pic", "p2.png"},
                                {"name", "Kim", "id", "p3", "pic", "p3.png", "comment", "🐉"}}));
    write_bytes(dir + "graves.xml",
                catalogue_file("graves", "item",
                               {{"name", "Stein", "id", "g0", "comment", ""},
                                {"name", "Kreuz", "id", "g1", "comment", "schlicht"}}));
    write_bytes(dir + "transports.xml",
                catalogue_file("transports", "item",
                               {{"name", "Boot", "id", "t0", "comment", ""},
                                {"name", "Karren", "id", "t1", "comment", ""}}));
}

map_item item_at(int kind, int32_t x, int32_t y, int32_t label) {
    map_item item;
    item.catalogue_index = kind;
    item.x = x;
    item.y = y;
    item.label = label;
    return item;
}

// A game in progress: moved tokens with trails, tombstones, carried and free transports,
// inscriptions beyond ASCII, a zoom below 100.
void play(game_state& state) {
    state.tokens[0].x = 110;
    state.tokens[0].y = 90;
    for (int j = 0; j < token_trail::point_count; ++j) {
        state.token_trails[0].points[j] = {120 - 4 * j, 100 + 2 * j};
    }
    state.tokens[2].x = 40;
    state.tokens[2].y = 130;
    state.graves.add(item_at(0, 30, 60, 1));
    state.graves.add(item_at(1, 190, 150, 2));
    state.graves.add(item_at(0, 210, 20, 0));
    state.labels.set(1, "RIP 07.12.2026 - Hier ruht Ömer von den Sturmklingen");
    state.labels.set(2, "Ærø – 龍 🐉");
    for (const int kind : {0, 1, 1, 0}) {
        state.transports.add(item_at(kind, 150, 40, 0));
    }
    state.transports[0].label = 3;
    state.transports[3].label = 4;
    state.labels.set(3, "Boot von Aldo");
    state.labels.set(4, "Karren von Jörg");
    state.tokens[0].links = {1, 2, 0, 0, 0, 0};
    state.transports[0].links[0] = 1;
    state.transports[1].links[0] = 1;
    state.tokens[2].links = {3, 0, 0, 0, 0, 0};
    state.transports[2].links[0] = 3;
    arrange_convoy(state, 0);
    arrange_convoy(state, 2);
    state.level.zoom = 59;
}

// The most a game holds in one place: a full convoy, many tombstones, every label slot.
void crowd(game_state& state) {
    for (int p = 0; p < max_carried; ++p) {
        map_item transport = item_at(p % 2, 10, 10, p + 1);
        transport.links[0] = 2;
        state.transports.add(transport);
        state.tokens[1].links[static_cast<std::size_t>(p)] = static_cast<uint8_t>(p + 1);
    }
    arrange_convoy(state, 1);
    for (int g = 0; g < 12; ++g) {
        state.graves.add(item_at(g % 2, 15 * g, 160 - 10 * g, 20 + g));
    }
    for (int slot = 1; slot < label_count; ++slot) {
        state.labels.set(slot, "Nr. " + std::to_string(slot));
    }
    state.level.zoom = 25;
}

// The old format has no writer in the program; it is the version-1 layout without the version,
// the transports and the trails, and with the level path as it is.
void write_old_party_setup(const game_state& state, const std::string& path) {
    file_writer writer;
    writer.create(path);
    const std::u16string level = to_utf16(state.level.level_file);
    writer.write_i32(static_cast<int32_t>(level.size()));
    writer.write_utf16(level);
    writer.write_i32(state.tokens.size());
    writer.write_i32(state.graves.size());
    writer.write_i8(static_cast<int8_t>(state.level.zoom));
    for (const item_list<map_item>* list : {&state.tokens, &state.graves}) {
        for (const map_item& item : *list) {
            const auto bytes = item.to_bytes();
            writer.write_bytes(bytes.data(), static_cast<int64_t>(bytes.size()));
        }
    }
    for (int slot = 0; slot < label_count; ++slot) {
        const std::u16string units = to_utf16(state.labels[slot]);
        writer.write_i16(static_cast<int16_t>(units.size()));
        writer.write_utf16(units);
    }
    if (!writer.commit()) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        std::exit(1);
    }
}

void write_party_seeds(const folders& to) {
    scripted_platform system;
    game_state state;
    state.program_dir = to.content;
    const std::string qms = to.seeds + "qms_reader/";
    const std::string gls = to.seeds + "gls_reader/";
    QDir().mkpath(QString::fromStdString(qms));
    QDir().mkpath(QString::fromStdString(gls));

    const auto save = [&](const std::string& name) {
        if (!write_party_setup(state, system, qms + name + ".qms")) {
            std::fprintf(stderr, "cannot write %s\n", name.c_str());
            std::exit(1);
        }
        write_old_party_setup(state, gls + name + ".gls");
    };
    load_level(state, system, {});
    save("fresh");
    play(state);
    save("played");
    load_level(state, system, {});
    crowd(state);
    save("crowded");
}

void write_content_seeds(const folders& to) {
    write_bytes(to.seeds + "level_file/KTV.gxml", level_file(0));
    write_bytes(to.seeds + "level_file/turned.gxml", level_file(1));
    for (const char* name : {"players.xml", "graves.xml", "transports.xml"}) {
        QFile file(QString::fromStdString(to.content + name));
        file.open(QIODevice::ReadOnly);
        const std::string bytes = file.readAll().toStdString();
        write_bytes(to.seeds + (name[0] == 'p' ? "players_file/" : "kinds_file/") + name, bytes);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_fuzz_seeds <folder>\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    const std::string root = std::string(argv[1]) + "/";
    const folders to{root + "content/", root + "seeds/"};
    write_content(to.content);
    write_party_seeds(to);
    write_content_seeds(to);
    write_picture_seeds(to.seeds + "picture/");
    return 0;
}
