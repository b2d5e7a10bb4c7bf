#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <set>

#include <QDir>
#include <QFile>
#include <QImage>

#include "content/level_loading.h"
#include "content/player_icon_picker.h"
#include "content/player_icons_dialog.h"
#include "content/player_icons_layout.h"
#include "content/ui_numbers.h"
#include "support/content_fixture.h"

namespace quill {
namespace {

using testing::argb;
using testing::content_fixture;

constexpr int dialog = ui::player_icons_window;
constexpr int popup = ui::icon_picker_window;
// The scripted platform puts a window's inner area at the position it was opened at.
constexpr int dialog_x = 220;
constexpr int dialog_y = 0;

constexpr argb green{255, 0, 200, 0};
constexpr uint32_t green_pixel = 0xFF00C800u;

window_event event_of(event_kind kind, int window) {
    window_event event;
    event.kind = kind;
    event.window = window;
    return event;
}

window_event click_on(int window, int control) {
    window_event event = event_of(event_kind::control, window);
    event.control = control;
    event.type = control_event::left_click;
    return event;
}

std::string read_bytes(const std::string& path) {
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly)) {
        return "<unreadable>";
    }
    return file.readAll().toStdString();
}

std::string player_xml(const std::string& name, const std::string& id, const std::string& pic) {
    return "  <player>\r\n    <name>" + name + "</name>\r\n    <id>" + id + "</id>\r\n    <pic>" +
           pic + "</pic>\r\n    <comment/>\r\n  </player>\r\n";
}

constexpr const char* declaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n";

struct player_icons_dialog : ::testing::Test {
    content_fixture content;
    scripted_platform& system = content.system;
    game_state& state = content.state;

    // Players p0.png, p1.png, ... of 48 pixels and the icon neu.png, which lists first.
    void load_players(int count) {
        std::vector<argb> colours;
        for (int i = 0; i < count; ++i) {
            colours.push_back({255, static_cast<uint8_t>(20 * i), 0, 150});
        }
        content.write_level("L", 800, 600, 40, 40, 48);
        content.write_players(colours, 48);
        content.write_png("players/neu.png", 48, 48, green);
        load_level(state, system, {});
    }
    // The pointer at (x, y) in the dialog, then a click on one of its buttons.
    void press(int button, int x = 100, int y = 40) {
        system.queue_action(
            [this, x, y] { system.set_pointer_screen(dialog_x + x, dialog_y + y); });
        system.queue_event(click_on(dialog, button));
    }
    // A click in the picker at (x, y) of its inner area, wherever it was opened.
    void pick(int x, int y) {
        system.queue_action([this, x, y] {
            const auto& window = system.windows.at(popup);
            system.set_pointer_screen(window.x + x, window.y + y);
        });
        system.queue_event(click_on(popup, ui::icon_picker_canvas));
    }
    void check(std::function<void()> expectations) { system.queue_action(std::move(expectations)); }
    // Runs the dialog. Spare close requests stop it even when it failed to end where the test
    // meant it to; a test that ends as meant leaves them undelivered.
    void run() {
        for (int i = 0; i < 3; ++i) {
            system.queue_event(event_of(event_kind::close_request, dialog));
        }
        const int before = system.events_delivered;
        edit_player_icons(state, system);
        used_events = system.events_delivered - before;
        EXPECT_FALSE(system.windows.contains(popup) && system.windows.at(popup).open);
        EXPECT_FALSE(system.windows.contains(dialog) && system.windows.at(dialog).open);
    }
    uint32_t pixel(picture_handle picture) const {
        return system.pictures().pixel(picture, 20, 20);
    }

    int used_events = 0;
};

