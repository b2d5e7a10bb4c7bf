#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/content_fixture.h"

namespace quill::testing {

// A program folder with a level of five players (tokens 40 px, tiles 40 px), two tombstone
// kinds and two transport kinds, loaded into a game whose main window and map canvas exist.
struct party_fixture : ::testing::Test {
    static constexpr int player_count = 5;
    static constexpr int playersize = 40;
    static constexpr int tile = 40;

    content_fixture content;
    game_state& state = content.state;
    scripted_platform& system = content.system;

    explicit party_fixture(int map_width = 800, int map_height = 600);

    // Writes the level, catalogues and pictures into folder, opens the main window with a map
    // canvas as large as the map and loads the level.
    static void prepare(content_fixture& folder, int map_width, int map_height);

    // The save command, answering its dialog with name (a full path).
    void save_as(const std::string& name);
    // The load command, answering its dialog with path.
    void load_from(const std::string& path);

    // A game with moved tokens, trails, two carried and one free transport, two tombstones,
    // inscriptions, kept reserved bytes and zoom 50.
    void play_a_game();

    std::string last_message() const;
};

std::string file_contents(const std::string& path);
void put_file(const std::string& path, const std::string& bytes);

// What a party setup file holds, for comparing a game before saving and after loading.
struct saved_game {
    std::vector<map_item> tokens;
    std::vector<token_trail> trails;
    std::vector<map_item> graves;
    std::vector<map_item> transports;
    label_table labels;
    int32_t zoom = 0;
    std::string level_file;

    explicit saved_game(const game_state& state);
    friend bool operator==(const saved_game&, const saved_game&) = default;
};

// The invariants every operation after a load relies on; a failure names the first one broken.
::testing::AssertionResult holds_invariants(const game_state& state);

}  // namespace quill::testing
