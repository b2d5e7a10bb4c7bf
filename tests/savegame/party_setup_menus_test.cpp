#include <gtest/gtest.h>

#include "app/program.h"
#include "content/ui_numbers.h"
#include "savegame/party_setup_file.h"
#include "support/content_fixture.h"

namespace quill {
namespace {

// Saving and loading as the user reaches them: the two menu items and the exit question.
TEST(party_setup_menus, save_load_and_the_exit_question_reach_the_files) {
    testing::content_fixture content;
    content.write_level("Testland", 300, 200, 40, 40, 40);
    content.write_players({{}, {}}, 40);
    scripted_platform& system = content.system;
    game_state state;

    system.queue_action([&] {
        state.tokens[1].x = 300;
        state.state_modified = true;
    });
    system.queue_file_answer(content.path("menu"));
    system.queue_menu(ui::save_game);
    system.queue_action([&] {
        EXPECT_FALSE(state.state_modified);
        state.tokens[1].x = 1;
    });
    system.queue_file_answer(content.path("menu.qms"));
    system.queue_menu(ui::load_game);
    system.queue_action([&] {
        EXPECT_EQ(state.tokens[1].x, 300);
        state.tokens[1].x = 222;
        state.state_modified = true;
    });
    system.queue_close();
    system.queue_message_answer(true);
    system.queue_file_answer(content.path("ende"));
    EXPECT_EQ(run_program(system, state), 0);

    ASSERT_EQ(system.file_dialogs.size(), 3u);
    EXPECT_TRUE(system.file_dialogs[0].save);
    EXPECT_FALSE(system.file_dialogs[1].save);
    EXPECT_TRUE(system.file_dialogs[2].save);
    EXPECT_EQ(system.messages.size(), 1u);  // the exit question alone
    EXPECT_FALSE(state.state_modified);

    read_party_setup(state, system, content.path("ende.qms"));
    EXPECT_EQ(state.tokens[1].x, 222);
}

}  // namespace
}  // namespace quill
