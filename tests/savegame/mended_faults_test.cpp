#include <gtest/gtest.h>
#include <sys/resource.h>

#include <QDir>
#include <QFileInfo>

#include <csignal>

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

const std::u16string marker = u"\\\\PROGDIR\\\\";

using mended_faults = testing::party_fixture;

TEST_F(mended_faults, loading_never_creates_or_changes_a_file) {
    play_a_game();
    const saved_game before(state);
    load_from(content.path("gibtsnicht.qms"));
    load_from(content.path("gibtsnicht.gls"));
    load_from(content.path("pics"));
    ASSERT_EQ(system.messages.size(), 3u);
    for (const auto& message : system.messages) {
        EXPECT_EQ(message.text, "Die Datei konnte nicht geöffnet werden.");
        EXPECT_EQ(message.icon, message_icon::error);
    }
    EXPECT_LT(file_size(content.path("gibtsnicht.qms")), 0);
    EXPECT_LT(file_size(content.path("gibtsnicht.gls")), 0);
    EXPECT_EQ(saved_game(state), before);

    save_as(content.path("spiel"));
    const std::string bytes = file_contents(content.path("spiel.qms"));
    const QDateTime written =
        QFileInfo(QString::fromStdString(content.path("spiel.qms"))).lastModified();
    load_from(content.path("spiel.qms"));
    EXPECT_EQ(file_contents(content.path("spiel.qms")), bytes);
    EXPECT_EQ(QFileInfo(QString::fromStdString(content.path("spiel.qms"))).lastModified(), written);
}

TEST_F(mended_faults, a_text_is_read_for_its_stored_length_and_cut_at_a_line_end) {
    party_file_image image;
    image.u8(1)
        .path(marker + u"KTV.gxml" + std::u16string(1, u'\0') + u"Rest")
        .i32(0)
        .i32(3)
        .i32(0)
        .u8(90);
    image.record(0, {}, 1, 1, 1).record(0, {}, 2, 2, 2).record(0, {}, 3, 3, 3);
    image.empty_labels(1)
        .label(u"ab" + std::u16string(1, u'\0') + u"cd")
        .label(u"x\ry")
        .label(u"z\nw")
        .label(u"vier")
        .empty_labels(251);
    put_file(content.path("steuer.qms"), image.bytes);

    load_from(content.path("steuer.qms"));
    EXPECT_TRUE(system.messages.empty());
    EXPECT_EQ(state.level.level_file, content.path("KTV.gxml"));
    EXPECT_EQ(state.level.zoom, 90);
    EXPECT_EQ(state.labels[1], "ab");
    EXPECT_EQ(state.labels[2], "x");
    EXPECT_EQ(state.labels[3], "z");
    EXPECT_EQ(state.labels[4], "vier");
    EXPECT_EQ(state.labels[5], "");
    EXPECT_EQ(state.graves[2].label, 3);
}