TEST_F(player_icons_dialog, shows_seven_rows_of_icons_buttons_and_the_apply_button) {
    load_players(3);
    check([this] {
        const auto& window = system.windows.at(dialog);
        EXPECT_EQ(window.x, 220);
        EXPECT_EQ(window.y, 0);
        EXPECT_EQ(window.inner_width, 220);
        EXPECT_EQ(window.inner_height, 474);
        EXPECT_EQ(window.title, "Players");
        EXPECT_EQ(window.style, window_style::dialog);
        EXPECT_EQ(window.owner, ui::main_window);
        for (int i = 0; i < 7; ++i) {
            const auto& box = system.controls.at(100 + i);
            EXPECT_EQ(box.type, scripted_platform::control_record::kind::picture_box);
            EXPECT_EQ(box.window, dialog);
            EXPECT_EQ((std::array{box.x, box.y, box.width, box.height}),
                      (std::array{30, 30 + 50 * i, 40, 40}));
            EXPECT_TRUE(box.sunken);
            const auto& button = system.controls.at(107 + i);
            EXPECT_EQ(button.type, scripted_platform::control_record::kind::button);
            EXPECT_EQ(button.text, "Icon ändern");
            EXPECT_EQ((std::array{button.x, button.y, button.width, button.height}),
                      (std::array{90, 35 + 50 * i, 110, 30}));
        }
        const auto& apply = system.controls.at(114);
        EXPECT_EQ(apply.text, "Übernehmen");
        EXPECT_EQ((std::array{apply.x, apply.y, apply.width, apply.height}),
                  (std::array{10, 420, 200, 30}));

        const picture_store& pictures = system.pictures();
        const picture_handle icon = system.controls.at(102).picture;
        EXPECT_EQ(pictures.width(icon), 40);
        EXPECT_EQ(pictures.height(icon), 40);
        EXPECT_EQ(pixel(icon), 0xFF280096u);
        EXPECT_EQ(system.controls.at(103).picture, 0);
        EXPECT_EQ(system.controls.at(106).picture, 0);
    });
    press(110);  // a row without a player: nothing to choose
    check([this] { EXPECT_FALSE(system.windows.contains(popup)); });
    press(114);
    run();
    EXPECT_EQ(used_events, 2);
}

// Shrinking stripes one pixel wide by smoothing greys them; picking pixels would keep them
// black or white.
TEST_F(player_icons_dialog, row_icons_are_smoothed_to_40_pixels) {
    load_players(1);
    QImage stripes(48, 48, QImage::Format_RGB32);
    for (int x = 0; x < 48; ++x) {
        for (int y = 0; y < 48; ++y) {
            stripes.setPixel(x, y, x % 2 == 0 ? 0xFF000000u : 0xFFFFFFFFu);
        }
    }
    ASSERT_TRUE(stripes.save(QString::fromStdString(content.path("players/p0.png")), "PNG"));
    check([this] {
        const picture_handle icon = system.controls.at(100).picture;
        for (int x = 10; x < 14; ++x) {
            const uint32_t grey = system.pictures().pixel(icon, x, 20) & 0xFFu;
            EXPECT_GT(grey, 0x20u) << x;
            EXPECT_LT(grey, 0xE0u) << x;
        }
    });
    run();
}

