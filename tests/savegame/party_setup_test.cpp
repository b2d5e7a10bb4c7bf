#include <gtest/gtest.h>

#include "content/level_loading.h"
#include "platform/files.h"
#include "savegame/party_file_image.h"
#include "savegame/party_fixture.h"
#include "savegame/party_setup_file.h"

namespace quill {
namespace {

using testing::file_contents;
using testing::party_file_image;
using testing::put_file;
using testing::saved_game;

const std::u16string marker = u"\\\\PROGDIR\\\\";

struct party_setup : testing::party_fixture {
    // A fresh token's record and start trail, as the level load makes them.
    static void add_start_token(party_file_image& image, int position) {
        const int x = position * playersize + 25;
        image.record(position, {}, x, 20, 0)
            .trail(x + playersize / 2, 20 + playersize / 2, playersize / 4);
    }
};

TEST_F(party_setup, a_fresh_game_is_written_byte_for_byte) {
    save_as(content.path("spiel"));
    const std::string written = file_contents(content.path("spiel.qms"));
    EXPECT_EQ(written.substr(0, 11), std::string("\x01\x13\0\0\0\x5c\0\x5c\0\x50\0", 11));

    party_file_image expected;
    expected.u8(1).path(marker + u"KTV.gxml").i32(5).i32(0).i32(0).u8(0x64);
    for (int i = 0; i < player_count; ++i) {
        add_start_token(expected, i);
    }
    expected.empty_labels(256);
    EXPECT_EQ(written, expected.bytes);
    EXPECT_EQ(written.size(), 18u + 2 * 19 + 5 * 282 + 512);
}

TEST_F(party_setup, tombstones_transports_and_labels_follow_the_tokens) {
    play_a_game();
    save_as(content.path("spiel.qms"));
    const std::string written = file_contents(content.path("spiel.qms"));
    ASSERT_GT(written.size(), 56u);
    EXPECT_EQ(written.substr(43, 13), party_file_image().i32(5).i32(2).i32(3).u8(50).bytes);

    party_file_image tail;
    tail.record(0, {}, 100, 300, 1).record(1, {}, 150, 310, 2);
    tail.bytes[5] = 7;  // reserved bytes come back as they were
    tail.bytes[29] = 9;
    for (const map_item& t : state.transports) {
        tail.record(t.catalogue_index, t.links, t.x, t.y, t.label);
    }
    tail.empty_labels(1)
        .label(u"RIP Borin")
        .label(u"Hier ruht \u00d6mer")
        .label(u"Boot von Aldo")
        .label(u"Karren")
        .empty_labels(251);
    EXPECT_EQ(written.substr(56 + 5 * 282), tail.bytes);
    EXPECT_EQ(state.transports[0].links[0], 2);
}

TEST_F(party_setup, saving_and_loading_gives_back_the_same_game) {
    play_a_game();
    state.tokens.select(2);
    state.graves.select(-1);
    state.transports.select(1);
    const saved_game before(state);
    save_as(content.path("runde"));
    EXPECT_FALSE(state.state_modified);
    EXPECT_EQ(state.tokens.current_position(), 2);
    EXPECT_EQ(state.graves.current_position(), -1);
    EXPECT_EQ(state.transports.current_position(), 1);

    load_level(state, system, {});
    state.level.zoom = 75;
    state.state_modified = true;
    load_from(content.path("runde.qms"));
    EXPECT_TRUE(system.messages.empty());
    EXPECT_EQ(saved_game(state), before);
    EXPECT_FALSE(state.state_modified);
    EXPECT_EQ(state.graves.current_position(), -1);
    EXPECT_EQ(state.party_dir, content.program_dir());
    EXPECT_TRUE(testing::holds_invariants(state));
}

TEST_F(party_setup, the_save_dialog_and_the_name_rules) {
    save_as(content.path("spiel"));
    save_as(content.path("zwei.qms"));
    save_as(content.path("drei.QMS"));
    system.queue_file_answer({});
    state.party_dir = "/unberührt/";
    state.state_modified = true;
    save_party_setup(state, system);

    EXPECT_GE(file_size(content.path("spiel.qms")), 0);
    EXPECT_GE(file_size(content.path("zwei.qms")), 0);
    EXPECT_LT(file_size(content.path("zwei.qms.qms")), 0);
    EXPECT_GE(file_size(content.path("drei.QMS.qms")), 0);
    EXPECT_LT(file_size(content.path("drei.QMS")), 0);
    EXPECT_EQ(state.party_dir, "/unberührt/");
    EXPECT_TRUE(state.state_modified);

    ASSERT_EQ(system.file_dialogs.size(), 4u);
    const auto& first = system.file_dialogs[0];
    EXPECT_TRUE(first.save);
    EXPECT_EQ(first.title, "Quillmark - Aufstellung speichern");
    EXPECT_EQ(first.filters, "Partyaufstellung (*.qms)|*.qms");
    EXPECT_EQ(first.selected_filter, 0);
    EXPECT_EQ(first.default_path, "");
    EXPECT_EQ(system.file_dialogs[1].default_path, content.program_dir());
    EXPECT_TRUE(system.messages.empty());
}

TEST_F(party_setup, the_reader_is_chosen_by_the_name_alone) {
    save_as(content.path("quelle"));
    const std::string version_1 = file_contents(content.path("quelle.qms"));
    party_file_image old;
    old.path(to_utf16(content.path("KTV.gxml"))).i32(0).i32(0).u8(40).empty_labels(256);
    put_file(content.path("spiel"), version_1);
    put_file(content.path("spiel.txt"), version_1);
    put_file(content.path("ALT.GLS"), old.bytes);
    put_file(content.path("alt.gLs"), old.bytes);
    put_file(content.path("falsch.gls"), version_1);

    for (const std::string name : {"spiel", "spiel.txt"}) {
        state.level.zoom = 60;
        load_from(content.path(name));
        EXPECT_EQ(state.level.zoom, 100) << name;
    }
    for (const std::string name : {"ALT.GLS", "alt.gLs"}) {
        load_from(content.path(name));
        EXPECT_EQ(state.level.zoom, 40) << name;
    }
    EXPECT_TRUE(system.messages.empty());
    // A version-1 file read as an old one starts with a nonsense path length.
    load_from(content.path("falsch.gls"));
    EXPECT_EQ(system.messages.size(), 1u);

    const auto& dialog = system.file_dialogs.back();
    EXPECT_FALSE(dialog.save);
    EXPECT_EQ(dialog.title, "Quillmark - Aufstellung laden");
    EXPECT_EQ(dialog.filters, "Partyaufstellung (*.qms)|*.qms|Altes Dateiformat (*.gls)|*.gls");
    EXPECT_EQ(dialog.selected_filter, 0);
    EXPECT_EQ(dialog.default_path, content.program_dir());
}

TEST_F(party_setup, a_cancelled_load_changes_nothing) {
    play_a_game();
    const saved_game before(state);
    load_from({});
    EXPECT_EQ(saved_game(state), before);
    EXPECT_TRUE(state.state_modified);
    EXPECT_EQ(state.party_dir, "");
}

TEST_F(party_setup, another_version_is_refused_and_the_file_stays_usable) {
    save_as(content.path("spiel"));
    std::string bytes = file_contents(content.path("spiel.qms"));
    bytes[0] = 2;
    put_file(content.path("spiel.qms"), bytes);
    put_file(content.path("leer.qms"), "");
    play_a_game();
    const saved_game before(state);

    for (const std::string name : {"spiel.qms", "leer.qms"}) {
        load_from(content.path(name));
        ASSERT_FALSE(system.messages.empty());
        const auto& message = system.messages.back();
        EXPECT_EQ(message.title, "Quillmark");
        EXPECT_EQ(message.text,
                  "Das Dateiformat ist nicht kompatibel mit der verwendeten Version von "
                  "Quillmark.");
        EXPECT_EQ(message.icon, message_icon::error);
        EXPECT_EQ(message.buttons, message_buttons::ok);
    }
    EXPECT_EQ(saved_game(state), before);
    EXPECT_TRUE(state.state_modified);
    EXPECT_EQ(file_contents(content.path("spiel.qms")), bytes);
    EXPECT_EQ(file_contents(content.path("leer.qms")), "");

    EXPECT_TRUE(write_party_setup(state, system, content.path("spiel.qms")));
    load_from(content.path("spiel.qms"));
    EXPECT_EQ(saved_game(state), before);
}

TEST_F(party_setup, a_missing_level_file_is_reported_and_the_game_kept) {
    play_a_game();
    const saved_game before(state);
    party_file_image missing;
    missing.u8(1).path(u"/nirgendwo/KTV.gxml").i32(0).i32(0).i32(0).u8(100).empty_labels(256);
    put_file(content.path("fehlt.qms"), missing.bytes);
    party_file_image directory;
    directory.u8(1).path(marker + u"pics").i32(0).i32(0).i32(0).u8(100).empty_labels(256);
    put_file(content.path("ordner.qms"), directory.bytes);

    load_from(content.path("fehlt.qms"));
    load_from(content.path("ordner.qms"));
    ASSERT_EQ(system.messages.size(), 2u);
    EXPECT_EQ(system.messages[0].text,
              "Die Leveldatei '/nirgendwo/KTV.gxml' kann nicht gefunden werden.");
    EXPECT_EQ(system.messages[1].text,
              "Die Leveldatei '" + content.path("pics") + "' kann nicht gefunden werden.");
    EXPECT_EQ(system.messages[1].icon, message_icon::error);
    EXPECT_EQ(saved_game(state), before);
    EXPECT_TRUE(state.state_modified);
}

TEST_F(party_setup, a_game_still_loads_after_the_program_folder_moved) {
    play_a_game();
    const saved_game before(state);
    save_as(content.path("spiel"));

    testing::content_fixture moved;
    prepare(moved, 800, 600);
    put_file(moved.path("spiel.qms"), file_contents(content.path("spiel.qms")));
    moved.system.queue_file_answer(moved.path("spiel.qms"));
    load_party_setup(moved.state, moved.system);

    EXPECT_TRUE(moved.system.messages.empty());
    EXPECT_EQ(moved.state.level.level_file, moved.path("KTV.gxml"));
    saved_game after(moved.state);
    after.level_file = before.level_file;
    EXPECT_EQ(after, before);
}

TEST_F(party_setup, surplus_token_records_are_passed_over) {
    party_file_image image;
    image.u8(1).path(marker + u"KTV.gxml").i32(7).i32(1).i32(1).u8(80);
    for (int i = 0; i < 7; ++i) {
        image.record(i, {}, 100 + i, 200 + i, 0).trail(i, i, 1);
    }
    image.record(1, {}, 10, 11, 1).record(0, {}, 20, 21, 2);
    image.empty_labels(1).label(u"Grab").label(u"Wagen").empty_labels(253);
    put_file(content.path("sieben.qms"), image.bytes);

    load_from(content.path("sieben.qms"));
    ASSERT_EQ(state.tokens.size(), 5);
    EXPECT_EQ(state.tokens[4].x, 104);
    EXPECT_EQ(state.token_trails[4].points[29], (map_point{4, 33}));
    EXPECT_EQ(state.tokens.current_position(), 4);
    ASSERT_EQ(state.graves.size(), 1);
    EXPECT_EQ(state.graves[0].x, 10);
    EXPECT_EQ(state.graves[0].catalogue_index, 1);
    ASSERT_EQ(state.transports.size(), 1);
    EXPECT_EQ(state.transports[0].y, 21);
    EXPECT_EQ(state.labels[1], "Grab");
    EXPECT_EQ(state.labels[2], "Wagen");
    EXPECT_EQ(state.level.zoom, 80);
}

TEST_F(party_setup, tokens_without_a_record_keep_their_start) {
    load_level(state, system, {});
    const saved_game fresh(state);
    party_file_image image;
    image.u8(1).path(marker + u"KTV.gxml").i32(3).i32(0).i32(0).u8(100);
    for (int i = 0; i < 3; ++i) {
        image.record(i, {}, 500, 500, 0).trail(520, 520, 0);
    }
    image.empty_labels(256);
    put_file(content.path("drei.qms"), image.bytes);

    load_from(content.path("drei.qms"));
    EXPECT_EQ(state.tokens[2].x, 500);
    EXPECT_EQ(state.token_trails[2].points[29], (map_point{520, 520}));
    for (const int i : {3, 4}) {
        EXPECT_EQ(state.tokens[i], fresh.tokens[i]);
        EXPECT_EQ(state.token_trails[i], fresh.trails[i]);
    }
}

}  // namespace
}  // namespace quill
