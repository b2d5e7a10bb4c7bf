#include <gtest/gtest.h>

#include "content/level_loading.h"
#include "platform/files.h"
#include "savegame/party_file_image.h"
#include "savegame/party_fixture.h"
#include "savegame/party_setup_file.h"

namespace quill {
namespace {

using testing::file_contents;
using testing::party_file_image;
using testing::put_file;
using testing::saved_game;

struct old_party_setup : testing::party_fixture {
    // Four tokens carrying links the old format cannot fulfil, one tombstone, two labels.
    std::string old_file(const std::string& level_path) const {
        party_file_image image;
        image.path(to_utf16(level_path)).i32(4).i32(1).u8(60);
        for (int i = 0; i < 4; ++i) {
            image.record(i, {static_cast<uint8_t>(i + 1), 0, 0, 0, 0, 0}, 200 + 50 * i, 300, 0);
        }
        image.record(1, {}, 420, 430, 7);
        image.empty_labels(7).label(u"Ruhe sanft").empty_labels(248);
        return image.bytes;
    }
};

TEST_F(old_party_setup, four_saved_tokens_on_a_level_of_five) {
    load_level(state, system, {});
    const saved_game fresh(state);
    put_file(content.path("alt.gls"), old_file(content.path("KTV.gxml")));
    load_from(content.path("alt.gls"));

    EXPECT_TRUE(system.messages.empty());
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(state.tokens[i].x, 200 + 50 * i);
        EXPECT_EQ(state.tokens[i].y, 300);
    }
    EXPECT_EQ(state.tokens[4], fresh.tokens[4]);
    EXPECT_EQ(std::vector(state.token_trails.begin(), state.token_trails.end()), fresh.trails);
    ASSERT_EQ(state.graves.size(), 1);
    EXPECT_EQ(state.graves[0].x, 420);
    EXPECT_EQ(state.graves[0].label, 7);
    EXPECT_EQ(state.labels[7], "Ruhe sanft");
    EXPECT_EQ(state.graves.current_position(), -1);
    EXPECT_EQ(state.level.zoom, 60);
    EXPECT_FALSE(state.state_modified);
}

TEST_F(old_party_setup, there_are_no_transports_and_no_token_carries_one) {
    play_a_game();
    put_file(content.path("alt.gls"), old_file(content.path("KTV.gxml")));
    load_from(content.path("alt.gls"));
    EXPECT_TRUE(state.transports.empty());
    for (const map_item& token : state.tokens) {
        EXPECT_EQ(token.links, (std::array<uint8_t, 6>{}));
    }
    EXPECT_TRUE(testing::holds_invariants(state));
}

TEST_F(old_party_setup, the_level_path_is_used_as_stored) {
    play_a_game();
    const saved_game before(state);
    put_file(content.path("alt.gls"), old_file("/alter/ort/KTV.gxml"));
    load_from(content.path("alt.gls"));
    ASSERT_EQ(system.messages.size(), 1u);
    EXPECT_EQ(system.messages[0].text,
              "Die Leveldatei '/alter/ort/KTV.gxml' kann nicht gefunden werden.");
    EXPECT_EQ(system.messages[0].icon, message_icon::error);
    EXPECT_EQ(saved_game(state), before);

    put_file(content.path("leer.gls"), "");
    load_from(content.path("leer.gls"));
    EXPECT_EQ(system.messages.back().text, "Die Leveldatei '' kann nicht gefunden werden.");
    EXPECT_EQ(saved_game(state), before);
}

TEST_F(old_party_setup, saving_afterwards_writes_the_current_format) {
    put_file(content.path("alt.gls"), old_file(content.path("KTV.gxml")));
    load_from(content.path("alt.gls"));
    const saved_game loaded(state);
    save_as(content.path("neu"));
    EXPECT_EQ(file_contents(content.path("neu.qms"))[0], 1);

    load_level(state, system, {});
    load_from(content.path("neu.qms"));
    EXPECT_EQ(saved_game(state), loaded);
    EXPECT_TRUE(state.transports.empty());
}

}  // namespace
}  // namespace quill