TEST_F(mended_faults, counts_never_reach_beyond_the_file) {
    struct count_case {
        int32_t tokens;
        int32_t graves;
        int32_t transports;
        int expected_graves;
        int expected_transports;
    };
    const count_case cases[] = {
        {2'000'000'000, 2'000'000'000, 2'000'000'000, 0, 0},
        {0, 2'000'000'000, 0, 3, 0},
        {0, 1, 2'000'000'000, 1, 2},
        {-1, -5, -2'000'000'000, 0, 0},
    };
    for (const count_case& c : cases) {
        party_file_image image;
        image.u8(1)
            .path(marker + u"KTV.gxml")
            .i32(c.tokens)
            .i32(c.graves)
            .i32(c.transports)
            .u8(100);
        image.record(0, {}, 1, 1, 0).record(0, {}, 2, 2, 0).record(0, {}, 3, 3, 0);
        image.u8(0);  // a record cut off by the end of the file
        put_file(content.path("viel.qms"), image.bytes);
        load_from(content.path("viel.qms"));
        EXPECT_EQ(state.graves.size(), c.expected_graves) << c.graves;
        EXPECT_EQ(state.transports.size(), c.expected_transports) << c.transports;
        EXPECT_TRUE(testing::holds_invariants(state));
    }

    // Negative counts read nothing, so the labels behind them are found.
    party_file_image negative;
    negative.u8(1)
        .path(marker + u"KTV.gxml")
        .i32(-1)
        .i32(-7)
        .i32(-1)
        .u8(100)
        .label(u"null")
        .label(u"eins");
    put_file(content.path("negativ.qms"), negative.bytes);
    load_from(content.path("negativ.qms"));
    EXPECT_EQ(state.labels[0], "null");
    EXPECT_EQ(state.labels[1], "eins");
    EXPECT_TRUE(system.messages.empty());
}

struct failed_saves : mended_faults {
    void expect_refused(const std::string& path) {
        system.messages.clear();
        state.state_modified = true;
        EXPECT_FALSE(write_party_setup(state, system, path)) << path;
        ASSERT_EQ(system.messages.size(), 1u) << path;
        EXPECT_EQ(system.messages[0].text, "Die Datei konnte nicht erstellt werden.");
        EXPECT_EQ(system.messages[0].title, "Quillmark");
        EXPECT_EQ(system.messages[0].icon, message_icon::error);
        EXPECT_TRUE(state.state_modified);
    }
};

TEST_F(failed_saves, a_file_that_cannot_be_created_is_reported) {
    expect_refused(content.path("fehlt/spiel.qms"));
    EXPECT_LT(file_size(content.path("fehlt/spiel.qms")), 0);

    QDir(QString::fromStdString(content.program_dir())).mkdir("ordner.qms");
    expect_refused(content.path("ordner.qms"));
    EXPECT_TRUE(QFileInfo(QString::fromStdString(content.path("ordner.qms"))).isDir());

    system.messages.clear();
    state.state_modified = true;
    save_as(content.path("fehlt/spiel"));
    EXPECT_EQ(system.messages.size(), 1u);
    EXPECT_TRUE(state.state_modified);
    EXPECT_EQ(state.party_dir, content.path("fehlt/"));
}

TEST_F(failed_saves, a_write_that_fails_midway_keeps_the_old_file) {
    put_file(content.path("alt.qms"), "bisheriger Inhalt");
    play_a_game();

    // A file size limit makes the writing fail after the first bytes, whoever runs the test.
    rlimit previous{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &previous), 0);
    const auto previous_handler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = previous;
    limited.rlim_cur = 100;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    expect_refused(content.path("alt.qms"));
    setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previous_handler);

    EXPECT_EQ(file_contents(content.path("alt.qms")), "bisheriger Inhalt");
    EXPECT_TRUE(write_party_setup(state, system, content.path("alt.qms")));
    EXPECT_FALSE(state.state_modified);
}

TEST_F(mended_faults, overlong_labels_are_cut_to_what_their_length_can_count) {
    state.labels.set(1, std::string(40000, 'a'));
    state.labels.set(2,
                     std::string(32766, 'b') + "\xF0\x9F\x90\x89");  // a surrogate pair at the cut
    state.labels.set(3, "danach");
    map_item grave;
    grave.label = 1;
    state.graves.add(grave);
    ASSERT_TRUE(write_party_setup(state, system, content.path("lang.qms")));
    load_from(content.path("lang.qms"));
    EXPECT_EQ(state.labels[1], std::string(32767, 'a'));
    EXPECT_EQ(state.labels[2], std::string(32766, 'b'));
    EXPECT_EQ(state.labels[3], "danach");
    EXPECT_EQ(state.graves[0].label, 1);
}

TEST_F(mended_faults, a_level_that_was_never_read_is_saved_as_an_empty_path) {
    state.level.level_file.clear();
    ASSERT_TRUE(write_party_setup(state, system, content.path("ohne.qms")));
    const std::string bytes = file_contents(content.path("ohne.qms"));
    EXPECT_EQ(bytes.substr(0, 18),
              party_file_image().u8(1).i32(0).i32(5).i32(0).i32(0).u8(100).bytes);

    load_from(content.path("ohne.qms"));
    EXPECT_EQ(last_message(), "Die Leveldatei '' kann nicht gefunden werden.");
}

}  // namespace
}  // namespace quill
