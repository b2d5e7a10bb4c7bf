#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "platform/files.h"
#include "platform/platform.h"
#include "state/game_state.h"

namespace quill {

// Keeps the game of one run of the program safe from crashes and from a wrong answer at the exit
// question. Each run holds a lock in the folder autosave/ of the user's data folder and writes its
// saves into a folder of its own there, named like its lock, as
// autosave-NNNNNN-YYYYMMDD-HHMMSS.qms: exactly the bytes "Spiel speichern" would write, the newest
// ten kept. Runs and the saves of a run are numbered by counters that only grow, so that a clock
// set back cannot make a new save look old; the time in a name is only shown. A run that ends
// normally removes its lock; a lock that outlives its program marks a crash, and the next run
// offers that run's newest save, unless the game was saved by hand (or replaced by a new or
// loaded game) after it, which an empty mark file saved-NNNNNN-YYYYMMDD-HHMMSS.mark records.
// Nothing here shows a message of its own or changes state_modified or party_dir; a save that
// fails, or a lock or folder that cannot be made, is only tried again when the next save is due.
// Without a data folder nothing is kept.
class autosave_keeper {
public:
    // Takes this run's lock.
    explicit autosave_keeper(platform& system);

    // Once the level is loaded and the window shows: removes the locks of earlier runs that
    // crashed and, if the latest of them left changes that were not saved by hand, asks whether
    // to load its newest save that can be read. Yes loads it as "Spiel laden" would and leaves
    // the game marked as unsaved.
    void offer_recovery(game_state& state, platform& system);

    // When to wake for the next save, by the platform's clock; empty while nothing can have
    // changed since the last one or a drag is under way (its release writes it).
    std::optional<int64_t> next_due(const game_state& state) const;

    // Checked after each event and at each due time: writes the game when it has unsaved
    // changes that are not on record yet, nothing is being dragged and the last attempt is at
    // least a minute old; marks a game that became saved since the last save, so that a crash
    // after it offers nothing.
    void save_if_due(game_state& state, platform& system);

    // The program ends: writes unsaved changes once more, whatever comes next.
    void save_unsaved(game_state& state, platform& system);

    // The run ended normally: its lock goes, its saves stay.
    void end_run();

private:
    // When the next attempt is due, whether or not anything can have changed.
    std::optional<int64_t> due_time(const game_state& state) const;
    // This run's lock, taken now if that failed before; false without it.
    bool hold_run(platform& system);
    void save(const game_state& state, platform& system);
    // Puts an entry of the next number into the run's folder through write, which gets its
    // path; false when it could not be written.
    bool write_entry(const std::string& prefix, const std::string& suffix, platform& system,
                     const std::function<bool(const std::string&)>& write);
    void remove_superseded_entries() const;
    void remove_old_runs(const std::string& kept_run) const;

    std::string folder_;      // autosave/ in the data folder; empty: nothing is kept
    std::string run_folder_;  // this run's entries; empty until the lock is held
    program_lock lock_;
    int64_t next_entry_ = 1;
    std::optional<int64_t> last_attempt_ms_;
    std::optional<int64_t> last_mark_attempt_ms_;
    // A save of this run holds changes that no save by hand (or new game) came after.
    bool changes_on_record_ = false;
    // What the last save held, to write a game only when it changed.
    std::optional<std::size_t> saved_hash_;
    // The last attempt found nothing new, and no event has come since.
    bool settled_ = false;
};

inline constexpr int64_t autosave_interval_ms = 60'000;
inline constexpr int autosaves_kept = 10;

}  // namespace quill