TEST_F(player_icons_dialog, a_chosen_icon_is_written_and_shown_on_the_map_at_once) {
    load_players(3);
    state.state_modified = true;
    const picture_handle first_image = state.player_catalogue[0].image;
    press(108, 120, 90);
    check([this] {
        EXPECT_EQ(system.windows.at(popup).x, dialog_x + 120);
        EXPECT_EQ(system.windows.at(popup).y, dialog_y + 90);
        EXPECT_EQ(system.windows.at(popup).owner, dialog);
    });
    pick(10, 10);  // neu.png
    check([this] {
        const picture_handle icon = system.controls.at(101).picture;
        EXPECT_EQ(system.pictures().width(icon), 40);
        EXPECT_EQ(pixel(icon), green_pixel);
        // Nothing reaches the disk or the map before the dialog closes.
        EXPECT_NE(pixel(state.player_catalogue[1].image), green_pixel);
    });
    press(114);
    run();
    EXPECT_EQ(used_events, 3);

    EXPECT_EQ(read_bytes(content.path("players.xml")),
              std::string(declaration) + "<players>\r\n" + player_xml("Spieler 0", "p0", "p0.png") +
                  player_xml("Spieler 1", "p1", "neu.png") +
                  player_xml("Spieler 2", "p2", "p2.png") + "</players>\r\n");
    EXPECT_EQ(pixel(state.player_catalogue[1].image), green_pixel);
    EXPECT_EQ(pixel(state.player_catalogue[0].image), 0xFF000096u);
    EXPECT_FALSE(system.pictures().valid(first_image));  // replaced, not leaked
    EXPECT_TRUE(state.state_modified);
    EXPECT_TRUE(system.messages.empty());
}

TEST_F(player_icons_dialog, the_written_file_escapes_its_texts_and_reads_back_the_same) {
    content.write_level("L", 800, 600, 40, 40, 48);
    content.write_png("players/a.png", 48, 48, green);
    content.write_text("players.xml",
                       "<?xml version=\"1.0\" encoding=\"windows-1252\"?>\n"
                       "<!-- a remark --><spieler version=\"2\">\n"
                       "<player><comment>Hof &amp; Gut</comment><name>M\xFCller &lt;Elf&gt;</name>"
                       "<id>m</id><pic>a.png</pic><extra>x</extra></player>\n"
                       "<item><name>kein Spieler</name></item>\n"
                       "<player/>\n</spieler>\n");
    load_level(state, system, {});
    ASSERT_EQ(state.player_catalogue.size(), 2);
    system.queue_event(event_of(event_kind::close_request, dialog));  // the close box keeps it too
    run();
    EXPECT_EQ(used_events, 1);
    EXPECT_EQ(read_bytes(content.path("players.xml")),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
              "<players>\r\n"
              "  <player>\r\n"
              "    <name>M\xC3\xBCller &lt;Elf&gt;</name>\r\n"
              "    <id>m</id>\r\n"
              "    <pic>a.png</pic>\r\n"
              "    <comment>Hof &amp; Gut</comment>\r\n"
              "  </player>\r\n"
              "  <player>\r\n"
              "    <name/>\r\n"
              "    <id/>\r\n"
              "    <pic/>\r\n"
              "    <comment/>\r\n"
              "  </player>\r\n"
              "</players>\r\n");

    const std::vector<catalogue_entry> before(state.player_catalogue.begin(),
                                              state.player_catalogue.end());
    load_level(state, system, {});
    ASSERT_EQ(state.player_catalogue.size(), 2);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(state.player_catalogue[i].name, before[static_cast<std::size_t>(i)].name);
        EXPECT_EQ(state.player_catalogue[i].id, before[static_cast<std::size_t>(i)].id);
        EXPECT_EQ(state.player_catalogue[i].comment, before[static_cast<std::size_t>(i)].comment);
    }
    EXPECT_EQ(pixel(state.player_catalogue[0].image), green_pixel);
    EXPECT_EQ(state.player_catalogue[1].image, 0);
}

