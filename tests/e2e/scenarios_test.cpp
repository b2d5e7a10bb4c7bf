#include "e2e/program_fixture.h"
#include "savegame/party_file_image.h"

namespace quill::e2e {
namespace {

TEST_F(e2e, in_an_empty_folder_both_menus_open_and_closing_asks_nothing) {
    ASSERT_TRUE(start_program("Quillmark"));
    x.click(x.origin(main) + point{12, 8});
    ASSERT_TRUE(x.wait_popups(1));
    const window_box game = x.open_popups().front();
    x.key(XK_Right);
    window_box zoom;
    ASSERT_TRUE(x.wait_until(
        [&] {
            const std::vector<window_box> menus = x.open_popups();
            if (menus.size() != 1 || menus.front().at.x <= game.at.x) {
                return false;
            }
            zoom = menus.front();
            return true;
        },
        "the menu Zoom beside the menu Spiel"));
    EXPECT_GT(game.height, zoom.height);  // Spiel holds more items
    EXPECT_GT(zoom.width, game.width);    // the zoom items name their keys
    x.key(XK_Escape);
    x.key(XK_Escape);
    ASSERT_TRUE(x.wait_popups(0));

    ASSERT_TRUE(close_main());
    EXPECT_TRUE(wait_exit());
}

TEST_F(e2e, the_level_shows_its_name_its_tokens_in_a_row_and_its_background) {
    ASSERT_TRUE(start());
    // Tokens of 40 pixels from map (25, 20) on, side by side.
    EXPECT_TRUE(x.wait_screen({{on_canvas(26, 21), red},
                               {on_canvas(64, 59), red},
                               {on_canvas(65, 21), blue},
                               {on_canvas(104, 59), blue},
                               {on_canvas(105, 40), yellow},
                               {on_canvas(144, 59), yellow},
                               {on_canvas(145, 40), ground},
                               {on_canvas(24, 40), ground},
                               {on_canvas(45, 60), ground},
                               {on_canvas(map_width - 1, 400), ground},
                               {on_canvas(map_width, 400), white},
                               {on_canvas(500, 700), ground}}));
}

// On a German keyboard, as the program's users have, plus and minus have keys of their own.
TEST_F(e2e, keypad_keys_with_ctrl_zoom_like_the_menu_and_the_main_plus_and_minus_do_not) {
    ASSERT_TRUE(x.use_keyboard_layout("de"));
    ASSERT_TRUE(start());
    const auto zoom_is = [&](int percent) {
        const int edge = map_width * percent / 100;
        return x.wait_screen({{on_canvas(edge - 1, 300), ground}, {on_canvas(edge, 300), white}});
    };
    ASSERT_TRUE(choose(zoom_out));
    ASSERT_TRUE(zoom_is(90));
    ASSERT_TRUE(choose(zoom_in));
    ASSERT_TRUE(zoom_is(99));
    ASSERT_TRUE(choose(zoom_reset));
    ASSERT_TRUE(zoom_is(100));

    x.key(XK_KP_Subtract, {XK_Control_L});
    ASSERT_TRUE(zoom_is(90)) << "Ctrl+NUM-";
    x.key(XK_KP_Add, {XK_Control_L});
    ASSERT_TRUE(zoom_is(99)) << "Ctrl+NUM+";
    x.key(XK_Return, {XK_Control_L});
    ASSERT_TRUE(zoom_is(100)) << "Ctrl+Enter";

    // Events are handled in order: what the keypad key does next shows whether the key of the
    // main keyboard before it did anything.
    x.key(XK_KP_Subtract, {XK_Control_L});
    x.key(XK_plus, {XK_Control_L});
    x.key(XK_KP_Subtract, {XK_Control_L});
    ASSERT_TRUE(zoom_is(81)) << "Ctrl with the main plus";
    x.key(XK_minus, {XK_Control_L});
    x.key(XK_KP_Add, {XK_Control_L});
    ASSERT_TRUE(zoom_is(89)) << "Ctrl with the main minus";
    x.key(XK_KP_Enter, {XK_Control_L});
    EXPECT_TRUE(zoom_is(100)) << "Ctrl with the keypad's Enter";
}

TEST_F(e2e, a_token_is_dragged_and_the_map_panned) {
    ASSERT_TRUE(start());
    ASSERT_TRUE(drag(on_canvas(125, 40), on_canvas(500, 400), yellow));
    EXPECT_TRUE(x.wait_screen({{on_canvas(480, 380), yellow},
                               {on_canvas(519, 419), yellow},
                               {on_canvas(125, 40), ground},
                               {on_canvas(85, 40), blue}}));

    // A double press on the ground holds the map and sets the marker: once the marker shows,
    // the program has read where the pan starts.
    const point hold = on_canvas(700, 600);
    x.double_press(hold);
    point marker;
    ASSERT_TRUE(x.wait_until([&] { return x.find(orange, hold, 50, 50, marker); }, "the marker"));
    x.move(hold + point{0, -200});
    EXPECT_TRUE(x.wait_screen({{on_canvas(beacon_at.x, beacon_at.y - 200), beacon},
                               {on_canvas(500, 200), yellow},
                               {on_canvas(45, 5), ground}}));
    x.release();
}

TEST_F(e2e, a_tombstone_is_set_from_the_context_menu_and_shows_its_inscription) {
    ASSERT_TRUE(start());
    const point spot = on_canvas(400, 500);
    ASSERT_TRUE(context_menu(spot, 0));  // "Grabstein setzen"
    // The picker shows the kinds at the pointer, the first centred under it.
    ASSERT_TRUE(x.wait_screen({{spot, grey}, {spot + point{40, 0}, light_grey}}));
    x.click(spot + point{40, 0});
    ASSERT_TRUE(reply("Quillmark", "Borin"));
    ASSERT_TRUE(reply("Quillmark", "Sturmklingen"));
    ASSERT_TRUE(x.wait_screen({{spot + point{-20, -20}, light_grey},
                               {spot + point{19, 19}, light_grey},
                               {spot + point{25, 0}, ground}}));

    // The inscription, "RIP <date> - Hier ruht Borin von den Sturmklingen", in a black box at
    // the pointer with white letters.
    const point hover = spot + point{-10, -10};
    x.move(hover);
    ASSERT_TRUE(x.wait_screen({{hover + point{1, 1}, black}, {hover + point{280, 1}, black}}));
    point letter;
    EXPECT_TRUE(x.find(white, hover, 280, 16, letter));
    x.move(spot + point{-100, 0});
    EXPECT_TRUE(x.wait_screen({{hover + point{280, 1}, ground}}));
}

TEST_F(e2e, a_transport_dropped_on_a_token_follows_it_as_a_convoy) {
    ASSERT_TRUE(start());
    const point spot = on_canvas(400, 500);
    ASSERT_TRUE(context_menu(spot, 1));  // "Transportmittel erstellen"
    ASSERT_TRUE(x.wait_screen({{spot, cyan}, {spot + point{45, 0}, white}}));
    x.click(spot);
    ASSERT_TRUE(reply("Quillmark", ""));  // the kind's name stays
    ASSERT_TRUE(reply("Quillmark", "Sturmklingen"));
    ASSERT_TRUE(x.wait_screen({{spot, cyan}, {spot + point{25, 0}, ground}}));

    // Dropped on the last token, it lines up behind it on the token's trail. The drag starts
    // off the picker's cell, where a press would make a double click, and the inscription shows
    // where it ends, right of and below the pointer.
    const point token = on_canvas(125, 40);
    ASSERT_TRUE(drag(spot + point{10, 10}, token, cyan));
    ASSERT_TRUE(
        x.wait_screen({{on_canvas(110, 25), yellow}, {on_canvas(125, 80), cyan}, {spot, ground}}));

    // Steps longer than a quarter token each add a point to the trail.
    ASSERT_TRUE(drag(token, on_canvas(325, 40), yellow, 15));
    EXPECT_TRUE(x.wait_screen(
        {{on_canvas(325, 30), yellow}, {on_canvas(285, 30), cyan}, {on_canvas(125, 80), ground}}));
}

TEST_F(e2e, saved_games_load_again_byte_for_byte_and_an_old_file_loads) {
    using quill::testing::party_file_image;
    // Two of the three tokens and a tombstone with its inscription, at zoom 50.
    party_file_image old;
    old.path(QString::fromStdString(folder.path("KTV.gxml")).toStdU16String())
        .i32(2)
        .i32(1)
        .u8(50)
        .record(0, {}, 500, 300, 0)
        .record(1, {}, 600, 300, 0)
        .record(1, {}, 700, 500, 1)
        .label(u"")
        .label(u"Grab")
        .empty_labels(254);
    folder.write_text("alt.gls", old.bytes);
    party_file_image saved;
    saved.u8(1)
        .path(u"\\\\PROGDIR\\\\KTV.gxml")
        .i32(3)
        .i32(1)
        .i32(0)
        .u8(50)
        .record(0, {}, 500, 300, 0)
        .trail(45, 40, 10)
        .record(1, {}, 600, 300, 0)
        .trail(85, 40, 10)
        .record(2, {}, 105, 20, 0)
        .trail(125, 40, 10)
        .record(1, {}, 700, 500, 1)
        .label(u"")
        .label(u"Grab")
        .empty_labels(254);

    ASSERT_TRUE(start());
    const std::vector<seen> loaded = {{on_canvas(260, 160), red},
                                      {on_canvas(310, 160), blue},
                                      {on_canvas(62, 20), yellow},
                                      {on_canvas(360, 260), light_grey}};
    ASSERT_TRUE(choose(load_game));
    ASSERT_TRUE(reply(load_title, folder.path("alt.gls")));
    ASSERT_TRUE(x.wait_screen(loaded));
    ASSERT_TRUE(choose(save_game));
    ASSERT_TRUE(reply(save_title, folder.path("erster")));
    ASSERT_TRUE(wait_file("erster.qms", saved.bytes));

    ASSERT_TRUE(choose(new_game));
    ASSERT_TRUE(x.wait_screen({{on_canvas(45, 40), red}, {on_canvas(360, 260), ground}}));
    ASSERT_TRUE(choose(load_game));
    ASSERT_TRUE(reply(load_title, folder.path("erster.qms")));
    ASSERT_TRUE(x.wait_screen(loaded));
    ASSERT_TRUE(choose(save_game));
    ASSERT_TRUE(reply(save_title, folder.path("zweiter")));
    EXPECT_TRUE(wait_file("zweiter.qms", saved.bytes));
}

TEST_F(e2e, new_player_icons_rewrite_players_xml_and_the_tokens) {
    ASSERT_TRUE(start());
    ASSERT_TRUE(choose(player_icons));
    Window dialog = None;
    ASSERT_TRUE(x.wait_window("Players", dialog));
    ASSERT_TRUE(x.wait_framed_at(dialog, window_corner));
    const point client = x.origin(dialog);
    ASSERT_TRUE(x.wait_screen({{client + point{50, 50}, red}}));
    // The picker opens at the pointer with the icons in name order: p0, p1, p2, q.
    const point button = client + point{145, 50};
    x.click(button);
    ASSERT_TRUE(
        x.wait_screen({{button + point{20, 20}, red}, {button + point{140, 20}, new_icon}}));
    x.click(button + point{140, 20});
    ASSERT_TRUE(x.wait_screen({{client + point{50, 50}, new_icon}}));
    x.click(client + point{110, 435});  // "Übernehmen"
    ASSERT_TRUE(x.wait_gone(dialog));

    const auto player = [](const std::string& i, const std::string& pic) {
        return "  <player>\r\n    <name>Spieler " + i + "</name>\r\n    <id>p" + i +
               "</id>\r\n    <pic>" + pic + "</pic>\r\n    <comment/>\r\n  </player>\r\n";
    };
    EXPECT_TRUE(wait_file("players.xml",
                          "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
                          "<players>\r\n" +
                              player("0", "q.png") + player("1", "p1.png") + player("2", "p2.png") +
                              "</players>\r\n"));
    EXPECT_TRUE(x.wait_screen({{on_canvas(45, 40), new_icon}, {on_canvas(85, 40), blue}}));
}

TEST_F(e2e, closing_after_a_change_asks_and_no_ends_without_a_file) {
    ASSERT_TRUE(start());
    ASSERT_TRUE(drag(on_canvas(45, 40), on_canvas(45, 300), red));
    const std::vector<std::string> before = files();
    ASSERT_TRUE(close_main());
    ASSERT_TRUE(reply("Quillmark", "", XK_Escape));  // No
    ASSERT_TRUE(wait_exit());
    EXPECT_EQ(files(), before);
}

TEST_F(e2e, a_failed_save_after_yes_keeps_the_program_open) {
    ASSERT_TRUE(start());
    // A folder below a regular file cannot be written, even by root.
    folder.write_text("kein_ordner", "");
    ASSERT_TRUE(drag(on_canvas(45, 40), on_canvas(45, 300), red));
    const std::vector<std::string> before = files();
    ASSERT_TRUE(close_main());
    ASSERT_TRUE(reply("Quillmark", ""));  // Yes
    ASSERT_TRUE(reply(save_title, folder.path("kein_ordner/spiel")));
    ASSERT_TRUE(reply("Quillmark", ""));  // "Die Datei konnte nicht erstellt werden."

    // Still open and still changed: closing asks again.
    ASSERT_TRUE(close_main());
    ASSERT_TRUE(reply("Quillmark", "", XK_Escape));
    ASSERT_TRUE(wait_exit());
    EXPECT_EQ(files(), before);
}

TEST_F(e2e, ctrl_z_takes_a_drag_back_and_ctrl_y_does_it_again) {
    ASSERT_TRUE(start());
    ASSERT_TRUE(drag(on_canvas(125, 40), on_canvas(500, 400), yellow));
    ASSERT_TRUE(x.wait_screen({{on_canvas(500, 400), yellow}, {on_canvas(125, 40), ground}}));
    x.key(XK_z, {XK_Control_L});
    ASSERT_TRUE(x.wait_screen({{on_canvas(125, 40), yellow}, {on_canvas(500, 400), ground}}));
    x.key(XK_y, {XK_Control_L});
    EXPECT_TRUE(x.wait_screen({{on_canvas(500, 400), yellow}, {on_canvas(125, 40), ground}}));
}

}  // namespace
}  // namespace quill::e2e
