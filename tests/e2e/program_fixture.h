#pragma once

#include <X11/keysym.h>
#include <gtest/gtest.h>
#include <QProcess>
#include <QTemporaryDir>

#include <string>
#include <vector>

#include "e2e/x_session.h"
#include "support/content_fixture.h"

namespace quill::e2e {

// Every colour of the content is distinct, so that a screen pixel tells what lies there.
inline constexpr rgb ground{40, 120, 40};
inline constexpr rgb beacon{12, 34, 56};
inline constexpr rgb white{255, 255, 255};
inline constexpr rgb black{0, 0, 0};
inline constexpr rgb red{200, 0, 0};
inline constexpr rgb blue{0, 0, 200};
inline constexpr rgb yellow{200, 200, 0};
inline constexpr rgb new_icon{200, 0, 200};
inline constexpr rgb grey{100, 100, 100};
inline constexpr rgb light_grey{150, 150, 150};
inline constexpr rgb cyan{0, 200, 200};
inline constexpr rgb orange{250, 120, 0};

// A map narrower than the canvas, so that its right edge shows the zoom, and higher, so that
// it can be panned. Tokens and tiles are 40 pixels; the beacon pixel finds the canvas.
inline constexpr int map_width = 1000;
inline constexpr int map_height = 1400;
inline constexpr point beacon_at{300, 300};
inline constexpr const char* level_name = "Testebene";
// Where the main window and the player icons dialog put their frame's outer corner.
inline constexpr point window_corner{220, 0};

struct menu_item {
    bool zoom;
    int index;
};
inline constexpr menu_item new_game{false, 0};
inline constexpr menu_item player_icons{false, 1};
inline constexpr menu_item load_game{false, 2};
inline constexpr menu_item save_game{false, 3};
inline constexpr menu_item zoom_out{true, 0};
inline constexpr menu_item zoom_in{true, 1};
inline constexpr menu_item zoom_reset{true, 2};

inline constexpr const char* load_title = "Quillmark - Aufstellung laden";
inline constexpr const char* save_title = "Quillmark - Aufstellung speichern";

quill::testing::argb paint(rgb colour);
std::string read_bytes(const std::string& path);

// What has the focus once the program has started.
enum class first_focus {
    main_window,
    // A question the program asks before anything else, such as the offer to recover a game.
    question,
    // Nothing yet: the program is still loading.
    nothing,
};

// Two free transports of a saved game that load_two_transports loads, by their map pixels.
inline constexpr point transport_a{300, 500};
inline constexpr point transport_b{600, 500};

// The built program in a folder of its own with a level of solid colours, in an X server of
// its own.
class e2e : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    void write_content();
    // Starts the program and waits until the main window, titled so, is framed where it belongs
    // and whatever takes the focus first has it.
    ::testing::AssertionResult start_program(const std::string& title,
                                             first_focus focus = first_focus::main_window);
    // Starts on the level and finds the canvas by its beacon.
    ::testing::AssertionResult start();
    // Finds the canvas of a running program by its beacon.
    ::testing::AssertionResult find_canvas();

    // A canvas pixel on the screen; at zoom 100 before any pan, a map pixel.
    point on_canvas(int cx, int cy) const { return {canvas.x + cx, canvas.y + cy}; }

    // Loads a saved game through "Spiel laden": the level's three tokens where they start and
    // two free transports at transport_a and transport_b, inscribed "Karren" and "Boot".
    ::testing::AssertionResult load_two_transports();

    // Chooses an item of the menu bar by the keyboard, so that no text positions are needed.
    ::testing::AssertionResult choose(menu_item item);
    // Opens the canvas's popup menu with a right click and chooses its item of that index.
    ::testing::AssertionResult context_menu(point at, int index);
    // Types into the dialog of that title once it has the focus, and ends it with a key.
    ::testing::AssertionResult reply(const std::string& title, const std::string& text,
                                     KeySym ending = XK_Return);
    // Presses on an item of 40 pixels and moves it in steps, each once the item is seen
    // centred under the pointer, so that the program handles every step; then lets go.
    ::testing::AssertionResult drag(point from, point to, rgb colour, int step = 10);
    // Moves a held item of 40 pixels to a point and waits until it is seen there.
    ::testing::AssertionResult move_held(point to, rgb colour);

    ::testing::AssertionResult close_main();
    // The program ended by itself, normally and with exit code 0.
    ::testing::AssertionResult wait_exit();
    ::testing::AssertionResult wait_file(const std::string& relative, const std::string& bytes);
    // Every file below the program folder with its size.
    std::vector<std::string> files() const;
    // The automatic saves below the scenario's data folder.
    std::vector<std::string> automatic_saves() const;

    quill::testing::content_fixture folder;
    QTemporaryDir data_home;
    x_session x;
    QProcess quillmark;
    Window main = None;
    point canvas;
};

}  // namespace quill::e2e
