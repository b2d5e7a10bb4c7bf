#include "picture.h"

#include <QFile>
#include <QXmlStreamWriter>

#include <functional>

namespace quill::demo {
namespace {

bool write_xml(const QDir& program_dir, const QString& file, const QString& root,
               const std::function<void(QXmlStreamWriter&)>& body) {
    QFile out(program_dir.filePath(file));
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        return false;
    }
    QXmlStreamWriter xml(&out);
    xml.setAutoFormatting(true);
    xml.setAutoFormattingIndent(2);
    xml.writeStartDocument();
    xml.writeStartElement(root);
    body(xml);
    xml.writeEndElement();
    xml.writeEndDocument();
    return !xml.hasError() && out.flush();
}

struct player {
    const char* name;
    const char* id;
    const char* pic;
    const char* comment;
};

// Six groups take part; the remaining icons are there to choose from in the icon picker.
constexpr player players[] = {
    {"Die Sturmklingen", "sturmklingen", "hero_red.png", "Schnell wie der Blitz, laut wie Donner"},
    {"Die Sternenwächter", "sternenwaechter", "hero_blue.png", "Sie reisen nur bei Nacht"},
    {"Der Eichenbund", "eichenbund", "hero_green.png", "Jäger und Kräuterkundige aus dem Wald"},
    {"Die Goldene Krone", "goldene_krone", "hero_gold.png", "Im Dienst des Königs"},
    {"Die Mondschatten", "mondschatten", "hero_black.png", "Niemand kennt ihre Gesichter"},
    {"Die Flammenherzen", "flammenherzen", "hero_orange.png", "Mutig bis über die Grenze"},
};

}  // namespace

bool write_level_file(const QDir& program_dir, const QString& background) {
    return write_xml(program_dir, "KTV.gxml", "level", [&](QXmlStreamWriter& xml) {
        xml.writeTextElement("name", "Das Tal der Helden");
        xml.writeStartElement("pic");
        xml.writeAttribute("type", "bg");
        xml.writeCharacters(background);
        xml.writeEndElement();
        xml.writeTextElement("tile_x", QString::number(tile_size));
        xml.writeTextElement("tile_y", QString::number(tile_size));
        xml.writeTextElement("playersize", QString::number(player_size));
        xml.writeTextElement("tile_orientation", "0");
    });
}

bool write_player_catalogue(const QDir& program_dir) {
    return write_xml(program_dir, "players.xml", "players", [](QXmlStreamWriter& xml) {
        for (const player& entry : players) {
            xml.writeStartElement("player");
            xml.writeTextElement("name", QString::fromUtf8(entry.name));
            xml.writeTextElement("id", entry.id);
            xml.writeTextElement("pic", entry.pic);
            xml.writeTextElement("comment", QString::fromUtf8(entry.comment));
            xml.writeEndElement();
        }
    });
}

bool write_kind_catalogue(const QDir& program_dir, const QString& file, const QString& root,
                          const std::vector<kind_picture>& kinds) {
    return write_xml(program_dir, file, root, [&](QXmlStreamWriter& xml) {
        for (const kind_picture& kind : kinds) {
            xml.writeStartElement("item");
            xml.writeTextElement("name", kind.name);
            xml.writeTextElement("id", kind.id);
            xml.writeTextElement("comment", kind.comment);
            xml.writeEndElement();
        }
    });
}

}  // namespace quill::demo
