#include "e2e/program_fixture.h"

namespace quill::e2e {
namespace {

// The save is written once the drag has ended, so it holds the token where it was let go.
TEST_F(e2e, after_a_crash_the_next_start_loads_the_automatic_save_on_yes) {
    ASSERT_TRUE(start());
    ASSERT_TRUE(drag(on_canvas(125, 40), on_canvas(500, 400), yellow));
    ASSERT_TRUE(x.wait_until([&] { return !automatic_saves().empty(); }, "an automatic save"));
    quillmark.kill();  // SIGKILL: nothing is cleaned up
    ASSERT_TRUE(quillmark.waitForFinished());
    ASSERT_TRUE(x.wait_gone(main));

    ASSERT_TRUE(start_program(level_name, first_focus::question));
    ASSERT_TRUE(reply("Quillmark", ""));  // Yes
    ASSERT_TRUE(find_canvas());
    EXPECT_TRUE(x.wait_screen({{on_canvas(481, 381), yellow},
                               {on_canvas(519, 419), yellow},
                               {on_canvas(125, 40), ground}}));
}

// The second change comes within the minute after the first save; nothing happens afterwards,
// yet it reaches the disk once the minute is up.
TEST_F(e2e, a_change_followed_by_nothing_is_saved_within_a_minute) {
    ASSERT_TRUE(start());
    ASSERT_TRUE(drag(on_canvas(125, 40), on_canvas(500, 400), yellow));
    ASSERT_TRUE(x.wait_until([&] { return automatic_saves().size() == 1; }, "the first save"));
    ASSERT_TRUE(drag(on_canvas(45, 40), on_canvas(45, 300), red));
    EXPECT_TRUE(x.wait_until([&] { return automatic_saves().size() == 2; },
                             "the second save without another event", std::chrono::seconds(75)));
}

}  // namespace
}  // namespace quill::e2e
