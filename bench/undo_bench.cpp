#include <string>

#include <benchmark/benchmark.h>

#include "state/game_state.h"

namespace quill::bench {

namespace {

// A step of a game with the longest inscriptions a saved game holds in every slot and
// run.range(0) tombstones: one tombstone moves; the history keeps its 256 steps.
void undo_step(benchmark::State& run) {
    game_state state;
    std::string longest;
    for (int unit = 0; unit < 32767; ++unit) {
        longest += "\xE9\xBE\x8D";
    }
    for (int slot = 0; slot < label_count; ++slot) {
        state.labels.set(slot, longest);
    }
    const int graves = static_cast<int>(run.range(0));
    for (int i = 0; i < graves; ++i) {
        map_item grave;
        grave.x = i;
        state.graves.add(grave);
    }
    int step = 0;
    for (auto _ : run) {
        state.history.begin_step(state);
        state.graves[(step * 7919) % graves].y += 1;
        state.history.end_step(state);
        ++step;
    }
}

}  // namespace

BENCHMARK(undo_step)->Arg(1000)->Arg(100'000);

}  // namespace quill::bench
