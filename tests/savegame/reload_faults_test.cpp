#include <gtest/gtest.h>

#include "platform/files.h"
#include "savegame/party_file_image.h"
#include "savegame/party_fixture.h"
#include "savegame/party_setup_file.h"
#include "state/game_rules.h"
#include "view/convoy_linking.h"

namespace quill {
namespace {

using testing::file_contents;
using testing::party_file_image;
using testing::put_file;
using testing::saved_game;

const std::u16string marker = u"\\\\PROGDIR\\\\";
constexpr int32_t limit = coordinate_limit;

// Faults the fuzz targets found: a game must load back as it was saved, and a file the
// program wrote must come out of a load and a save byte for byte.
using reload_faults = testing::party_fixture;

TEST_F(reload_faults, a_record_cut_short_leaves_nothing_for_the_labels) {
    // Behind the whole first record, the cut second one's bytes would read as label slot 0
    // empty and slot 1 "ab".
    const std::string leftover = party_file_image().i16(0).label(u"ab").bytes;
    const auto header = [](int32_t tokens, int32_t graves, int32_t transports) {
        party_file_image image;
        image.u8(1).path(marker + u"KTV.gxml").i32(tokens).i32(graves).i32(transports).u8(100);
        return image;
    };
    party_file_image old;
    old.path(to_utf16(content.path("KTV.gxml"))).i32(0).i32(2).u8(100);

    struct cut_case {
        const char* name;
        const char* file;
        std::string bytes;
        int graves;
        int transports;
    };
    const cut_case cases[] = {
        {"tombstone", "grab.qms", header(0, 2, 0).record(0, {}, 10, 10, 0).bytes + leftover, 1, 0},
        {"transport", "wagen.qms", header(0, 0, 2).record(0, {}, 10, 10, 0).bytes + leftover, 0, 1},
        {"token", "held.qms",
         header(2, 0, 0).record(0, {}, 10, 10, 0).trail(30, 30, 5).bytes + leftover, 0, 0},
        {"old tombstone", "grab.gls", old.record(0, {}, 10, 10, 0).bytes + leftover, 1, 0},
    };
    for (const cut_case& c : cases) {
        SCOPED_TRACE(c.name);
        put_file(content.path(c.file), c.bytes);
        load_from(content.path(c.file));
        EXPECT_EQ(last_message(), "");
        EXPECT_EQ(state.graves.size(), c.graves);
        EXPECT_EQ(state.transports.size(), c.transports);
        EXPECT_EQ(state.labels[1], "");
    }
}

TEST_F(reload_faults, a_convoy_at_the_coordinate_limit_loads_back_where_it_was) {
    // Trails at the limit's corners: the token's centre lies half a token inside them, so its
    // transports would be placed half a tile beyond.
    party_file_image image;
    image.u8(1).path(marker + u"KTV.gxml").i32(2).i32(0).i32(2).u8(100);
    image.record(0, {}, -limit, -limit, 0).trail(-limit, -limit, 0);
    image.record(1, {}, limit, limit, 0).trail(limit, limit, 0);
    image.record(0, {}, 100, 100, 0).record(1, {}, 200, 100, 0);
    image.empty_labels(256);
    put_file(content.path("rand.qms"), image.bytes);
    load_from(content.path("rand.qms"));
    ASSERT_EQ(last_message(), "");

    for (int t = 0; t < 2; ++t) {
        state.transports.select(t);
        attach_transport(state, system, t);
    }
    EXPECT_TRUE(testing::holds_invariants(state));
    const saved_game attached(state);
    save_as(content.path("rand2.qms"));
    load_from(content.path("rand2.qms"));
    EXPECT_TRUE(saved_game(state) == attached);
}

TEST_F(reload_faults, lone_surrogates_in_labels_are_saved_again_as_they_were) {
    party_file_image image;
    image.u8(1).path(marker + u"KTV.gxml").i32(5).i32(0).i32(0).u8(100);
    for (int t = 0; t < 5; ++t) {
        image.record(t, {}, 25 + 40 * t, 20, 0).trail(45 + 40 * t, 40, 10);
    }
    const char16_t high = 0xD83D;
    const char16_t low = 0xDC09;
    image.empty_labels(1)
        .label(std::u16string(u"a") + high)
        .label(std::u16string(1, low) + u"b")
        .label(std::u16string{low, high})
        .label(std::u16string{high, high, low})
        .label(std::u16string{high, low})
        .empty_labels(250);
    put_file(content.path("halb.qms"), image.bytes);
    load_from(content.path("halb.qms"));
    ASSERT_EQ(last_message(), "");
    EXPECT_EQ(to_utf16(state.labels[3]), (std::u16string{low, high}));
    save_as(content.path("halb2.qms"));
    EXPECT_TRUE(file_contents(content.path("halb2.qms")) == image.bytes);
}

}  // namespace
}  // namespace quill