TEST_F(player_icons_dialog, the_open_picker_uses_up_clicks_and_window_events_of_the_dialog) {
    load_players(2);
    press(107);
    pick(200, 5);  // an empty cell: the picker stays
    check([this] { EXPECT_TRUE(system.windows.at(popup).open); });
    system.queue_action([this] { system.activate_window(dialog); });
    system.queue_event(event_of(event_kind::activated, dialog));
    check([this] {
        EXPECT_TRUE(system.windows.at(popup).open);
        EXPECT_EQ(system.active_window, popup);
    });
    press(108);  // ends the picker without a choice and does not open another one
    check([this] { EXPECT_FALSE(system.windows.at(popup).open); });
    press(107);
    system.queue_event(event_of(event_kind::moved, dialog));
    check([this] {
        EXPECT_FALSE(system.windows.at(popup).open);
        EXPECT_TRUE(system.windows.at(dialog).open);
    });
    press(107);
    system.queue_event(event_of(event_kind::close_request, dialog));
    check([this] {
        EXPECT_FALSE(system.windows.at(popup).open);
        EXPECT_TRUE(system.windows.at(dialog).open);
    });
    system.queue_event(event_of(event_kind::close_request, ui::main_window));  // ignored
    press(114);
    run();
    EXPECT_EQ(used_events, 10);
    EXPECT_EQ(read_bytes(content.path("players.xml")),
              std::string(declaration) + "<players>\r\n" + player_xml("Spieler 0", "p0", "p0.png") +
                  player_xml("Spieler 1", "p1", "p1.png") + "</players>\r\n");
}

TEST_F(player_icons_dialog, more_than_seven_players_all_get_a_row_and_are_all_written) {
    const players_dialog_layout nine = dialog_layout(9);
    EXPECT_EQ(nine.inner_width, 220);
    EXPECT_EQ(nine.inner_height, 574);
    EXPECT_EQ(nine.apply_area.y, 520);

    load_players(12);
    check([this] {
        const auto& window = system.windows.at(dialog);
        EXPECT_EQ(window.inner_width, 440);
        EXPECT_EQ(window.inner_height, 624);
        EXPECT_EQ(system.controls.at(114).y, 570);
        std::set<int> numbers;
        for (int i = 0; i < 12; ++i) {
            const row_controls row = row_layout(i);
            const auto& box = system.controls.at(row.picture_box);
            const auto& button = system.controls.at(row.button);
            EXPECT_EQ(box.x, i < 10 ? 30 : 250);
            EXPECT_EQ(box.y, 30 + 50 * (i % 10));
            EXPECT_EQ(button.x, i < 10 ? 90 : 310);
            EXPECT_EQ(button.y, 35 + 50 * (i % 10));
            EXPECT_EQ(button.text, "Icon ändern");
            EXPECT_NE(box.picture, 0) << i;
            EXPECT_EQ(row_of_button(row.button), i);
            numbers.insert({row.picture_box, row.button});
        }
        EXPECT_EQ(numbers.size(), 24u);
        EXPECT_FALSE(numbers.contains(114));
        EXPECT_EQ(row_layout(7).picture_box, 1014);
        EXPECT_EQ(row_layout(7).button, 1015);
    });
    press(row_layout(11).button, 320, 90);
    pick(5, 5);
    check([this] {
        EXPECT_EQ(pixel(system.controls.at(row_layout(11).picture_box).picture), green_pixel);
    });
    press(114);
    run();
    EXPECT_EQ(used_events, 3);

    load_level(state, system, {});
    ASSERT_EQ(state.player_catalogue.size(), 12);
    EXPECT_EQ(state.player_catalogue[11].name, "Spieler 11");
    EXPECT_EQ(pixel(state.player_catalogue[11].image), green_pixel);
    EXPECT_EQ(state.player_catalogue[10].id, "p10");
}

TEST_F(player_icons_dialog, a_damaged_players_file_is_neither_written_nor_shown_on_the_map) {
    load_players(2);
    const std::string damaged =
        "<players>\n<player><name>A</name><pic>p0.png</pic></player>\n<player><name>B</nam";
    content.write_text("players.xml", damaged);
    const picture_handle first_image = state.player_catalogue[0].image;
    check([this] {
        EXPECT_NE(system.controls.at(100).picture, 0);  // what was parsed is shown
        EXPECT_EQ(system.controls.at(101).picture, 0);
        EXPECT_EQ(system.messages.size(), 2u);  // told before choosing
    });
    press(107);
    pick(5, 5);
    press(114);
    run();
    ASSERT_EQ(system.messages.size(), 2u);
    EXPECT_EQ(system.messages[0].title, "Error");
    EXPECT_EQ(system.messages[1].text,
              "Die Datei players.xml ist fehlerhaft. Geänderte Spielericons können nicht "
              "gespeichert werden.");
    EXPECT_EQ(read_bytes(content.path("players.xml")), damaged);
    EXPECT_EQ(state.player_catalogue[0].image, first_image);
    EXPECT_NE(pixel(first_image), green_pixel);
}

