// The player catalogue: players.xml of the program folder, read at start-up, then rewritten by
// the player icons dialog.

#include <cstddef>
#include <cstdint>

#include "content/player_icon_picker.h"
#include "content/player_icons_layout.h"
#include "content/players_file.h"
#include "content/ui_numbers.h"
#include "support/content_file_fuzzing.h"
#include "support/fuzz_process.h"

namespace quill::fuzzing {

namespace {

window_event click_on(int window, int control) {
    window_event event;
    event.kind = event_kind::control;
    event.window = window;
    event.control = control;
    event.type = control_event::left_click;
    return event;
}

// The rows as the dialog reads them, on a platform of their own so that the game's stays as it
// was.
players_file_rows rows_on_disc() {
    scripted_platform reader;
    players_file_rows file = read_player_rows(reader, program_dir());
    free_row_pictures(reader.pictures(), file.rows);
    return file;
}

bool same_texts(const player_row& a, const player_row& b) {
    return a.name == b.name && a.id == b.id && a.comment == b.comment;
}

// The first player gets the first icon of the picker. A file read whole is rewritten with the
// same players; any other file is left alone.
void change_first_icon(fuzz_game& game) {
    const players_file_rows before = rows_on_disc();
    const std::string bytes_before = read_file(program_dir() + "players.xml");
    scripted_platform& system = game.system;
    const row_controls first = row_layout(0);
    system.queue_menu(ui::player_icons);
    system.queue_action([&system] {
        const screen_point dialog = system.inner_screen_position(ui::player_icons_window);
        system.set_pointer_screen(dialog.x + 100, dialog.y + 40);
    });
    system.queue_event(click_on(ui::player_icons_window, first.button));
    system.queue_action([&system] {
        const screen_point picker = system.inner_screen_position(ui::icon_picker_window);
        system.set_pointer_screen(picker.x + 10, picker.y + 10);
    });
    system.queue_event(click_on(ui::icon_picker_window, ui::icon_picker_canvas));
    system.queue_event(click_on(ui::player_icons_window, ui::apply_button));
    // Should the dialog still be open, its close box ends it; otherwise these pass unheard.
    window_event close;
    close.kind = event_kind::close_request;
    close.window = ui::player_icons_window;
    system.queue_event(close);
    system.queue_event(close);
    game.run();

    if (!may_write_back(before.state)) {
        check(read_file(program_dir() + "players.xml") == bytes_before,
              "a players.xml that was not read whole was changed");
        return;
    }
    const players_file_rows after = rows_on_disc();
    check(after.state == players_file_state::read, "the written players.xml does not read back");
    check(after.rows.size() == before.rows.size(), "the written players.xml lost players");
    for (std::size_t i = 0; i < after.rows.size(); ++i) {
        check(same_texts(after.rows[i], before.rows[i]) &&
                  (i == 0 || after.rows[i].pic == before.rows[i].pic),
              "player " + std::to_string(i) + " reads back differently");
    }
}

}  // namespace

}  // namespace quill::fuzzing

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    quill::fuzzing::start_process(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    quill::fuzzing::fuzz_content_files({reinterpret_cast<const char*>(data), size}, {"players.xml"},
                                       quill::fuzzing::change_first_icon);
    return 0;
}
