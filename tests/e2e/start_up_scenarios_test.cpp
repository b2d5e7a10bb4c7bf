#include <sys/stat.h>

#include <QFile>
#include <QLibraryInfo>

#include "e2e/gravity_blind_window_manager.h"
#include "e2e/program_fixture.h"

namespace quill::e2e {
namespace {

// The map's picture comes through a pipe, which holds its load until the scenario opens the
// other end: meanwhile the window, titled "Quillmark", is framed and shows the busy pointer.
TEST_F(e2e, a_slow_level_shows_the_framed_window_busy_before_it_loads) {
    write_content();
    const std::string map = folder.path("pics/map.png");
    ASSERT_TRUE(QFile::remove(QString::fromStdString(map)));
    ASSERT_EQ(mkfifo(map.c_str(), 0600), 0);
    x.move(window_corner + point{600, 400});
    const unsigned long idle_pointer = x.pointer_shape();
    ASSERT_TRUE(start_program("Quillmark", first_focus::nothing));
    EXPECT_TRUE(x.wait_until([&] { return x.pointer_shape() != idle_pointer; },
                             "the busy pointer over the window"));
    const unsigned long busy_pointer = x.pointer_shape();

    // A pipe is no picture: the level comes without a map, under its own name.
    QFile pipe(QString::fromStdString(map));
    ASSERT_TRUE(pipe.open(QIODevice::WriteOnly));
    pipe.close();
    Window loaded = None;
    ASSERT_TRUE(x.wait_window(level_name, loaded));
    EXPECT_EQ(loaded, main);
    EXPECT_TRUE(x.wait_until([&] { return x.pointer_shape() != busy_pointer; },
                             "the normal pointer once the level is loaded"));
}

// Qt's own texts are part of the program: where Qt finds no translations, the exit question
// still has its German buttons, and Alt+J answers "Ja".
TEST_F(e2e, dialogs_speak_german_without_translations_on_the_system) {
    folder.write_text(
        "qt.conf", "[Paths]\nPrefix=" + QLibraryInfo::path(QLibraryInfo::PrefixPath).toStdString() +
                       "\nPlugins=" + QLibraryInfo::path(QLibraryInfo::PluginsPath).toStdString() +
                       "\nTranslations=/nonexistent\n");
    ASSERT_TRUE(start());
    x.key(XK_KP_Subtract, {XK_Control_L});
    ASSERT_TRUE(x.wait_screen({{on_canvas(899, 300), ground}, {on_canvas(900, 300), white}}));
    ASSERT_TRUE(close_main());
    Window question = None;
    ASSERT_TRUE(x.wait_window("Quillmark", question));
    ASSERT_TRUE(x.wait_active(question));
    x.key(XK_j, {XK_Alt_L});
    Window save = None;
    ASSERT_TRUE(x.wait_window(save_title, save));
    ASSERT_TRUE(x.wait_active(save));
    x.key(XK_Escape);  // a cancelled save dialog ends the program
    EXPECT_TRUE(wait_exit());
}

// An X server whose window manager is the scenario's own.
struct e2e_own_window_manager : e2e {
    void SetUp() override { ASSERT_TRUE(x.start(false)); }
};

// A window manager that frames the window where its inner area stands would put the title bar
// above the screen; once the frame is known, the window is placed by its outer corner again.
TEST_F(e2e_own_window_manager, the_main_window_is_placed_by_its_frame_whatever_the_gravity) {
    gravity_blind_window_manager manager;
    ASSERT_TRUE(manager.start(x.display_name()));
    write_content();
    ASSERT_TRUE(start_program(level_name, first_focus::nothing));
    EXPECT_TRUE(find_canvas());
}

}  // namespace
}  // namespace quill::e2e