TEST_F(player_icons_dialog, an_unreadable_players_file_is_reported_and_left_alone) {
    load_players(2);
    // Larger than any content file may be, so the reader refuses it.
    const std::string huge = "<players>" + std::string(16 * 1024 * 1024, ' ') + "</players>";
    content.write_text("players.xml", huge);
    const picture_handle first_image = state.player_catalogue[0].image;
    run();
    ASSERT_EQ(system.messages.size(), 1u);
    EXPECT_EQ(system.messages[0].title, "Quillmark");
    EXPECT_EQ(system.messages[0].icon, message_icon::error);
    EXPECT_FALSE(system.windows.contains(dialog));
    EXPECT_EQ(used_events, 0);
    EXPECT_EQ(read_bytes(content.path("players.xml")).size(), huge.size());
    EXPECT_EQ(state.player_catalogue[0].image, first_image);
}

TEST_F(player_icons_dialog, a_missing_or_empty_players_file_becomes_an_empty_list) {
    const std::string empty_list = std::string(declaration) + "<players/>\r\n";
    check([this] { EXPECT_EQ(system.controls.at(100).picture, 0); });
    press(107);
    check([this] { EXPECT_FALSE(system.windows.contains(popup)); });
    press(114);
    run();
    EXPECT_EQ(read_bytes(content.path("players.xml")), empty_list);

    content.write_text("players.xml", "");
    run();
    EXPECT_EQ(read_bytes(content.path("players.xml")), empty_list);
    EXPECT_TRUE(system.messages.empty());
}

TEST_F(player_icons_dialog, a_failed_write_is_reported_and_the_map_still_follows) {
    load_players(2);
    QFile::remove(QString::fromStdString(content.path("players.xml")));
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(content.path("players.xml/kept"))));
    run();
    ASSERT_EQ(system.messages.size(), 1u);
    EXPECT_EQ(system.messages[0].title, "Quillmark");
    EXPECT_EQ(system.messages[0].text, "Die Datei players.xml konnte nicht gespeichert werden.");
    EXPECT_EQ(system.messages[0].icon, message_icon::error);
    EXPECT_TRUE(QDir(QString::fromStdString(content.path("players.xml/kept"))).exists());
}

TEST_F(player_icons_dialog, only_players_present_in_both_lists_get_new_pictures) {
    load_players(3);
    const picture_handle third_image = state.player_catalogue[2].image;
    content.write_text("players.xml",
                       "<players><player><pic>neu.png</pic></player>"
                       "<player><pic>neu.png</pic></player></players>");
    run();
    EXPECT_EQ(pixel(state.player_catalogue[0].image), green_pixel);
    EXPECT_EQ(pixel(state.player_catalogue[1].image), green_pixel);
    EXPECT_EQ(state.player_catalogue[2].image, third_image);
    EXPECT_NE(pixel(third_image), green_pixel);

    std::string four = "<players>";
    for (int i = 0; i < 4; ++i) {
        four += "<player><pic>p" + std::to_string(i % 3) + ".png</pic></player>";
    }
    content.write_text("players.xml", four + "</players>");
    run();
    ASSERT_EQ(state.player_catalogue.size(), 3);
    EXPECT_EQ(pixel(state.player_catalogue[0].image), 0xFF000096u);
    EXPECT_EQ(pixel(state.player_catalogue[2].image), 0xFF280096u);
}

}  // namespace
}  // namespace quill
