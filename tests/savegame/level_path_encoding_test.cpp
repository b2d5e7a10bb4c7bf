#include <gtest/gtest.h>

#include "savegame/level_path_encoding.h"

namespace quill {
namespace {

const std::string marker = program_dir_marker;

TEST(level_path_encoding, the_program_folder_becomes_the_marker_with_slash_separators) {
    EXPECT_EQ(marker, "\\\\PROGDIR\\\\");
    EXPECT_EQ(encode_level_path("/opt/quill/KTV.gxml", "/opt/quill/"), marker + "KTV.gxml");
    EXPECT_EQ(encode_level_path("C:\\Spiel\\Karten\\KTV.gxml", "C:\\Spiel\\"),
              marker + "Karten/KTV.gxml");
    EXPECT_EQ(encode_level_path("/srv/levels/Moor.gxml", "/opt/quill/"), "/srv/levels/Moor.gxml");
    EXPECT_EQ(encode_level_path("/OPT/QUILL/KTV.gxml", "/opt/quill/"), "/OPT/QUILL/KTV.gxml");
    EXPECT_EQ(encode_level_path("", "/opt/quill/"), "");
    EXPECT_EQ(encode_level_path("/a/KTV.gxml", ""), "/a/KTV.gxml");
}

TEST(level_path_encoding, decoding_puts_the_current_program_folder_in_place_of_the_marker) {
    EXPECT_EQ(decode_level_path(marker + "Karten/KTV.gxml", "/home/neu/"),
              "/home/neu/Karten/KTV.gxml");
    EXPECT_EQ(decode_level_path(marker + "a" + marker + "b", "/p/"), "/p/a/p/b");
    EXPECT_EQ(decode_level_path("/srv/levels/Moor.gxml", "/p/"), "/srv/levels/Moor.gxml");
    EXPECT_EQ(
        decode_level_path(encode_level_path("/old/place/KTV.gxml", "/old/place/"), "/new/place/"),
        "/new/place/KTV.gxml");
}

}  // namespace
}  // namespace quill
