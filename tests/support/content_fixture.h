#pragma once

#include <QTemporaryDir>
#include <string>
#include <vector>

#include "platform/scripted/scripted_platform.h"
#include "state/game_state.h"

namespace quill::testing {

struct argb {
    uint8_t a = 255;
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;
};

// A program folder of its own for one test: level file, catalogues and pictures written on the
// fly, and a scripted platform whose program file lies in that folder.
class content_fixture {
public:
    content_fixture();

    // Ends in "/".
    const std::string& program_dir() const { return program_dir_; }
    std::string path(const std::string& relative) const { return program_dir_ + relative; }

    void write_text(const std::string& relative, const std::string& contents) const;
    void write_png(const std::string& relative, int width, int height, argb colour) const;

    // KTV.gxml with a background picture pics/map.png of the given size.
    void write_level(const std::string& name, int map_width, int map_height, int tile_x, int tile_y,
                     int playersize, int orientation = 0) const;
    // players.xml with one player per colour, icons players/p<i>.png of size playersize.
    void write_players(const std::vector<argb>& colours, int playersize) const;
    // graves.xml or transports.xml ("graves"/"transports") with kinds <prefix><i>, pictures
    // pics/<prefix><i>0.png of tile size.
    void write_kinds(const std::string& catalogue, const std::string& prefix,
                     const std::vector<argb>& colours, int tile_x, int tile_y) const;

    scripted_platform system;
    game_state state;

private:
    QTemporaryDir dir_;
    std::string program_dir_;
};

}  // namespace quill::testing
