#include "app/program.h"
#include "support/map_fixture.h"

namespace quill {
namespace {

using testing::map_fixture;

using links_t = std::array<uint8_t, 6>;

constexpr int place_tombstone_item = 11;
constexpr int create_transport_item = 12;
constexpr int remove_transport_item = 13;
constexpr int attach_item = 14;

// Whole editing actions through the event loop: a right click, the popup choice, a click in the
// picture picker (its first cell lies 20 pixels up and left of the pointer) and the answers.
struct editing_actions : map_fixture {
    void SetUp() override {
        make_level(2000, 1500, 40, 40, 800, 600);
        system.create_popup_menu(0);
        system.add_popup_item(place_tombstone_item, "Grabstein setzen");
        system.add_popup_item(create_transport_item, "Transportmittel erstellen");
        system.create_popup_menu(1);
        system.add_popup_item(remove_transport_item, "Transportmittel entfernen");
        system.add_popup_item(attach_item, "Transportmittel anhängen");
    }

    void right_click(int x, int y) { system.queue_canvas(control_event::right_click, x, y); }
    void pick(int x, int y) { system.queue_canvas(control_event::left_click, x, y); }
    void answer(const std::string& first, const std::string& second) {
        system.queue_input_answer(first);
        system.queue_input_answer(second);
    }
    void place_tombstone(int x, int y, const std::string& name, const std::string& group) {
        right_click(x, y);
        system.queue_popup_choice(place_tombstone_item);
        pick(x - 15, y - 15);
        answer(name, group);
    }
    void create_transport(int x, int y, const std::string& name, const std::string& owner) {
        right_click(x, y);
        system.queue_popup_choice(create_transport_item);
        pick(x - 15, y - 15);
        answer(name, owner);
    }
    // The attach item's text as the last showing of the transport menu had it.
    std::string attach_text() { return system.popups_shown.back().items.at(1).second; }
    void run() {
        system.queue_close();
        while (run_one_pass(state, system)) {
        }
        ASSERT_FALSE(system.ran_dry);
    }
    map_point place_of(const map_item& item) { return {item.x, item.y}; }
};

TEST_F(editing_actions, a_tombstone_is_centred_on_the_right_click_and_inscribed) {
    system.active_window = -1;
    place_tombstone(300, 200, "Borin", "Sturmklingen");
    run();
    ASSERT_EQ(system.popups_shown.size(), 1u);
    EXPECT_EQ(system.popups_shown[0].menu, 0);
    EXPECT_EQ(system.active_window, 0);
    EXPECT_FALSE(system.controls.at(1).visible);
    ASSERT_EQ(system.inputs.size(), 2u);
    EXPECT_EQ(system.inputs[0].title, "Quillmark");
    EXPECT_EQ(system.inputs[0].prompt, "Name des verstorbenen Charakters");
    EXPECT_EQ(system.inputs[0].default_text, "");
    EXPECT_EQ(system.inputs[1].prompt, "Name der Heldengruppe");
    ASSERT_EQ(state.graves.size(), 1);
    EXPECT_EQ(place_of(state.graves[0]), (map_point{280, 180}));
    EXPECT_EQ(state.graves[0].label, 1);
    EXPECT_EQ(state.labels[1], "RIP 07.12.2026 - Hier ruht Borin von den Sturmklingen");
    EXPECT_TRUE(state.state_modified);
}

TEST_F(editing_actions, transports_are_created_free_and_cancelled_names_are_left_out) {
    state.transport_catalogue[0].name = "Wagen";
    place_tombstone(300, 200, "", "");
    create_transport(500, 200, "", "");
    create_transport(500, 400, "Wagen", "Sturmklingen");
    run();
    EXPECT_EQ(state.labels[1], "RIP 07.12.2026 - Hier ruht  von den ");
    EXPECT_EQ(system.inputs.at(2).prompt, "Name Transportgerätes");
    EXPECT_EQ(system.inputs.at(2).default_text, "Wagen");
    EXPECT_EQ(system.inputs.at(3).prompt, "Name des Helden oder der Heldengruppe");
    ASSERT_EQ(state.transports.size(), 2);
    EXPECT_EQ(state.transports[0].label, 2);
    EXPECT_EQ(state.labels[2], " von ");
    EXPECT_EQ(place_of(state.transports[1]), (map_point{480, 380}));
    EXPECT_EQ(state.transports[1].links, links_t{});
    EXPECT_EQ(state.labels[3], "Wagen von Sturmklingen");
}

// Zoom 50 with the view at (400, 300): the canvas shows map pixels 400..1999 and 300..1499.
TEST_F(editing_actions, placement_follows_the_map_point_and_its_edges_pull_items_inside) {
    state.level.zoom = 50;
    state.level.view_x = 400;
    state.level.view_y = 300;
    place_tombstone(300, 200, "a", "b");
    right_click(799, 599);  // the picker is pulled left to (600, 579)
    system.queue_popup_choice(place_tombstone_item);
    pick(605, 590);
    answer("c", "d");
    system.queue_action([&] {
        state.level.view_x = 0;
        state.level.view_y = 0;
    });
    right_click(5, 5);  // the picker's first cell reaches from -15 to 24
    system.queue_popup_choice(place_tombstone_item);
    pick(5, 5);
    answer("e", "f");
    right_click(40, 10);
    system.queue_popup_choice(place_tombstone_item);
    pick(25, 5);
    answer("g", "h");
    run();
    ASSERT_EQ(state.graves.size(), 4);
    EXPECT_EQ(place_of(state.graves[0]), (map_point{980, 680}));
    EXPECT_EQ(place_of(state.graves[1]), (map_point{1950, 1450}));
    EXPECT_EQ(place_of(state.graves[2]), (map_point{10, 10}));
    EXPECT_EQ(place_of(state.graves[3]), (map_point{60, 0}));  // a top edge of 0 stays
}

TEST_F(editing_actions, a_tombstone_without_free_label_has_none_until_one_is_freed) {
    for (int slot = 1; slot < label_count; ++slot) {
        state.labels.set(slot, "belegt");
    }
    add_grave(600, 400).label = 7;
    place_tombstone(300, 200, "Borin", "Sturmklingen");
    system.queue_action([&] { state.state_modified = false; });
    right_click(620, 420);
    system.queue_message_answer(false);
    system.queue_action([&] {
        EXPECT_EQ(state.graves.size(), 2);
        EXPECT_EQ(state.graves[1].label, 0);
        EXPECT_EQ(state.labels[7], "belegt");
        EXPECT_FALSE(state.state_modified);  // No changes nothing
    });
    right_click(620, 420);
    system.queue_message_answer(true);
    system.queue_action([&] {
        EXPECT_TRUE(state.labels[7].empty());
        EXPECT_TRUE(state.state_modified);
    });
    place_tombstone(300, 300, "Ulf", "Eisen");
    run();
    ASSERT_EQ(system.messages.size(), 2u);
    EXPECT_EQ(system.messages[0].text, "Soll der Grabstein tatsächlich entfernt werden?");
    EXPECT_EQ(system.messages[0].title, "Quillmark");
    EXPECT_EQ(system.messages[0].buttons, message_buttons::yes_no);
    EXPECT_EQ(system.messages[0].icon, message_icon::none);
    ASSERT_EQ(state.graves.size(), 2);
    EXPECT_EQ(state.graves[0].label, 0);
    EXPECT_EQ(state.graves[1].label, 7);
    EXPECT_EQ(state.labels[7], "RIP 07.12.2026 - Hier ruht Ulf von den Eisen");
}

TEST_F(editing_actions, the_random_cell_places_a_kind_chosen_at_random) {
    for (int i = 1; i < 7; ++i) {
        state.grave_catalogue.add({"g", "g" + std::to_string(i), 0, ""});
    }
    system.queue_random(4);
    right_click(300, 200);
    system.queue_popup_choice(place_tombstone_item);
    pick(365, 225);  // cell 7, the random cell
    answer("a", "b");
    run();
    ASSERT_EQ(state.graves.size(), 1);
    EXPECT_EQ(state.graves[0].catalogue_index, 4);
}

TEST_F(editing_actions, a_zoom_shortcut_cancels_the_picker_without_zooming) {
    right_click(300, 200);
    system.queue_popup_choice(place_tombstone_item);
    system.queue_menu(16);
    run();
    EXPECT_EQ(state.level.zoom, 100);
    EXPECT_TRUE(state.graves.empty());
    EXPECT_TRUE(system.inputs.empty());
    EXPECT_FALSE(state.state_modified);
    EXPECT_FALSE(system.controls.at(1).visible);
}

TEST_F(editing_actions, tokens_take_the_right_click_and_a_dismissed_menu_runs_nothing) {
    add_transport(300, 200);
    add_token(290, 190);
    right_click(310, 210);
    right_click(600, 400);
    system.queue_popup_choice(0);
    run();
    ASSERT_EQ(system.popups_shown.size(), 1u);
    EXPECT_EQ(system.popups_shown[0].menu, 0);
    EXPECT_EQ(state.placement_point, (map_point{580, 380}));
    EXPECT_TRUE(system.messages.empty());
    EXPECT_TRUE(system.inputs.empty());
    EXPECT_TRUE(state.graves.empty());
    EXPECT_EQ(state.transports.size(), 1);
    EXPECT_FALSE(state.state_modified);
}

// The player picker opens at the pointer: its single cell lies at (600..639, 400..439).
TEST_F(editing_actions, the_menu_attaches_and_detaches_and_names_the_item_accordingly) {
    add_token(100, 100);
    add_transport(600, 400);
    state.hover.text = "Wagen";
    right_click(620, 420);
    system.queue_popup_choice(attach_item);
    pick(610, 410);
    system.queue_action([&] {
        EXPECT_EQ(state.tokens[0].links, (links_t{1, 0, 0, 0, 0, 0}));
        EXPECT_EQ(state.transports[0].links[0], 1);
        EXPECT_EQ(place_of(state.transports[0]), (map_point{100, 140}));
        EXPECT_EQ(state.hover.text, "");
        EXPECT_EQ(attach_text(), "Transportmittel anhängen");
        state.state_modified = false;
    });
    right_click(120, 160);
    system.queue_popup_choice(attach_item);
    run();
    EXPECT_EQ(system.popups_shown.back().menu, 1);
    EXPECT_EQ(attach_text(), "Transportmittel abhängen");
    EXPECT_EQ(state.tokens[0].links, links_t{});
    EXPECT_EQ(state.transports[0].links[0], 0);
    EXPECT_EQ(place_of(state.transports[0]), (map_point{100, 140}));
    EXPECT_TRUE(state.state_modified);
}

TEST_F(editing_actions, a_created_transport_dropped_on_a_token_is_carried) {
    add_token(100, 100);
    create_transport(500, 200, "Wagen", "Borin");
    system.queue_canvas(control_event::left_pressed, 500, 200);
    system.queue_canvas(control_event::mouse_moved, 120, 120);
    system.queue_canvas(control_event::left_released, 120, 120);
    right_click(120, 160);
    system.queue_popup_choice(0);
    run();
    EXPECT_EQ(state.tokens[0].links, (links_t{1, 0, 0, 0, 0, 0}));
    EXPECT_EQ(attach_text(), "Transportmittel abhängen");
}

// A popup menu opened while a transport hangs on the pointer takes the left button's release;
// the canvas replays it at the next move. The drag ends when the menu opens, so that the late
// release drops nothing: neither onto the transport that became current by a removal nor, after
// "Anhängen", onto another token than the one picked.
TEST_F(editing_actions, a_popup_menu_ends_the_drag_it_interrupts) {
    add_token(100, 100);
    add_token(600, 400);
    add_transport(300, 200);
    add_transport(500, 200);
    system.queue_canvas(control_event::left_pressed, 520, 220);
    system.queue_canvas(control_event::mouse_moved, 530, 230);
    right_click(530, 230);
    system.queue_popup_choice(remove_transport_item);
    system.queue_message_answer(true);
    system.queue_canvas(control_event::left_released, 620, 420);
    system.queue_action([&] {
        ASSERT_EQ(state.transports.size(), 1);
        EXPECT_EQ(place_of(state.transports[0]), (map_point{300, 200}));
        EXPECT_EQ(state.transports[0].links, links_t{});
        EXPECT_EQ(state.tokens[1].links, links_t{});
    });
    system.queue_canvas(control_event::left_pressed, 320, 220);
    system.queue_canvas(control_event::mouse_moved, 330, 230);
    right_click(330, 230);
    system.queue_popup_choice(attach_item);
    pick(320, 220);  // the first player, whose token is at (100, 100)
    system.queue_canvas(control_event::left_released, 620, 420);
    run();
    EXPECT_EQ(state.tokens[0].links, (links_t{1, 0, 0, 0, 0, 0}));
    EXPECT_EQ(state.tokens[1].links, links_t{});
    EXPECT_EQ(state.drag_mode, drag_kind::drag_none);
}

TEST_F(editing_actions, a_seventh_transport_is_refused_and_stays_free) {
    add_token(100, 100);
    for (int i = 0; i < 6; ++i) {
        add_transport(900, 50 * i);
        carry(0, i);
    }
    add_transport(600, 400);
    right_click(620, 420);
    system.queue_popup_choice(attach_item);
    pick(610, 410);
    right_click(620, 420);
    system.queue_popup_choice(0);
    run();
    ASSERT_EQ(system.messages.size(), 1u);
    EXPECT_EQ(system.messages[0].text,
              "Pro Spieler können maximal 6 Transportmittel angehängt werden.");
    EXPECT_EQ(state.transports[6].links[0], 0);
    EXPECT_EQ(place_of(state.transports[6]), (map_point{600, 400}));
    EXPECT_EQ(attach_text(), "Transportmittel anhängen");
}

TEST_F(editing_actions, removing_the_first_of_three_keeps_the_links_naming_the_same_transports) {
    add_token(100, 100);
    add_token(300, 100);
    const std::array<std::string, 3> names = {"Karren", "Floss", "Wagen"};
    for (int i = 0; i < 3; ++i) {
        add_transport(0, 0).label = i + 1;
        state.labels.set(i + 1, names[i]);
    }
    carry(0, 0);
    carry(1, 1);
    carry(0, 2);
    state.transports[0].x = 100;  // lined up below token 0
    state.transports[0].y = 140;
    state.transports[2].x = 100;
    state.transports[2].y = 180;
    state.hover.text = "Karren";
    right_click(120, 160);
    system.queue_popup_choice(remove_transport_item);
    system.queue_message_answer(false);
    system.queue_action([&] {
        EXPECT_EQ(state.transports.size(), 3);
        EXPECT_EQ(state.hover.text, "Karren");
        EXPECT_FALSE(state.state_modified);  // No changes nothing
    });
    right_click(120, 160);
    system.queue_popup_choice(remove_transport_item);
    system.queue_message_answer(true);
    run();
    EXPECT_EQ(system.messages.at(0).text, "Soll das Transportmittel tatsächlich entfernt werden?");
    ASSERT_EQ(state.transports.size(), 2);
    EXPECT_EQ(state.labels[1], "");
    EXPECT_EQ(state.labels[state.transports[state.tokens[0].links[0] - 1].label], "Wagen");
    EXPECT_EQ(state.labels[state.transports[state.tokens[1].links[0] - 1].label], "Floss");
    EXPECT_EQ(state.tokens[0].links, (links_t{2, 0, 0, 0, 0, 0}));
    EXPECT_EQ(state.tokens[1].links, (links_t{1, 0, 0, 0, 0, 0}));
    EXPECT_EQ(place_of(state.transports[1]), (map_point{100, 140}));  // the convoy closed up
    EXPECT_EQ(state.hover.text, "");
    EXPECT_TRUE(state.state_modified);
}

TEST_F(editing_actions, without_tombstone_kinds_nothing_is_placed_or_inscribed) {
    state.grave_catalogue.clear();
    add_grave(600, 400).label = 3;
    state.labels.set(3, "Borin");
    right_click(300, 200);
    system.queue_popup_choice(place_tombstone_item);
    pick(285, 185);  // the random cell, the only one
    run();
    EXPECT_EQ(state.graves.size(), 1);
    EXPECT_EQ(state.graves[0].label, 3);
    EXPECT_EQ(state.labels[3], "Borin");
    EXPECT_EQ(state.labels[1], "");
    EXPECT_TRUE(system.inputs.empty());
    EXPECT_FALSE(state.state_modified);
}

}  // namespace
}  // namespace quill
