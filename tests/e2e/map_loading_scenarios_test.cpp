#include <sys/stat.h>

#include <QFile>

#include "e2e/program_fixture.h"

namespace quill::e2e {
namespace {

// The bar in the middle of the client area, and the text in it.
constexpr int bar_width = 360;
constexpr int bar_height = 28;

// The map's picture comes through a pipe, which holds its load until the scenario opens the
// other end, however fast the machine: after half a second the window shows "Karte wird
// geladen … 0 %" in a bar in its middle, the bar's dark text on a window without a map. A pipe
// is no picture: the load fails, and the bar goes with it.
TEST_F(e2e, a_long_map_load_shows_its_progress_until_it_ends) {
    write_content();
    const std::string map = folder.path("pics/map.png");
    ASSERT_TRUE(QFile::remove(QString::fromStdString(map)));
    ASSERT_EQ(mkfifo(map.c_str(), 0600), 0);
    ASSERT_TRUE(start_program("Quillmark", first_focus::nothing));
    const window_box client = x.inner(main);
    const point bar_corner = x.origin(main) + point{(client.width - bar_width) / 2,
                                                    25 + (client.height - 25 - bar_height) / 2};
    point text;
    ASSERT_TRUE(x.wait_until([&] { return x.find(black, bar_corner, bar_width, bar_height, text); },
                             "the progress bar's text"));

    QFile pipe(QString::fromStdString(map));
    ASSERT_TRUE(pipe.open(QIODevice::WriteOnly));
    pipe.close();
    Window loaded = None;
    ASSERT_TRUE(x.wait_window(level_name, loaded));
    ASSERT_TRUE(x.wait_screen({{text, white}}));
}

}  // namespace
}  // namespace quill::e2e
