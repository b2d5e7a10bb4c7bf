#include <gtest/gtest.h>

#include <limits>
#include <random>

#include "editing/context_menu.h"
#include "editing/transports.h"
#include "platform/files.h"
#include "savegame/party_file_image.h"
#include "savegame/party_fixture.h"
#include "savegame/party_setup_file.h"
#include "view/convoy_linking.h"
#include "view/dragging.h"
#include "view/hit_testing.h"
#include "view/map_rendering.h"
#include "view/transport_convoy.h"

namespace quill {
namespace {

using testing::file_contents;
using testing::party_file_image;
using testing::put_file;

const std::u16string marker = u"\\\\PROGDIR\\\\";
constexpr int32_t int32_max = std::numeric_limits<int32_t>::max();
constexpr int32_t int32_min = std::numeric_limits<int32_t>::min();

// Damaged files of both formats, and what the game can still do after loading one.
struct corrupt_files : testing::party_fixture {
    // A small map and canvas keep the thousands of loads and redraws below quick.
    corrupt_files() : party_fixture(160, 120) {}

    // The window position of the centre of a box at map position (x, y), after moving the view
    // so that the box is on the canvas.
    void point_at(int32_t x, int32_t y, int32_t size) {
        state.level.view_x = x - 40;
        state.level.view_y = y - 40;
        const int64_t wx = (int64_t{x} + size / 2 - state.level.view_x) * state.level.zoom / 100;
        const int64_t wy = (int64_t{y} + size / 2 - state.level.view_y) * state.level.zoom / 100;
        system.set_pointer(static_cast<int>(wx), static_cast<int>(wy));
    }

    void drag(const map_item& item, int32_t size) {
        point_at(item.x, item.y, size);
        canvas_left_down(state, system);
        system.set_pointer(100, 80);
        canvas_mouse_move(state, system);
        system.set_pointer(110, 90);
        canvas_mouse_move(state, system);
        canvas_left_up(state, system);
    }

    // Everything a player can do with a loaded game, down to removing every transport and
    // tombstone; the game state has to stay sound throughout.
    void use_the_loaded_game() {
        ASSERT_TRUE(testing::holds_invariants(state));
        render_map_view(state, system);
        for (int y = 0; y < state.level.canvas_height; y += 20) {
            for (int x = 0; x < state.level.canvas_width; x += 20) {
                system.set_pointer(x, y);
                hit_token(state, system);
                hit_item(state, system, state.graves);
                hit_item_other_than(state, system, state.transports, 0);
                canvas_mouse_move(state, system);
            }
        }
        for (int t = 0; t < state.tokens.size(); ++t) {
            arrange_convoy(state, t);
        }
        for (int p = 0; p < state.transports.size(); ++p) {
            state.transports.select(p);
            detach_transport(
                state, p % 2 == 0 ? detached_place::end_of_convoy : detached_place::keep_place);
        }
        for (int t = 0; t < state.tokens.size(); ++t) {
            drag(state.tokens[t], playersize);
        }
        for (int p = 0; p < state.transports.size(); ++p) {
            drag(state.transports[p], tile);
        }
        for (int g = 0; g < state.graves.size(); ++g) {
            drag(state.graves[g], tile);
        }
        render_map_view(state, system);
        ASSERT_TRUE(testing::holds_invariants(state));

        ASSERT_TRUE(write_party_setup(state, system, content.path("wieder.qms")));
        const testing::saved_game written(state);
        read_party_setup(state, system, content.path("wieder.qms"));
        EXPECT_EQ(testing::saved_game(state), written);

        const int graves = state.graves.size();
        for (int attempt = 0; attempt < graves; ++attempt) {
            const map_item grave = state.graves[state.graves.size() - 1];
            point_at(grave.x, grave.y, tile);
            system.queue_message_answer(true);
            show_context_menu(state, system);
        }
        while (!state.transports.empty()) {
            state.transports.select(state.transports.size() - 1);
            system.queue_message_answer(true);
            remove_transport(state, system);
            ASSERT_TRUE(testing::holds_invariants(state));
        }
        render_map_view(state, system);
        ASSERT_TRUE(testing::holds_invariants(state));
    }

