#pragma once

#include <QColor>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QString>

#include <initializer_list>
#include <vector>

namespace quill::demo {

// The level's geometry: tombstones and transports fill one tile, a token is as large as a tile.
inline constexpr int tile_size = 64;
inline constexpr int player_size = 64;
inline constexpr int map_columns = 40;
inline constexpr int map_rows = 26;

// One tombstone or transport kind: its catalogue entry together with its picture.
struct kind_picture {
    QString id;
    QString name;
    QString comment;
    QImage image;
};

struct player_icon {
    QString file;
    QImage image;
};

QImage blank_picture(int width, int height);

// A transparent square picture, drawn with an antialiased painter whose pen is the dark outline
// that all sprites share, so that they stand out alike on every kind of ground.
QImage draw_sprite(int size, void (*draw)(QPainter&));
void set_outline(QPainter& painter, double width = 2.0);

QColor scaled(const QColor& colour, double factor);
QPainterPath polygon(std::initializer_list<QPointF> corners);

// A soft shadow under a sprite, which lifts it off the map.
void draw_ground_shadow(QPainter& painter, QPointF centre, double rx, double ry);

std::vector<kind_picture> draw_tombstones();
std::vector<kind_picture> draw_transports();
std::vector<player_icon> draw_player_icons();
QImage draw_marker();
QImage draw_random_choice();
QImage draw_map();

bool write_level_file(const QDir& program_dir, const QString& background);
bool write_player_catalogue(const QDir& program_dir);
bool write_kind_catalogue(const QDir& program_dir, const QString& file, const QString& root,
                          const std::vector<kind_picture>& kinds);

}  // namespace quill::demo
