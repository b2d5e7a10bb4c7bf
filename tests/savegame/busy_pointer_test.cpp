#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/program.h"
#include "content/ui_numbers.h"
#include "savegame/party_file_image.h"
#include "savegame/party_fixture.h"

namespace quill {
namespace {

using testing::party_file_image;
using testing::put_file;

using busy_pointer = testing::party_fixture;

// Every level or game load shows the busy pointer and ends it whatever the outcome; a message
// of a load appears inside its busy period, where the backends give the normal pointer.
TEST_F(busy_pointer, every_load_shows_it_and_every_outcome_ends_it) {
    EXPECT_GE(system.busy_periods, 1);  // the level load of the start
    EXPECT_EQ(system.busy_depth, 0);
    save_as(content.path("gut.qms"));
    put_file(content.path("alt.gls"),
             party_file_image{}.path(u"/nirgends/KTV.gxml").i32(0).i32(0).u8(60).bytes);
    put_file(content.path("leer.qms"), "");

    struct load_case {
        std::string name;
        std::function<void()> load;
        bool shows_busy;
        bool tells_user;
    };
    const std::vector<load_case> cases = {
        {"saved game", [&] { load_from(content.path("gut.qms")); }, true, false},
        {"old game naming a missing level", [&] { load_from(content.path("alt.gls")); }, true,
         true},
        {"empty game file", [&] { load_from(content.path("leer.qms")); }, true, true},
        {"missing game file", [&] { load_from(content.path("fehlt.qms")); }, true, true},
        {"cancelled dialog", [&] { load_from(""); }, false, false},
        {"new game", [&] { dispatch_command(state, system, ui::new_game); }, true, false},
        {"level file with an XML error",
         [&] {
             content.write_text("KTV.gxml", "<level><name>Kaputt</nam></level>");
             dispatch_command(state, system, ui::new_game);
         },
         true, true},
    };
    for (const load_case& c : cases) {
        SCOPED_TRACE(c.name);
        const int periods = system.busy_periods;
        const size_t messages = system.messages.size();
        c.load();
        EXPECT_EQ(system.busy_periods > periods, c.shows_busy);
        EXPECT_EQ(system.busy_depth, 0);
        EXPECT_EQ(system.messages.size() > messages, c.tells_user);
        for (size_t i = messages; i < system.messages.size(); ++i) {
            EXPECT_TRUE(system.messages[i].while_busy) << system.messages[i].text;
        }
    }
}

}  // namespace
}  // namespace quill