    std::string load_bytes(const std::string& name, const std::string& bytes) {
        put_file(content.path(name), bytes);
        system.messages.clear();
        load_from(content.path(name));
        return last_message();
    }

    static party_file_image header(int32_t tokens, int32_t graves, int32_t transports,
                                   uint8_t zoom = 100) {
        party_file_image image;
        image.u8(1).path(marker + u"KTV.gxml").i32(tokens).i32(graves).i32(transports).u8(zoom);
        return image;
    }
};

TEST_F(corrupt_files, every_cut_of_a_game_loads_and_stays_usable) {
    play_a_game();
    state.labels.set(0, "Nullplatz");
    ASSERT_TRUE(write_party_setup(state, system, content.path("ganz.qms")));
    const std::string whole = file_contents(content.path("ganz.qms"));

    party_file_image old;
    old.path(to_utf16(content.path("KTV.gxml"))).i32(5).i32(2).u8(50);
    for (int i = 0; i < 5; ++i) {
        old.record(i, {1, 2, 0, 0, 0, 0}, 30 * i, 40, 0);
    }
    old.record(0, {}, 100, 100, 1).record(1, {}, 200, 100, 1);
    old.empty_labels(1).label(u"Alt").empty_labels(254);

    for (const auto& [name, bytes] : {std::pair{"teil.qms", whole}, {"teil.gls", old.bytes}}) {
        for (std::size_t length = 0; length <= bytes.size(); ++length) {
            SCOPED_TRACE(std::string(name) + " cut at " + std::to_string(length));
            load_bytes(name, bytes.substr(0, length));
            ASSERT_TRUE(testing::holds_invariants(state));
            // Drawing and hovering at every cut; the whole round of use, saving included, at some.
            render_map_view(state, system);
            system.set_pointer(static_cast<int>(length % 160), 60);
            canvas_mouse_move(state, system);
            if (length % 97 == 0 || length + 1 >= bytes.size()) {
                use_the_loaded_game();
            }
        }
    }
}

TEST_F(corrupt_files, damaged_values_are_repaired_on_loading) {
    struct damage_case {
        const char* name;
        std::string bytes;
    };
    std::vector<damage_case> cases;

    party_file_image labels = header(0, 3, 2);
    labels.record(0, {}, 10, 10, 300).record(0, {}, 60, 10, -1).record(1, {}, 110, 10, 2);
    labels.record(0, {}, 160, 10, 2).record(1, {}, 210, 10, 0);
    labels.label(u"Slot null").empty_labels(1).label(u"zwei").empty_labels(253);
    cases.push_back({"labels outside the table, shared and zero", labels.bytes});

    party_file_image links = header(3, 0, 4);
    links.record(0, {9, 1, 0, 3, 3, 200}, 100, 100, 0).trail(120, 120, 10);
    links.record(1, {2, 0, 0, 0, 0, 0}, 200, 100, 0).trail(220, 120, 10);
    links.record(2, {255, 255, 255, 255, 255, 255}, 300, 100, 0).trail(320, 120, 10);
    links.record(0, {1, 0, 0, 0, 0, 0}, 0, 0, 0).record(0, {3, 0, 0, 0, 0, 0}, 0, 0, 0);
    links.record(0, {1, 1, 1, 1, 1, 1}, 0, 0, 0).record(0, {7, 0, 0, 0, 0, 0}, 0, 0, 0);
    links.empty_labels(256);
    cases.push_back({"links naming nothing or not named back", links.bytes});

    party_file_image indices = header(2, 1, 1);
    indices.record(99, {}, 100, 100, 0).trail(0, 0, 0);
    indices.record(-5, {}, 200, 100, 0).trail(0, 0, 0);
    indices.record(int32_max, {}, 50, 50, 0).record(-1, {}, 60, 60, 0);
    indices.empty_labels(256);
    cases.push_back({"catalogue indices naming no entry", indices.bytes});

    for (const uint8_t zoom : {uint8_t{0}, uint8_t{127}, uint8_t{128}, uint8_t{24}}) {
        cases.push_back({"zoom out of range", header(0, 0, 0, zoom).empty_labels(256).bytes});
    }

    party_file_image far = header(2, 1, 1);
    far.record(0, {1, 0, 0, 0, 0, 0}, int32_max, int32_min, 0).trail(int32_max, int32_min, 0);
    far.record(1, {}, int32_min, int32_max, 0).trail(int32_min, int32_max, int32_max);
    far.record(0, {}, int32_max - 10, int32_max - 10, 0)
        .record(0, {1, 0, 0, 0, 0, 0}, int32_min, 0, 0);
    far.empty_labels(256);
    cases.push_back({"coordinates at the ends of int32", far.bytes});

    party_file_image long_path;
    long_path.u8(1).i32(2'000'000'000).units(u"abc");
    cases.push_back({"a path longer than the file", long_path.bytes});
    party_file_image negative_path;
    negative_path.u8(1).i32(-5).i32(0).i32(0).i32(0).u8(100);
    cases.push_back({"a negative path length", negative_path.bytes});
    cases.push_back(
        {"a label longer than the file", header(0, 0, 0).i16(0).i16(32767).units(u"kurz").bytes});
    cases.push_back(
        {"negative label lengths", header(0, 0, 0).i16(-1).i16(-32768).label(u"drei").bytes});

    for (const damage_case& c : cases) {
        SCOPED_TRACE(c.name);
        load_bytes("kaputt.qms", c.bytes);
        ASSERT_TRUE(testing::holds_invariants(state));
        use_the_loaded_game();
    }
}

TEST_F(corrupt_files, repaired_values_are_what_is_saved_again) {
    party_file_image image = header(1, 1, 0, 200);
    image.record(42, {3, 0, 0, 0, 0, 0}, 100, 100, 0).trail(0, 0, 0);
    image.record(-3, {}, 50, 50, 300);
    image.empty_labels(256);
    EXPECT_EQ(load_bytes("kaputt.qms", image.bytes), "");
    EXPECT_EQ(state.level.zoom, 25);  // the byte 200 is the signed zoom -56
    ASSERT_TRUE(write_party_setup(state, system, content.path("heil.qms")));
    read_party_setup(state, system, content.path("heil.qms"));
    EXPECT_EQ(state.tokens[0].catalogue_index, 42);
    EXPECT_EQ(state.tokens[0].links, (std::array<uint8_t, 6>{}));
    EXPECT_EQ(state.graves[0].catalogue_index, -3);
    EXPECT_EQ(state.graves[0].label, 0);
    EXPECT_EQ(state.level.zoom, 25);
}

TEST_F(corrupt_files, random_bytes_behind_a_sound_header) {
    std::mt19937 random(20260307);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<int> length(0, 3000);
    for (int round = 0; round < 40; ++round) {
        SCOPED_TRACE(round);
        party_file_image image = header(byte(random) % 8, byte(random) % 8, byte(random) % 8);
        const int extra = length(random);
        for (int i = 0; i < extra; ++i) {
            image.u8(static_cast<uint8_t>(byte(random)));
        }
        const bool old_format = round % 4 == 3;
        std::string bytes = image.bytes;
        if (old_format) {
            bytes = party_file_image().path(to_utf16(content.path("KTV.gxml"))).bytes +
                    bytes.substr(43);
        }
        load_bytes(old_format ? "zufall.gls" : "zufall.qms", bytes);
        ASSERT_TRUE(testing::holds_invariants(state));
        use_the_loaded_game();
    }
}

}  // namespace
}  // namespace quill
