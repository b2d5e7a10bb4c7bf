#include "support/party_file_fuzzing.h"

#include <cstdio>

#include "platform/files.h"
#include "support/fuzz_game.h"
#include "support/fuzz_process.h"
#include "support/game_checks.h"
#include "view/transport_convoy.h"

namespace quill::fuzzing {

namespace {

// A game with something to lose, so that a refused load has to keep it.
void start_playing(game_state& state) {
    state.tokens[0].x = 100;
    state.tokens[0].y = 70;
    map_item grave;
    grave.x = 40;
    grave.y = 140;
    grave.label = 1;
    state.graves.add(grave);
    state.labels.set(1, "RIP Ömer");
    map_item transport;
    transport.catalogue_index = 1;
    transport.links[0] = 1;
    state.transports.add(transport);
    state.tokens[0].links[0] = 1;
    arrange_convoy(state, 0);
    state.level.zoom = 81;
    state.state_modified = true;
}

std::string code_units(const std::u16string& text) {
    std::string shown = "[";
    for (const char16_t unit : text) {
        char hex[8];
        std::snprintf(hex, sizeof hex, " %04X", static_cast<unsigned>(unit));
        shown += hex;
    }
    return shown + " ]";
}

}  // namespace

void fuzz_party_file(std::string_view bytes, party_format format) {
    const bool version_1 = format == party_format::version_1;
    const std::string input = scratch_path(version_1 ? "input.qms" : "input.gls");
    write_file(input, bytes);

    fuzz_game game;
    start_playing(game.state);
    const game_record before(game.state);
    const bool loaded = game.load(input);
    check(read_file(input) == bytes, "loading changed the file");
    if (!loaded) {
        check(game_record(game.state) == before, "a refused load changed the game");
        return;
    }
    check_invariants(game, "after loading");
    const auto labels = stored_labels(bytes, format);
    for (int slot = 0; slot < label_count; ++slot) {
        const std::u16string kept = to_utf16(game.state.labels[slot]);
        check(kept == labels[slot], "label " + std::to_string(slot) + " reads as " +
                                        code_units(kept) + ", the file holds " +
                                        code_units(labels[slot]));
    }

    game.play();
    check_invariants(game, "after playing");
    check_round_trip(game);
}

}  // namespace quill::fuzzing
