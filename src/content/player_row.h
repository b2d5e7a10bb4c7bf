#pragma once

#include <string>
#include <vector>

#include "platform/picture_store.h"

namespace quill {

// One player of the player icons dialog, or one icon of the icon picker (which fills only pic
// and image).
struct player_row {
    std::string pic;  // file name inside the players directory
    picture_handle image = 0;
    std::string id;
    std::string comment;
    std::string name;
};

inline void free_row_pictures(picture_store& pictures, std::vector<player_row>& rows) {
    for (player_row& row : rows) {
        pictures.free(row.image);
        row.image = 0;
    }
}

}  // namespace quill
