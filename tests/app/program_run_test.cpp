#include <gtest/gtest.h>
#include <QTemporaryDir>

#include "app/program.h"
#include "platform/files.h"
#include "savegame/party_file_image.h"
#include "support/content_fixture.h"

namespace quill {
namespace {

using testing::content_fixture;

constexpr const char* exit_question =
    "Der aktuelle Spielstand wurde noch nicht gespeichert. Soll er vor dem Beenden gespeichert "
    "werden?";

// A file where a folder is to be made: no folder can be made below it, even by root.
void put_in_the_way(const std::string& path) {
    ASSERT_TRUE(save_file_atomically(path, "in the way"));
}

struct program_run : ::testing::Test {
    content_fixture content;
    scripted_platform& system = content.system;
    game_state state;  // start-up finds program_dir itself

    int run(const std::string& party_file = {}) { return run_program(system, state, party_file); }
};

TEST_F(program_run, builds_the_main_window_menus_canvases_and_shortcuts) {
    system.queue_close();
    EXPECT_EQ(run(), 0);
    const auto& window = system.windows.at(0);
    EXPECT_EQ(window.x, 220);
    EXPECT_EQ(window.y, 0);
    EXPECT_EQ(window.inner_width, 1286);
    EXPECT_EQ(window.inner_height, 800);
    EXPECT_EQ(window.title, "Quillmark");
    EXPECT_EQ(window.style, window_style::main_window);
    EXPECT_EQ(state.program_dir, content.program_dir());

    ASSERT_EQ(system.menu_bar.size(), 3u);
    EXPECT_EQ(system.menu_bar[0].title, "Spiel");
    const std::vector<std::pair<int, std::string>> game_items = {{3, "Neues Spiel"},
                                                                 {4, "Spielericons ändern"},
                                                                 {0, ""},
                                                                 {7, "Spiel laden"},
                                                                 {6, "Spiel speichern"},
                                                                 {0, ""},
                                                                 {18, "Rückgängig [STRG] + [Z]"},
                                                                 {19, "Wiederholen [STRG] + [Y]"}};
    EXPECT_EQ(system.menu_bar[0].items, game_items);
    EXPECT_EQ(system.menu_bar[1].title, "Zoom");
    const std::vector<std::pair<int, std::string>> zoom_items = {
        {9, "Verkleinern [STRG] + [NUM -]"},
        {10, "Vergrößern [STRG] + [NUM +]"},
        {8, "Originalgröße [STRG] + [ENTER]"}};
    EXPECT_EQ(system.menu_bar[1].items, zoom_items);
    EXPECT_EQ(system.menu_bar[2].title, "Ansicht");
    const std::vector<std::pair<int, std::string>> view_items = {
        {21, "Spieleransicht [F11]"},
        {22, "Spieleransicht folgt dem Spielleiter"},
        {0, ""},
        {20, "Live-Karte freigeben…"}};
    EXPECT_EQ(system.menu_bar[2].items, view_items);
    const std::vector<std::pair<int, std::string>> map_items = {{11, "Grabstein setzen"},
                                                                {12, "Transportmittel erstellen"}};
    EXPECT_EQ(system.popup_menus.at(0).items, map_items);
    const std::vector<std::pair<int, std::string>> transport_items = {
        {13, "Transportmittel entfernen"}, {14, "Transportmittel anhängen"}};
    EXPECT_EQ(system.popup_menus.at(1).items, transport_items);

    ASSERT_EQ(system.shortcuts.size(), 7u);
    EXPECT_EQ(system.shortcuts[0].key, shortcut_key::keypad_plus);
    EXPECT_EQ(system.shortcuts[0].id, 15);
    EXPECT_EQ(system.shortcuts[1].key, shortcut_key::keypad_minus);
    EXPECT_EQ(system.shortcuts[1].id, 16);
    EXPECT_EQ(system.shortcuts[2].key, shortcut_key::enter);
    EXPECT_EQ(system.shortcuts[2].id, 17);
    EXPECT_EQ(system.shortcuts[2].modifiers, static_cast<unsigned>(key_modifier::ctrl));
    const unsigned ctrl_shift =
        static_cast<unsigned>(key_modifier::ctrl) | static_cast<unsigned>(key_modifier::shift);
    EXPECT_EQ(
        (std::array{system.shortcuts[3].key, system.shortcuts[4].key, system.shortcuts[5].key}),
        (std::array{shortcut_key::z, shortcut_key::y, shortcut_key::z}));
    EXPECT_EQ((std::array{system.shortcuts[3].id, system.shortcuts[4].id, system.shortcuts[5].id}),
              (std::array{18, 19, 19}));
    EXPECT_EQ(system.shortcuts[5].modifiers, ctrl_shift);
    EXPECT_EQ(system.shortcuts[6].key, shortcut_key::f11);
    EXPECT_EQ(system.shortcuts[6].id, 21);
    EXPECT_EQ(system.disabled_menu_items, (std::set<int>{18, 19}));
    EXPECT_EQ(system.checked_menu_items, (std::set<int>{22}));

    const auto& canvas = system.controls.at(0);
    EXPECT_EQ(canvas.width, 1286);
    EXPECT_EQ(canvas.height, 775);
    EXPECT_EQ(state.level.canvas_height, 775);
    EXPECT_FALSE(system.controls.at(1).visible);
    EXPECT_FALSE(system.ran_dry);
}

TEST_F(program_run, closing_right_after_start_asks_nothing) {
    content.write_level("Das Tal", 300, 200, 40, 40, 40);
    content.write_players({{}, {}}, 40);
    system.queue_close();
    EXPECT_EQ(run(), 0);
    EXPECT_TRUE(system.messages.empty());
    EXPECT_EQ(system.windows.at(0).title, "Das Tal");
    EXPECT_EQ(state.tokens.size(), 2);
}

// The question comes once; Yes opens the save dialog, and only a save that fails keeps the
// program running, with the game and its unsaved mark as they were.
TEST_F(program_run, an_unsaved_game_is_asked_about_and_only_a_failed_save_keeps_it_open) {
    struct exit_case {
        bool yes;
        std::string file;  // the save dialog's answer: empty cancels
        bool ends_at_first_close;
        bool file_written;
    };
    const exit_case cases[] = {
        {false, "", true, false},
        {true, "", true, false},
        {true, "spiel", true, true},
        {true, "not_a_folder/spiel", false, false},
    };
    for (const exit_case& c : cases) {
        SCOPED_TRACE(c.file);
        content_fixture fresh;
        fresh.write_text("not_a_folder", "a file where a folder would be");
        game_state run_state;
        fresh.system.queue_action([&] { run_state.state_modified = true; });
        fresh.system.queue_close();
        fresh.system.queue_message_answer(c.yes);
        if (c.yes) {
            fresh.system.queue_file_answer(c.file.empty() ? "" : fresh.path(c.file));
        }
        // Only reached when the first close did not end the program.
        fresh.system.queue_action([&] { EXPECT_TRUE(run_state.state_modified); });
        fresh.system.queue_close();
        fresh.system.queue_message_answer(false);

        EXPECT_EQ(run_program(fresh.system, run_state), 0);
        const std::size_t questions = c.ends_at_first_close ? 1 : 2;
        std::size_t question_count = 0;
        for (const auto& message : fresh.system.messages) {
            question_count += message.text == exit_question ? 1 : 0;
        }
        EXPECT_EQ(question_count, questions);
        EXPECT_EQ(fresh.system.messages[0].title, "Quillmark");
        EXPECT_EQ(fresh.system.messages[0].buttons, message_buttons::yes_no);
        EXPECT_EQ(fresh.system.messages[0].icon, message_icon::none);
        ASSERT_EQ(fresh.system.file_dialogs.size(), c.yes ? 1u : 0u);
        if (c.yes) {
            EXPECT_TRUE(fresh.system.file_dialogs[0].save);
        }
        EXPECT_EQ(file_size(fresh.path("spiel.qms")) >= 0, c.file_written);
        if (!c.ends_at_first_close) {
            EXPECT_EQ(fresh.system.messages[1].text, "Die Datei konnte nicht erstellt werden.");
        }
    }
}

// Whatever the answer, an unsaved game is kept in the data folder, and the run's lock goes.
TEST_F(program_run, closing_with_unsaved_changes_keeps_an_automatic_save) {
    QTemporaryDir data;
    system.set_data_dir(data.path().toStdString() + "/");
    content.write_level("L", 300, 200, 40, 40, 40);
    system.queue_menu(9);
    system.queue_close();
    system.queue_message_answer(false);
    run();
    const std::string folder = data.path().toStdString() + "/autosave/";
    EXPECT_EQ(list_directory(folder, "*.lock"), std::vector<std::string>{});
    const auto runs = list_folders(folder).value_or(std::vector<std::string>{});
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(list_directory(folder + runs[0], "*.qms"),
              std::vector<std::string>{"autosave-000001-20261207-120000.qms"});
}

// The second change comes too soon after the first save; nothing happens afterwards, yet it is
// written once the minute is up, and the game, as saved, is not written again.
TEST_F(program_run, a_change_followed_by_nothing_is_saved_within_a_minute) {
    QTemporaryDir data;
    system.set_data_dir(data.path().toStdString() + "/");
    content.write_level("L", 300, 200, 40, 40, 40);
    const std::string folder = data.path().toStdString() + "/autosave/";
    const auto saves = [&] {
        const auto runs = list_folders(folder).value_or(std::vector<std::string>{});
        return runs.empty() ? std::vector<std::string>{}
                            : list_directory(folder + runs[0], "*.qms").value();
    };
    std::vector<std::string> after_a_minute;
    system.queue_menu(9);
    system.queue_action([&] { system.set_clock(10'000); });
    system.queue_menu(9);
    system.queue_idle(60'001);
    system.queue_action([&] { after_a_minute = saves(); });
    system.queue_idle(3'600'000);
    system.queue_close();
    system.queue_message_answer(false);
    run();
    EXPECT_EQ(after_a_minute.size(), 2u);
    EXPECT_EQ(saves(), after_a_minute);
}

// Loading a large map takes seconds: the window, still titled "Quillmark", shows with the busy
// pointer before the level is read.
TEST_F(program_run, the_main_window_shows_busy_before_the_level_loads) {
    content.write_level("L", 300, 200, 40, 40, 40);
    system.queue_close();
    run();
    ASSERT_EQ(system.shown_at_once.size(), 1u);
    EXPECT_EQ(system.shown_at_once[0].title, "Quillmark");
    EXPECT_TRUE(system.shown_at_once[0].busy);
    EXPECT_EQ(system.windows.at(0).title, "L");
    EXPECT_EQ(system.busy_depth, 0);
}

TEST_F(program_run, new_game_reloads_the_level_and_forgets_the_changes) {
    content.write_level("L", 300, 200, 40, 40, 40);
    content.write_players({{}}, 40);
    system.queue_action([&] {
        state.tokens[0].x = 200;
        state.labels.set(3, "RIP");
        state.state_modified = true;
    });
    system.queue_menu(3);
    system.queue_close();
    run();
    EXPECT_EQ(state.tokens[0].x, 25);
    EXPECT_EQ(state.labels[3], "");
    EXPECT_TRUE(system.messages.empty());
}

TEST_F(program_run, closing_another_window_does_not_end_the_program) {
    system.queue_close(5);
    system.queue_menu(99);
    system.queue_close();
    run();
    EXPECT_EQ(system.events_delivered, 3);
    EXPECT_FALSE(system.ran_dry);
}

TEST_F(program_run, a_window_that_cannot_be_opened_is_reported_and_ends_the_program) {
    system.refuse_windows(true);
    EXPECT_NE(run(), 0);
    ASSERT_EQ(system.messages.size(), 1u);
    EXPECT_EQ(system.messages[0].text,
              "Kann Fenster nicht erstellen, nicht genügend Arbeitsspeicher?");
    EXPECT_EQ(system.messages[0].icon, message_icon::error);
}

TEST_F(program_run, the_map_is_drawn_before_the_first_wait) {
    content.write_level("L", 300, 200, 40, 40, 40);
    system.queue_action([&] {
        const picture_handle canvas = system.canvas_picture(0);
        EXPECT_EQ(system.pictures().pixel(canvas, 10, 10), 0xFF287828u);
        EXPECT_EQ(system.pictures().pixel(canvas, 400, 10), 0xFFFFFFFFu);
    });
    system.queue_close();
    run();
}

// A file named on the command line opens as "Spiel laden" opens it, once the level shows.
TEST_F(program_run, a_party_file_given_at_start_is_loaded_after_the_level) {
    content.write_level("L", 300, 200, 40, 40, 40);
    content.write_players({{}, {}}, 40);
    testing::party_file_image game;
    game.u8(1).path(u"\\\\PROGDIR\\\\KTV.gxml").i32(2).i32(0).i32(0).u8(50);
    game.record(0, {}, 120, 80, 0).trail(140, 100, 0);
    game.record(1, {}, 65, 20, 0).trail(85, 40, 0);
    game.empty_labels(256);
    content.write_text("Spiele/runde.qms", game.bytes);
    system.queue_close();
    EXPECT_EQ(run(content.path("Spiele/runde.qms")), 0);
    EXPECT_TRUE(system.messages.empty());
    EXPECT_EQ(state.tokens[0].x, 120);
    EXPECT_EQ(state.level.zoom, 50);
    EXPECT_EQ(state.party_dir, content.path("Spiele/"));
    EXPECT_FALSE(state.state_modified);
}

TEST_F(program_run, a_party_file_that_cannot_be_read_is_reported_and_leaves_the_fresh_game) {
    content.write_level("L", 300, 200, 40, 40, 40);
    content.write_players({{}}, 40);
    system.queue_close();
    EXPECT_EQ(run(content.path("fehlt.gls")), 0);
    ASSERT_EQ(system.messages.size(), 1u);
    EXPECT_EQ(system.messages[0].text, "Die Datei konnte nicht geöffnet werden.");
    EXPECT_EQ(state.tokens[0].x, 25);
    EXPECT_EQ(system.windows.at(0).title, "L");
    EXPECT_EQ(state.party_dir, content.program_dir());
}

// An installed program whose copy of the level cannot be made plays the installed level and says
// why changed icons will not be kept.
TEST_F(program_run, an_installed_level_that_cannot_be_copied_is_read_in_place_with_a_message) {
    QTemporaryDir root;
    const std::string share = root.path().toStdString() + "/share/quillmark/";
    make_directory(share);
    system.set_program_file_path(root.path().toStdString() + "/games/quillmark");
    system.set_data_dir(root.path().toStdString() + "/data/");
    content.write_level("Installiert", 300, 200, 40, 40, 40);
    ASSERT_TRUE(copy_file(content.path("KTV.gxml"), share + "KTV.gxml"));
    make_directory(share + "pics");
    ASSERT_TRUE(copy_file(content.path("pics/map.png"), share + "pics/map.png"));
    put_in_the_way(root.path().toStdString() + "/data");
    system.queue_close();
    run();
    EXPECT_EQ(state.program_dir, share);
    EXPECT_EQ(system.windows.at(0).title, "Installiert");
    ASSERT_EQ(system.messages.size(), 1u);
    EXPECT_NE(system.messages[0].text.find("konnte nicht in den Ordner"), std::string::npos);
    EXPECT_EQ(system.messages[0].icon, message_icon::error);
}

}  // namespace
}  // namespace quill
