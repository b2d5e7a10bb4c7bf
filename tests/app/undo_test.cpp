#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <functional>
#include <set>

#include "app/menus.h"
#include "app/program.h"
#include "content/ui_numbers.h"
#include "savegame/party_setup_file.h"
#include "support/map_fixture.h"
#include "view/transport_convoy.h"

namespace quill {
namespace {

using testing::map_fixture;

// Every kind of change, done, taken back and done again through the event loop; a save after
// each must write the bytes of a save before the change, and after it.
struct undo_redo : map_fixture {
    QTemporaryDir folder;

    void SetUp() override {
        make_level(2000, 1500, 40, 40, 800, 600);
        build_menus(system);
        add_token(100, 100);
        add_token(300, 100);
        add_transport(500, 300);
        add_transport(0, 0);
        carry(0, 1);
        add_grave(700, 400);
        state.labels.set(1, "Grab");
        state.graves[0].label = 1;
    }

    void press(int x, int y) { system.queue_canvas(control_event::left_pressed, x, y); }
    void move(int x, int y) { system.queue_canvas(control_event::mouse_moved, x, y); }
    void release(int x, int y) {
        system.queue_canvas(control_event::left_released, x, y);
        system.queue_canvas(control_event::left_click, x, y);
    }
    void drag(int from_x, int from_y, int to_x, int to_y) {
        press(from_x, from_y);
        move((from_x + to_x) / 2, (from_y + to_y) / 2);
        move(to_x, to_y);
        release(to_x, to_y);
    }
    void right_click(int x, int y) { system.queue_canvas(control_event::right_click, x, y); }
    void run() {
        system.queue_close();
        while (run_one_pass(state, system)) {
        }
        ASSERT_FALSE(system.ran_dry);
    }
    std::string saved() {
        const std::string path = folder.filePath("spiel.qms").toStdString();
        EXPECT_TRUE(write_party_file(state, path));
        QFile file(QString::fromStdString(path));
        return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
    }
};

struct step_case {
    const char* name;
    std::function<void(undo_redo&)> act;
};

const step_case steps[] = {
    {"token dragged with its trail and convoy", [](undo_redo& t) { t.drag(120, 120, 400, 300); }},
    {"tombstone dragged", [](undo_redo& t) { t.drag(720, 420, 600, 200); }},
    {"transport dragged and attached on the drop",
     [](undo_redo& t) { t.drag(520, 320, 320, 120); }},
    {"tombstone placed",
     [](undo_redo& t) {
         t.right_click(300, 400);
         t.system.queue_popup_choice(ui::place_tombstone_item);
         t.system.queue_canvas(control_event::left_click, 285, 385);
         t.system.queue_input_answer("Borin");
         t.system.queue_input_answer("Sturmklingen");
     }},
    {"tombstone removed",
     [](undo_redo& t) {
         t.right_click(720, 420);
         t.system.queue_message_answer(true);
     }},
    {"transport created",
     [](undo_redo& t) {
         t.right_click(300, 400);
         t.system.queue_popup_choice(ui::create_transport_item);
         t.system.queue_canvas(control_event::left_click, 285, 385);
         t.system.queue_input_answer("Wagen");
         t.system.queue_input_answer("Sturmklingen");
     }},
    {"carried transport removed",
     [](undo_redo& t) {
         t.right_click(120, 160);
         t.system.queue_popup_choice(ui::remove_transport_item);
         t.system.queue_message_answer(true);
     }},
    {"transport attached through the menu",
     [](undo_redo& t) {
         t.right_click(520, 320);
         t.system.queue_popup_choice(ui::attach_item);
         t.system.queue_canvas(control_event::left_click, 505, 305);
     }},
    {"transport detached through the menu",
     [](undo_redo& t) {
         t.right_click(120, 160);
         t.system.queue_popup_choice(ui::attach_item);
     }},
};

class undo_each_step : public undo_redo, public ::testing::WithParamInterface<step_case> {};

TEST_P(undo_each_step, undo_gives_the_bytes_before_and_redo_the_bytes_after) {
    arrange_convoy(state, 0);
    const std::string before = saved();
    GetParam().act(*this);
    run();
    const std::string after = saved();
    ASSERT_NE(after, before);
    EXPECT_EQ(system.disabled_menu_items, (std::set<int>{ui::redo_item}));

    state.state_modified = false;
    system.queue_menu(ui::undo_item);
    run();
    EXPECT_EQ(saved(), before);
    EXPECT_TRUE(state.state_modified);
    EXPECT_EQ(system.disabled_menu_items, (std::set<int>{ui::undo_item}));

    state.state_modified = false;
    system.queue_menu(ui::redo_item);
    run();
    EXPECT_EQ(saved(), after);
    EXPECT_TRUE(state.state_modified);
}

INSTANTIATE_TEST_SUITE_P(kinds, undo_each_step, ::testing::ValuesIn(steps),
                         [](const ::testing::TestParamInfo<step_case>& step) {
                             std::string name = step.param.name;
                             std::ranges::replace(name, ' ', '_');
                             return name;
                         });

// A click that moves nothing, zooming and panning are no steps; a new step forgets what could be
// done again; a new game and a loaded one forget everything.
TEST_F(undo_redo, only_changes_are_steps_and_a_new_or_loaded_game_forgets_them) {
    press(120, 120);
    release(120, 120);
    system.queue_menu(ui::zoom_out_item);
    drag(900, 500, 800, 450);
    run();
    EXPECT_FALSE(state.history.can_undo());
    EXPECT_EQ(system.disabled_menu_items, (std::set<int>{ui::undo_item, ui::redo_item}));
    state.level.zoom = 100;
    state.level.view_x = state.level.view_y = 0;

    drag(120, 120, 200, 200);
    drag(200, 200, 300, 300);
    system.queue_menu(ui::undo_item);
    run();
    EXPECT_EQ(state.tokens[0].x, 180);
    EXPECT_TRUE(state.history.can_redo());
    drag(720, 420, 600, 200);
    run();
    EXPECT_FALSE(state.history.can_redo());

    // The level file need not parse: a load that finds it starts the saved game on it.
    state.level.level_file = folder.filePath("level.gxml").toStdString();
    QFile(QString::fromStdString(state.level.level_file)).open(QIODevice::WriteOnly);
    const std::string path = folder.filePath("spiel.qms").toStdString();
    saved();
    ASSERT_TRUE(state.history.can_undo());
    read_party_setup(state, system, path);
    EXPECT_FALSE(state.history.can_undo());

    state.history.begin_step(state);
    state.tokens[0].x += 10;
    state.history.end_step(state);
    system.queue_menu(ui::new_game);
    run();
    EXPECT_FALSE(state.history.can_undo());
    EXPECT_FALSE(state.history.can_redo());
}

TEST_F(undo_redo, at_least_two_hundred_steps_are_kept) {
    for (int i = 0; i < 300; ++i) {
        state.history.begin_step(state);
        state.tokens[0].x = 1000 + i;
        state.history.end_step(state);
    }
    int undone = 0;
    while (state.history.undo(state)) {
        ++undone;
    }
    EXPECT_GE(undone, 200);
    EXPECT_EQ(state.tokens[0].x, 1000 + 300 - 1 - undone);
}

}  // namespace
}  // namespace quill
