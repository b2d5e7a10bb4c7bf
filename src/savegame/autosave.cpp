#include "savegame/autosave.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "savegame/party_setup_file.h"

namespace quill {

namespace {

constexpr const char* lock_suffix = ".lock";
constexpr const char* save_prefix = "autosave-";
// Folders of ended runs kept besides the running ones, the newest first.
constexpr int ended_runs_kept = 10;

std::string two_digits(int value) {
    char text[8];
    std::snprintf(text, sizeof text, "%02d", value % 100);
    return text;
}

// YYYYMMDD-HHMMSS: names written this way sort by time.
std::string time_stamp(const local_date_time& time) {
    return std::to_string(time.date.year) + two_digits(time.date.month) +
           two_digits(time.date.day) + "-" + two_digits(time.hour) + two_digits(time.minute) +
           two_digits(time.second);
}

std::vector<std::string> saves_in(const std::string& run_folder) {
    return list_directory(run_folder, std::string(save_prefix) + "*.qms")
        .value_or(std::vector<std::string>{});
}

std::string without_suffix(const std::string& name, const std::string& suffix) {
    return name.substr(0, name.size() - suffix.size());
}

// "DD.MM.YYYY, HH:MM" from a save's name autosave-YYYYMMDD-HHMMSS.qms.
std::string shown_time(const std::string& save_name) {
    const std::string stamp = save_name.substr(std::string(save_prefix).size(), 15);
    if (stamp.size() < 15) {
        return {};
    }
    return stamp.substr(6, 2) + "." + stamp.substr(4, 2) + "." + stamp.substr(0, 4) + ", " +
           stamp.substr(9, 2) + ":" + stamp.substr(11, 2);
}

}  // namespace

autosave_keeper::autosave_keeper(platform& system) {
    const std::string data = system.data_dir();
    if (data.empty() || !make_directory(data + "autosave")) {
        return;
    }
    // A name that no run, running or ended, has had; runs started in one second count on.
    const std::string folder = data + "autosave/";
    const std::string stamp = time_stamp(system.now());
    for (int n = 1; n <= 100; ++n) {
        const std::string run = stamp + "-" + std::to_string(n);
        if (!path_exists(folder + run + lock_suffix) && !path_exists(folder + run) &&
            lock_.acquire(folder + run + lock_suffix)) {
            folder_ = folder;
            run_folder_ = folder + run + "/";
            return;
        }
    }
}

void autosave_keeper::offer_recovery(game_state& state, platform& system) {
    if (folder_.empty()) {
        return;
    }
    // Every lock that outlived its program is a crash; the newest crash's newest save is offered.
    std::string crashed_save;
    for (const std::string& lock : list_directory(folder_, std::string("*") + lock_suffix)
                                       .value_or(std::vector<std::string>{})) {
        if (!clear_stale_lock(folder_ + lock)) {
            continue;
        }
        const std::string run_folder = folder_ + without_suffix(lock, lock_suffix) + "/";
        const std::vector<std::string> saves = saves_in(run_folder);
        if (!saves.empty()) {
            crashed_save = run_folder + saves.back();
        }
    }
    remove_old_runs(crashed_save);
    if (crashed_save.empty()) {
        return;
    }
    const std::string name = crashed_save.substr(crashed_save.find_last_of('/') + 1);
    const bool load = system.message_box(
        "Quillmark",
        "Quillmark wurde nicht ordnungsgemäß beendet. Soll der automatisch gesicherte Spielstand "
        "vom " +
            shown_time(name) + " Uhr geladen werden?",
        message_buttons::yes_no, message_icon::none);
    if (!load) {
        return;
    }
    const busy_scope busy(system);
    if (read_party_setup(state, system, crashed_save)) {
        state.state_modified = true;
    }
}

// The folders of runs that ended, beyond the newest few, go; a running program's folder and the
// one whose save is offered stay.
void autosave_keeper::remove_old_runs(const std::string& offered_save) const {
    std::vector<std::string> ended;
    for (const std::string& run : list_folders(folder_).value_or(std::vector<std::string>{})) {
        const std::string run_folder = folder_ + run + "/";
        if (!path_exists(folder_ + run + lock_suffix) && run_folder != run_folder_ &&
            offered_save.rfind(run_folder, 0) != 0) {
            ended.push_back(run_folder);
        }
    }
    for (std::size_t i = 0; i + ended_runs_kept < ended.size(); ++i) {
        remove_path(ended[i]);
    }
}

void autosave_keeper::save_if_due(game_state& state, platform& system) {
    if (!state.state_modified) {
        return;
    }
    const int64_t now = system.milliseconds();
    if (last_save_ms_ && now - *last_save_ms_ < autosave_interval_ms) {
        return;
    }
    last_save_ms_ = now;
    save(state, system);
}

void autosave_keeper::save_unsaved(game_state& state, platform& system) {
    if (state.state_modified) {
        last_save_ms_ = system.milliseconds();
        save(state, system);
    }
}

void autosave_keeper::end_run() {
    lock_.release();
}

void autosave_keeper::save(const game_state& state, platform& system) {
    if (folder_.empty() || !make_directory(run_folder_)) {
        return;
    }
    if (!write_party_file(state, run_folder_ + save_prefix + time_stamp(system.now()) + ".qms")) {
        return;
    }
    const std::vector<std::string> saves = saves_in(run_folder_);
    for (std::size_t i = 0; i + autosaves_kept < saves.size(); ++i) {
        remove_path(run_folder_ + saves[i]);
    }
}

}  // namespace quill
