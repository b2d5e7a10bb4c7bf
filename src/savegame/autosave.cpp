#include "savegame/autosave.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "savegame/party_setup_file.h"

namespace quill {

namespace {

constexpr const char* lock_suffix = ".lock";
constexpr const char* run_prefix = "run-";
constexpr const char* save_prefix = "autosave-";
constexpr const char* save_suffix = ".qms";
// An empty file that says: the game was saved by hand (or replaced) after the saves before it.
constexpr const char* mark_prefix = "saved-";
constexpr const char* mark_suffix = ".mark";
// Folders of ended runs kept besides the running ones, the newest first.
constexpr int ended_runs_kept = 10;
// Runs started at once each take the next free number; this many are tried.
constexpr int run_numbers_tried = 100;

std::string two_digits(int value) {
    char text[8];
    std::snprintf(text, sizeof text, "%02d", value % 100);
    return text;
}

// YYYYMMDD-HHMMSS.
std::string time_stamp(const local_date_time& time) {
    return std::to_string(time.date.year) + two_digits(time.date.month) +
           two_digits(time.date.day) + "-" + two_digits(time.hour) + two_digits(time.minute) +
           two_digits(time.second);
}

std::string padded(int64_t number) {
    char text[24];
    std::snprintf(text, sizeof text, "%06lld", static_cast<long long>(number));
    return text;
}

bool all_digits(const std::string& text) {
    return !text.empty() && std::ranges::all_of(text, [](char c) { return c >= '0' && c <= '9'; });
}

// A name prefix + N + "-" + YYYYMMDD-HHMMSS + suffix, as this keeper writes them.
struct numbered_name {
    int64_t number = 0;
    std::string stamp;  // YYYYMMDD-HHMMSS
    std::string name;
};

std::optional<numbered_name> parse_name(const std::string& name, const std::string& prefix,
                                        const std::string& suffix) {
    if (name.size() <= prefix.size() + suffix.size() || name.rfind(prefix, 0) != 0 ||
        name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0) {
        return std::nullopt;
    }
    const std::string middle =
        name.substr(prefix.size(), name.size() - prefix.size() - suffix.size());
    const std::string::size_type dash = middle.find('-');
    if (dash == std::string::npos || dash > 12) {
        return std::nullopt;
    }
    const std::string number = middle.substr(0, dash);
    const std::string stamp = middle.substr(dash + 1);
    if (!all_digits(number) || stamp.size() != 15 || stamp[8] != '-' ||
        !all_digits(stamp.substr(0, 8)) || !all_digits(stamp.substr(9))) {
        return std::nullopt;
    }
    return numbered_name{std::stoll(number), stamp, name};
}

// Runs in the order they were started; a name from before numbering counts as the oldest.
struct run_order {
    int64_t number = 0;
    std::string name;
    auto operator<=>(const run_order&) const = default;
};

run_order order_of_run(const std::string& run) {
    const std::optional<numbered_name> parsed = parse_name(run, run_prefix, "");
    return {parsed ? parsed->number : 0, run};
}

std::string without_suffix(const std::string& name, const std::string& suffix) {
    return name.substr(0, name.size() - suffix.size());
}

struct run_entry {
    numbered_name name;
    bool is_save = false;
};

// The saves and marks of a run, oldest first.
std::vector<run_entry> entries_of(const std::string& run_folder) {
    std::vector<run_entry> entries;
    const auto add = [&](const std::string& prefix, const std::string& suffix, bool is_save) {
        for (const std::string& file : list_directory(run_folder, prefix + "*" + suffix)
                                           .value_or(std::vector<std::string>{})) {
            if (const std::optional<numbered_name> parsed = parse_name(file, prefix, suffix)) {
                entries.push_back({*parsed, is_save});
            }
        }
    };
    add(save_prefix, save_suffix, true);
    add(mark_prefix, mark_suffix, false);
    std::ranges::sort(entries, {}, [](const run_entry& entry) { return entry.name.number; });
    return entries;
}

// "DD.MM.YYYY, HH:MM" from YYYYMMDD-HHMMSS.
std::string shown_time(const std::string& stamp) {
    return stamp.substr(6, 2) + "." + stamp.substr(4, 2) + "." + stamp.substr(0, 4) + ", " +
           stamp.substr(9, 2) + ":" + stamp.substr(11, 2);
}

std::string recovery_question(const std::string& stamp, party_file_check check) {
    std::string text =
        "Quillmark wurde nicht ordnungsgemäß beendet. Soll der automatisch gesicherte Spielstand "
        "vom " +
        shown_time(stamp) + " Uhr geladen werden?";
    if (check == party_file_check::repaired) {
        text += " Diese Sicherung ist beschädigt und lässt sich nur teilweise laden.";
    }
    return text;
}

}  // namespace

autosave_keeper::autosave_keeper(platform& system) {
    const std::string data = system.data_dir();
    if (!data.empty()) {
        folder_ = data + "autosave/";
    }
    hold_run(system);
}

bool autosave_keeper::hold_run(platform& system) {
    if (!run_folder_.empty()) {
        return true;
    }
    if (folder_.empty() || !make_directory(folder_)) {
        return false;
    }
    // Numbered after every run there is, running or ended.
    int64_t last = 0;
    std::vector<std::string> runs = list_folders(folder_).value_or(std::vector<std::string>{});
    for (const std::string& lock : list_directory(folder_, std::string("*") + lock_suffix)
                                       .value_or(std::vector<std::string>{})) {
        runs.push_back(without_suffix(lock, lock_suffix));
    }
    for (const std::string& run : runs) {
        last = std::max(last, order_of_run(run).number);
    }
    const std::string stamp = time_stamp(system.now());
    for (int64_t number = last + 1; number <= last + run_numbers_tried; ++number) {
        const std::string run = run_prefix + padded(number) + "-" + stamp;
        if (!path_exists(folder_ + run + lock_suffix) && !path_exists(folder_ + run) &&
            lock_.acquire(folder_ + run + lock_suffix)) {
            run_folder_ = folder_ + run + "/";
            return true;
        }
    }
    return false;
}

void autosave_keeper::offer_recovery(game_state& state, platform& system) {
    if (folder_.empty()) {
        return;
    }
    // Every lock that outlived its program is a crash; the latest crash is the one offered.
    std::optional<run_order> crashed;
    for (const std::string& lock : list_directory(folder_, std::string("*") + lock_suffix)
                                       .value_or(std::vector<std::string>{})) {
        if (clear_stale_lock(folder_ + lock)) {
            const run_order run = order_of_run(without_suffix(lock, lock_suffix));
            crashed = crashed ? std::max(*crashed, run) : run;
        }
    }
    remove_old_runs(crashed ? crashed->name : std::string());
    if (!crashed) {
        return;
    }
    // The newest save that can be read; none older than a save by hand, which holds more.
    const std::string run_folder = folder_ + crashed->name + "/";
    const std::vector<run_entry> entries = entries_of(run_folder);
    for (auto entry = entries.rbegin(); entry != entries.rend() && entry->is_save; ++entry) {
        const std::string path = run_folder + entry->name.name;
        const party_file_check check = check_party_file(path, state.program_dir);
        if (check == party_file_check::unreadable) {
            continue;
        }
        if (!system.message_box("Quillmark", recovery_question(entry->name.stamp, check),
                                message_buttons::yes_no, message_icon::none)) {
            return;
        }
        const busy_scope busy(system);
        if (read_party_setup(state, system, path)) {
            state.state_modified = true;
        }
        return;
    }
}

// The folders of runs that ended, beyond the newest few, go; a running program's folder and the
// one whose save is offered stay.
void autosave_keeper::remove_old_runs(const std::string& kept_run) const {
    std::vector<run_order> ended;
    for (const std::string& run : list_folders(folder_).value_or(std::vector<std::string>{})) {
        if (!path_exists(folder_ + run + lock_suffix) && folder_ + run + "/" != run_folder_ &&
            run != kept_run) {
            ended.push_back(order_of_run(run));
        }
    }
    std::ranges::sort(ended);
    for (std::size_t i = 0; i + ended_runs_kept < ended.size(); ++i) {
        remove_path(folder_ + ended[i].name);
    }
}

std::optional<int64_t> autosave_keeper::next_due(const game_state& state) const {
    return settled_ ? std::nullopt : due_time(state);
}

std::optional<int64_t> autosave_keeper::due_time(const game_state& state) const {
    if (folder_.empty() || state.drag_mode != drag_kind::drag_none) {
        return std::nullopt;
    }
    if (state.state_modified) {
        return last_attempt_ms_ ? *last_attempt_ms_ + autosave_interval_ms : 0;
    }
    if (changes_on_record_) {
        return last_mark_attempt_ms_ ? *last_mark_attempt_ms_ + autosave_interval_ms : 0;
    }
    return std::nullopt;
}

void autosave_keeper::save_if_due(game_state& state, platform& system) {
    const std::optional<int64_t> due = due_time(state);
    const int64_t now = system.milliseconds();
    if (!due) {
        return;
    }
    if (now < *due) {
        // An event came, which may have changed the game: wake when the minute is up.
        settled_ = false;
        return;
    }
    if (state.state_modified) {
        last_attempt_ms_ = now;
        save(state, system);
        return;
    }
    // The game was saved by hand or replaced since the last save, which is no longer worth
    // offering after a crash.
    last_mark_attempt_ms_ = now;
    if (hold_run(system) &&
        write_entry(mark_prefix, mark_suffix, system,
                    [](const std::string& path) { return save_file_atomically(path, {}); })) {
        changes_on_record_ = false;
        // Whatever comes next is newer than the mark, even a game like the last save.
        saved_hash_.reset();
    }
}

void autosave_keeper::save_unsaved(game_state& state, platform& system) {
    if (state.state_modified) {
        last_attempt_ms_ = system.milliseconds();
        save(state, system);
    }
}

void autosave_keeper::end_run() {
    lock_.release();
}

void autosave_keeper::save(const game_state& state, platform& system) {
    const std::string bytes = party_file_bytes(state);
    const std::size_t hash = std::hash<std::string>{}(bytes);
    settled_ = hash == saved_hash_;
    if (settled_ || !hold_run(system)) {
        return;
    }
    if (write_entry(save_prefix, save_suffix, system, [&bytes](const std::string& path) {
            return save_file_atomically(path, bytes);
        })) {
        changes_on_record_ = true;
        saved_hash_ = hash;
        last_mark_attempt_ms_.reset();
    }
}

bool autosave_keeper::write_entry(const std::string& prefix, const std::string& suffix,
                                  platform& system,
                                  const std::function<bool(const std::string&)>& write) {
    if (!make_directory(run_folder_) || !write(run_folder_ + prefix + padded(next_entry_) + "-" +
                                               time_stamp(system.now()) + suffix)) {
        return false;
    }
    ++next_entry_;
    remove_superseded_entries();
    return true;
}

// The newest saves stay, and the marks among them and after them; a mark older than every kept
// save tells nothing any more.
void autosave_keeper::remove_superseded_entries() const {
    const std::vector<run_entry> entries = entries_of(run_folder_);
    const auto saves = std::ranges::count_if(entries, &run_entry::is_save);
    std::ptrdiff_t saves_to_remove = std::max<std::ptrdiff_t>(0, saves - autosaves_kept);
    for (const run_entry& entry : entries) {
        if (entry.is_save && saves_to_remove == 0) {
            break;
        }
        remove_path(run_folder_ + entry.name.name);
        if (entry.is_save) {
            --saves_to_remove;
        }
    }
}

}  // namespace quill
