#include "e2e/plain_png.h"
#include "e2e/program_fixture.h"

namespace quill::e2e {
namespace {

// The bar in the middle of the client area, and the text in it.
constexpr int bar_width = 360;
constexpr int bar_height = 28;

// A map of 16384 × 16384 takes longer than half a second to decode: meanwhile the window shows
// "Karte wird geladen … N %" in a bar in its middle, the bar's dark text on a window that shows
// no map yet; then the map, without the bar.
TEST_F(e2e, a_big_map_shows_how_much_is_loaded_while_it_loads) {
    write_content();
    ASSERT_TRUE(
        write_plain_png(folder.path("pics/map.png"), 16384, 16384, ground, beacon_at, beacon));
    ASSERT_TRUE(start_program("Quillmark", first_focus::nothing));
    const window_box client = x.inner(main);
    const point bar_corner = x.origin(main) + point{(client.width - bar_width) / 2,
                                                    25 + (client.height - 25 - bar_height) / 2};
    point text;
    ASSERT_TRUE(x.wait_until([&] { return x.find(black, bar_corner, bar_width, bar_height, text); },
                             "the progress bar's text"));
    Window loaded = None;
    ASSERT_TRUE(x.wait_window(level_name, loaded));
    ASSERT_TRUE(find_canvas());
    ASSERT_TRUE(x.wait_screen({{text, ground}}));
}

}  // namespace
}  // namespace quill::e2e
