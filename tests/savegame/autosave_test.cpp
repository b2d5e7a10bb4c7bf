#include <sys/wait.h>
#include <unistd.h>

#include <QTemporaryDir>

#include <functional>

#include "content/level_loading.h"
#include "platform/files.h"
#include "savegame/autosave.h"
#include "savegame/party_fixture.h"
#include "savegame/party_setup_file.h"

namespace quill {
namespace {

using names = std::vector<std::string>;
using testing::file_contents;
using testing::put_file;
using testing::saved_game;

constexpr const char* recovery_question =
    "Quillmark wurde nicht ordnungsgemäß beendet. Soll der automatisch gesicherte Spielstand vom "
    "07.12.2026, 11:30 Uhr geladen werden?";

struct autosave : testing::party_fixture {
    QTemporaryDir data;
    std::string folder = data.path().toStdString() + "/autosave/";

    autosave() { system.set_data_dir(data.path().toStdString() + "/"); }

    void at(int64_t ms, int hour, int minute, int second) {
        system.set_clock(ms);
        system.set_now({{7, 12, 2026}, hour, minute, second});
    }
    std::vector<std::string> runs() { return list_folders(folder).value_or(names{}); }
    // Runs steps with a keeper of its own in a child process that then ends without cleaning
    // up, as in a crash.
    void crash_after(const std::function<void(autosave_keeper&)>& steps) {
        const pid_t child = fork();
        if (child == 0) {
            autosave_keeper keeper(system);
            steps(keeper);
            _exit(0);
        }
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    // The newest save of the only run.
    std::string newest_save() {
        const names all = saves(runs().at(0));
        return folder + runs().at(0) + "/" + all.back();
    }
    std::vector<std::string> saves(const std::string& run) {
        return list_directory(folder + run, "*.qms").value_or(names{});
    }
    // A run that took its lock and saved, then ended without removing the lock, as in a crash.
    void crashed_run(const std::string& run, const std::string& save_name) {
        ASSERT_TRUE(make_directory(folder + run));
        ASSERT_TRUE(write_party_file(state, folder + run + "/" + save_name));
        const pid_t child = fork();
        if (child == 0) {
            program_lock lock;
            _exit(lock.acquire(folder + run + ".lock") ? 0 : 1);
        }
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_EQ(WEXITSTATUS(status), 0);
        ASSERT_GE(file_size(folder + run + ".lock"), 0);
    }
};

TEST_F(autosave, unsaved_changes_are_written_at_most_once_a_minute_and_the_newest_ten_kept) {
    at(0, 12, 0, 0);
    autosave_keeper keeper(system);
    keeper.save_if_due(state, system);
    ASSERT_EQ(runs().size(), 0u);  // nothing to keep yet

    state.state_modified = true;
    state.party_dir = "/spiele/";
    keeper.save_if_due(state, system);
    ASSERT_EQ(runs().size(), 1u);
    const std::string run = runs()[0];
    EXPECT_EQ(saves(run), std::vector<std::string>{"autosave-000001-20261207-120000.qms"});
    at(59'999, 12, 0, 59);
    keeper.save_if_due(state, system);
    EXPECT_EQ(saves(run).size(), 1u);
    for (int minute = 1; minute <= 12; ++minute) {
        at(minute * 60'000, 12, minute, 0);
        state.level.zoom = 30 + minute;
        keeper.save_if_due(state, system);
    }
    // A game as it was last saved is not written again.
    at(14 * 60'000, 12, 14, 0);
    keeper.save_if_due(state, system);
    const std::vector<std::string> kept = saves(run);
    ASSERT_EQ(kept.size(), 10u);
    EXPECT_EQ(kept.front(), "autosave-000004-20261207-120300.qms");
    EXPECT_EQ(kept.back(), "autosave-000013-20261207-121200.qms");
    EXPECT_TRUE(state.state_modified);
    EXPECT_EQ(state.party_dir, "/spiele/");
    EXPECT_TRUE(system.messages.empty());
}

TEST_F(autosave, the_bytes_are_those_that_spiel_speichern_would_write) {
    play_a_game();
    state.state_modified = true;
    at(0, 12, 0, 0);
    autosave_keeper keeper(system);
    keeper.save_unsaved(state, system);
    save_as(content.path("spiel.qms"));
    ASSERT_EQ(runs().size(), 1u);
    EXPECT_EQ(file_contents(folder + runs()[0] + "/autosave-000001-20261207-120000.qms"),
              file_contents(content.path("spiel.qms")));
}

TEST_F(autosave, a_failed_write_shows_nothing_and_is_tried_again_a_minute_later) {
    at(0, 12, 0, 0);
    autosave_keeper keeper(system);
    const std::string run = list_directory(folder, "*.lock").value().at(0);
    const std::string run_folder = folder + run.substr(0, run.size() - 5);
    put_file(run_folder, "a file where the run's folder belongs");
    state.state_modified = true;
    keeper.save_if_due(state, system);
    EXPECT_TRUE(system.messages.empty());
    ASSERT_TRUE(remove_path(run_folder));
    at(30'000, 12, 0, 30);
    keeper.save_if_due(state, system);
    EXPECT_EQ(file_size(run_folder), -1);
    at(60'000, 12, 1, 0);
    keeper.save_if_due(state, system);
    EXPECT_EQ(list_directory(run_folder, "*.qms").value_or(names{}).size(), 1u);
}

// After a crash the newest save of that run is offered once; Yes loads it as "Spiel laden" would
// and leaves the game unsaved, No starts as usual.
TEST_F(autosave, a_run_that_left_its_lock_is_offered_once_at_the_next_start) {
    play_a_game();
    const saved_game played(state);
    for (const bool yes : {true, false}) {
        SCOPED_TRACE(yes);
        crashed_run("run-000001-20261207-110000", "autosave-000001-20261207-112900.qms");
        ASSERT_TRUE(write_party_file(
            state, folder + "run-000001-20261207-110000/autosave-000002-20261207-113000.qms"));
        system.messages.clear();
        system.queue_message_answer(yes);
        const std::string party_dir = "/spiele/";
        load_level(state, system, {});
        state.party_dir = party_dir;

        autosave_keeper keeper(system);
        keeper.offer_recovery(state, system);
        ASSERT_EQ(system.messages.size(), 1u);
        EXPECT_EQ(system.messages[0].text, recovery_question);
        EXPECT_EQ(system.messages[0].buttons, message_buttons::yes_no);
        EXPECT_EQ(file_size(folder + "run-000001-20261207-110000.lock"), -1);
        EXPECT_EQ(saved_game(state) == played, yes);
        EXPECT_EQ(state.state_modified, yes);
        EXPECT_EQ(state.party_dir, party_dir);
        keeper.end_run();

        autosave_keeper next(system);
        next.offer_recovery(state, system);
        EXPECT_EQ(system.messages.size(), 1u);
        next.end_run();
    }
}

// A normal end removes the lock; a second program running at the same time keeps a lock and
// saves of its own, and neither is taken for a crash.
TEST_F(autosave, normal_ends_and_programs_running_side_by_side_lead_to_no_question) {
    at(0, 12, 0, 0);
    state.state_modified = true;
    {
        autosave_keeper ended(system);
        ended.save_unsaved(state, system);
        ended.end_run();
    }
    autosave_keeper first(system);
    autosave_keeper second(system);
    first.offer_recovery(state, system);
    second.offer_recovery(state, system);
    EXPECT_TRUE(system.messages.empty());
    first.save_unsaved(state, system);
    second.save_unsaved(state, system);
    EXPECT_EQ(list_directory(folder, "*.lock").value_or(names{}).size(), 2u);
    const std::vector<std::string> folders = runs();
    ASSERT_EQ(folders.size(), 3u);
    for (const std::string& run : folders) {
        EXPECT_EQ(saves(run).size(), 1u) << run;
    }
    first.end_run();
    second.end_run();
    EXPECT_EQ(list_directory(folder, "*.lock").value_or(names{}).size(), 0u);
}

// Steps of a crashed run, a minute apart: s, a change saved automatically; h, the game saved by
// hand; c, a change not saved yet. The newest save may then be damaged.
enum class damage { none, unreadable, cut };
struct recovery_case {
    const char* steps;
    damage newest = damage::none;
    bool clock_set_back = false;
    // The step whose save is offered, counted from 1; 0: nothing is offered.
    int offered = 0;
};

// The crashed run's newest save is offered, unless the game was saved by hand after it (a save
// from before that would bring back an older game), or an older one when it cannot be read;
// a damaged save is offered with a word on it.
TEST_F(autosave, recovery_offers_the_newest_readable_save_after_the_last_save_by_hand) {
    play_a_game();
    const recovery_case cases[] = {
        {"s", damage::none, false, 1},       {"ss", damage::none, true, 2},
        {"sh", damage::none, false, 0},      {"shs", damage::none, false, 3},
        {"shc", damage::none, false, 0},     {"ss", damage::unreadable, false, 1},
        {"ss", damage::cut, false, 2},       {"shs", damage::unreadable, false, 0},
        {"s", damage::unreadable, false, 0},
    };
    for (const recovery_case& test : cases) {
        SCOPED_TRACE(std::string(test.steps) + (test.clock_set_back ? ", clock set back" : "") +
                     ", damage " + std::to_string(static_cast<int>(test.newest)));
        QTemporaryDir own_data;
        system.set_data_dir(own_data.path().toStdString() + "/");
        folder = own_data.path().toStdString() + "/autosave/";
        crash_after([&](autosave_keeper& keeper) {
            for (int step = 1; test.steps[step - 1] != '\0'; ++step) {
                at(step * 60'000, 12, test.clock_set_back ? 50 - step : step, 0);
                state.level.zoom = 30 + step;
                state.state_modified = test.steps[step - 1] != 'h';
                if (test.steps[step - 1] != 'c') {
                    keeper.save_if_due(state, system);
                }
            }
        });
        if (test.newest == damage::unreadable) {
            put_file(newest_save(), "\x02");
        } else if (test.newest == damage::cut) {
            const std::string bytes = file_contents(newest_save());
            put_file(newest_save(), bytes.substr(0, bytes.size() - 5));
        }
        system.messages.clear();
        system.queue_message_answer(false);
        autosave_keeper next(system);
        next.offer_recovery(state, system);
        if (test.offered == 0) {
            EXPECT_TRUE(system.messages.empty());
            continue;
        }
        const int minute = test.clock_set_back ? 50 - test.offered : test.offered;
        std::string question =
            "Quillmark wurde nicht ordnungsgemäß beendet. Soll der automatisch gesicherte "
            "Spielstand vom 07.12.2026, 12:" +
            std::string(minute < 10 ? "0" : "") + std::to_string(minute) + " Uhr geladen werden?";
        if (test.newest == damage::cut) {
            question += " Diese Sicherung ist beschädigt und lässt sich nur teilweise laden.";
        }
        ASSERT_EQ(system.messages.size(), 1u);
        EXPECT_EQ(system.messages[0].text, question);
    }
}

// A drag may have taken a transport out of its convoy for the time being: what is written is
// the game once the item is let go.
TEST_F(autosave, nothing_is_written_while_a_drag_is_under_way) {
    at(0, 12, 0, 0);
    autosave_keeper keeper(system);
    state.state_modified = true;
    state.drag_mode = drag_kind::drag_transport;
    EXPECT_EQ(keeper.next_due(state), std::nullopt);
    keeper.save_if_due(state, system);
    EXPECT_TRUE(runs().empty());
    state.drag_mode = drag_kind::drag_none;
    keeper.save_if_due(state, system);
    ASSERT_EQ(runs().size(), 1u);
    EXPECT_EQ(saves(runs()[0]).size(), 1u);
}

// A full disk or a folder that cannot be written at start leaves the run without its lock and
// its saves only until the next due save finds room.
TEST_F(autosave, without_its_folder_at_start_a_run_tries_again_with_each_due_save) {
    const std::string blocked = folder.substr(0, folder.size() - 1);
    put_file(blocked, "a file where the folder belongs");
    at(0, 12, 0, 0);
    autosave_keeper keeper(system);
    state.state_modified = true;
    keeper.save_if_due(state, system);
    EXPECT_EQ(keeper.next_due(state), 60'000);
    ASSERT_TRUE(remove_path(blocked));
    at(30'000, 12, 0, 30);
    keeper.save_if_due(state, system);
    EXPECT_EQ(file_size(blocked), -1);
    at(60'000, 12, 1, 0);
    keeper.save_if_due(state, system);
    EXPECT_EQ(list_directory(folder, "*.lock").value_or(names{}).size(), 1u);
    ASSERT_EQ(runs().size(), 1u);
    EXPECT_EQ(saves(runs()[0]).size(), 1u);
    keeper.end_run();
}

// Runs count by their numbers, not by the clock, which may have been set back meanwhile; a
// folder named before runs were numbered counts as the oldest.
TEST_F(autosave, only_the_newest_ten_ended_runs_keep_their_folders) {
    ASSERT_TRUE(make_directory(folder + "20261130-120000-1"));
    for (int n = 1; n <= 12; ++n) {
        const std::string number = (n < 10 ? "0" : "") + std::to_string(n);
        const std::string day = std::to_string(25 - n);
        ASSERT_TRUE(make_directory(folder + "run-0000" + number + "-202611" + day + "-120000"));
    }
    autosave_keeper keeper(system);
    keeper.offer_recovery(state, system);
    const names folders = runs();
    ASSERT_EQ(folders.size(), 10u);
    EXPECT_EQ(folders.front(), "run-000003-20261122-120000");
    EXPECT_EQ(folders.back(), "run-000012-20261113-120000");
}

}  // namespace
}  // namespace quill
