#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/files.h"
#include "platform/platform.h"
#include "state/game_state.h"

namespace quill {

// Keeps the game of one run of the program safe from crashes and from a wrong answer at the exit
// question. Each run holds a lock in the folder autosave/ of the user's data folder and writes its
// saves into a folder of its own there, named like its lock, as
// autosave-YYYYMMDD-HHMMSS.qms: exactly the bytes "Spiel speichern" would write, through the same
// writer, the newest ten kept. A run that ends normally removes its lock; a lock that outlives its
// program marks a crash, and the next run offers that run's newest save. Nothing here shows a
// message of its own or changes state_modified or party_dir; a save that fails is only tried
// again later. Without a data folder nothing is kept.
class autosave_keeper {
public:
    // Takes this run's lock.
    explicit autosave_keeper(platform& system);

    // Once the level is loaded and the window shows: removes the locks of earlier runs that
    // crashed and, if the latest of them left a save, asks whether to load its newest. Yes loads
    // it as "Spiel laden" would and leaves the game marked as unsaved.
    void offer_recovery(game_state& state, platform& system);

    // Checked after each event: writes the game when it has unsaved changes and the last write
    // is at least a minute old.
    void save_if_due(game_state& state, platform& system);

    // The program ends: writes unsaved changes once more, whatever comes next.
    void save_unsaved(game_state& state, platform& system);

    // The run ended normally: its lock goes, its saves stay.
    void end_run();

private:
    void save(const game_state& state, platform& system);
    void remove_old_runs(const std::string& offered_save) const;

    std::string folder_;      // autosave/ in the data folder; empty: nothing is kept
    std::string run_folder_;  // this run's saves
    program_lock lock_;
    std::optional<int64_t> last_save_ms_;
};

inline constexpr int64_t autosave_interval_ms = 60'000;
inline constexpr int autosaves_kept = 10;

}  // namespace quill
