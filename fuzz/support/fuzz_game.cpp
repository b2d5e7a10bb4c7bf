#include "support/fuzz_game.h"

#include <algorithm>
#include <functional>
#include <initializer_list>
#include <utility>

#include "app/program.h"
#include "content/ui_numbers.h"
#include "platform/files.h"
#include "support/fuzz_process.h"
#include "support/game_checks.h"
#include "view/convoy_linking.h"
#include "view/transport_convoy.h"
#include "view/zoom_viewport.h"

namespace quill::fuzzing {

namespace {

constexpr int canvas_width = 160;
constexpr int canvas_height = 120;
// Between two gestures the clock moves on, so that the double-click marker blinks and expires.
constexpr int64_t gesture_time = 700;
// Picture pickers open with their first cell a little up and left of the pointer.
constexpr int picker_offset = 15;

enum class target_kind { ground, token, transport, grave };

struct target {
    target_kind kind = target_kind::ground;
    int position = -1;
    friend bool operator==(const target&, const target&) = default;
};

struct box_size {
    int64_t width;
    int64_t height;
};

int last_inside(const item_list<map_item>& list, int64_t x, int64_t y, box_size box) {
    for (int i = list.size() - 1; i >= 0; --i) {
        const map_item& item = list[i];
        if (item.x < x && x < item.x + box.width && item.y < y && y < item.y + box.height) {
            return i;
        }
    }
    return -1;
}

int64_t to_map(const game_state& state, int value, int32_t view) {
    return int64_t{value} * 100 / std::max(state.level.zoom, 1) + view;
}

// What a press or right click at this window point takes: the boxes the program hit-tests, in
// its order, found without changing any current element.
target what_is_at(const game_state& state, screen_point point) {
    const level_info& level = state.level;
    const int64_t x = to_map(state, point.x, level.view_x);
    const int64_t y = to_map(state, point.y, level.view_y);
    const box_size token{level.playersize, level.playersize};
    const box_size tile{level.tile_x, level.tile_y};
    if (const int t = last_inside(state.tokens, x, y, token); t >= 0) {
        return {target_kind::token, t};
    }
    if (const int p = last_inside(state.transports, x, y, tile); p >= 0) {
        return {target_kind::transport, p};
    }
    if (const int g = last_inside(state.graves, x, y, tile); g >= 0) {
        return {target_kind::grave, g};
    }
    return {};
}

screen_point on_canvas(int x, int y) {
    return {std::clamp(x, 0, canvas_width - 1), std::clamp(y, 0, canvas_height - 1)};
}

screen_point moved(screen_point from, int dx, int dy) {
    return on_canvas(from.x + dx, from.y + dy);
}

}  // namespace

fuzz_game::fuzz_game() {
    system.set_program_file_path(program_dir() + "quillmark");
    if (!start_up(state, system)) {
        fail("start-up failed");
    }
    system.resize_window(ui::main_window, canvas_width, canvas_height + menu_bar_allowance);
    resize_canvas(state, system);
}

void fuzz_game::run() {
    system.queue_close();
    while (run_one_pass(state, system)) {
    }
}

bool fuzz_game::load(const std::string& path) {
    const std::size_t before = system.messages.size();
    system.queue_file_answer(path);
    system.queue_menu(ui::load_game);
    run();
    // The load's own messages are titled "Quillmark"; a level file that does not parse is
    // reported under another title, and the load goes on.
    return std::none_of(system.messages.begin() + static_cast<std::ptrdiff_t>(before),
                        system.messages.end(),
                        [](const auto& message) { return message.title == "Quillmark"; });
}

bool fuzz_game::save(const std::string& path) {
    const std::size_t before = system.messages.size();
    system.queue_file_answer(path);
    system.queue_menu(ui::save_game);
    run();
    return system.messages.size() == before;
}

std::optional<screen_point> fuzz_game::window_point(int64_t map_x, int64_t map_y) const {
    const level_info& level = state.level;
    const int64_t zoom = std::max(level.zoom, 1);
    const int64_t x = (map_x - level.view_x) * zoom / 100;
    const int64_t y = (map_y - level.view_y) * zoom / 100;
    if (x < 0 || y < 0 || x >= level.canvas_width || y >= level.canvas_height) {
        return std::nullopt;
    }
    return screen_point{static_cast<int>(x), static_cast<int>(y)};
}

namespace {

// The script of play(), written before any of it runs: where each gesture points is found when
// the script reaches it, from the game as the gestures before have left it. A gesture whose
// target is not on the canvas happens with the pointer outside the window.
struct gestures {
    explicit gestures(fuzz_game& played) : game(played) {}

    fuzz_game& game;
    scripted_platform& system = game.system;
    game_state& state = game.state;
    // Where the last gesture pointed; the moves of a drag are relative to it.
    std::optional<screen_point> anchor;

    using place = std::function<std::optional<screen_point>()>;

    std::optional<screen_point> centre_of(const map_item& item, int32_t width, int32_t height) {
        return game.window_point(int64_t{item.x} + width / 2, int64_t{item.y} + height / 2);
    }
    place token(int position) {
        return [this, position]() -> std::optional<screen_point> {
            if (!state.tokens.contains(position)) {
                return std::nullopt;
            }
            const int32_t size = state.level.playersize;
            return centre_of(state.tokens[position], size, size);
        };
    }
    // A negative position counts from the end of the list when the script reaches it.
    static int resolved(const item_list<map_item>& list, int position) {
        return position < 0 ? list.size() + position : position;
    }
    place item(item_list<map_item>& list, int position) {
        return [this, &list, position]() -> std::optional<screen_point> {
            const int found = resolved(list, position);
            if (!list.contains(found)) {
                return std::nullopt;
            }
            return centre_of(list[found], state.level.tile_x, state.level.tile_y);
        };
    }
    place ground() {
        return [this]() -> std::optional<screen_point> {
            for (int y = 5; y < canvas_height; y += 9) {
                for (int x = 5; x < canvas_width; x += 9) {
                    if (what_is_at(state, {x, y}) == target{}) {
                        return screen_point{x, y};
                    }
                }
            }
            return std::nullopt;
        };
    }
    // The item's place, but only where a right click takes that item.
    place taking(item_list<map_item>& list, target_kind kind, int position) {
        return [this, &list, kind, position]() -> std::optional<screen_point> {
            const auto at = item(list, position)();
            const target expected{kind, resolved(list, position)};
            return at && what_is_at(state, *at) == expected ? at : std::nullopt;
        };
    }

    void put_pointer(const std::optional<screen_point>& at) {
        if (at) {
            system.set_pointer(at->x, at->y);
        } else {
            system.set_pointer_outside();
        }
    }
    void event(control_event type) {
        window_event canvas;
        canvas.kind = event_kind::control;
        canvas.window = ui::main_window;
        canvas.control = ui::map_canvas;
        canvas.type = type;
        system.queue_event(canvas);
    }
    // An event at the place; then runs on_target when the place is on the canvas.
    void at(place where, control_event type, std::function<void()> on_target = {}) {
        system.queue_action([this, where, on_target] {
            anchor = where();
            put_pointer(anchor);
            if (anchor && on_target) {
                on_target();
            }
        });
        event(type);
    }
    // An event this far from the last place.
    void beside(int dx, int dy, control_event type) {
        system.queue_action([this, dx, dy] {
            put_pointer(anchor ? std::optional(moved(*anchor, dx, dy)) : std::nullopt);
        });
        event(type);
    }
    void pass_time() {
        system.queue_action([this] { system.set_clock(system.milliseconds() + gesture_time); });
    }

    // Presses at the place, moves by each step from there and releases at the last.
    void drag(place from, std::initializer_list<std::pair<int, int>> steps) {
        pass_time();
        at(from, control_event::left_pressed);
        for (const auto& [dx, dy] : steps) {
            beside(dx, dy, control_event::mouse_moved);
        }
        event(control_event::left_released);
    }
    // Picks the transport up, moves it a little and drops it onto the first token.
    void drop_onto_first_token(int position) {
        pass_time();
        at(item(state.transports, position), control_event::mouse_moved);
        at(item(state.transports, position), control_event::left_pressed);
        beside(11, 5, control_event::mouse_moved);
        system.queue_action([this] {
            const auto token_centre = token(0)();
            put_pointer(token_centre ? token_centre : anchor);
        });
        event(control_event::mouse_moved);
        event(control_event::left_released);
    }
    // The transport menu's command on the transport; a question that follows is answered yes,
    // a player picker clicked at its first cell.
    void transport_command(int position, int command) {
        at(taking(state.transports, target_kind::transport, position), control_event::right_click,
           [this, command] {
               system.queue_popup_choice(command);
               if (command == ui::remove_transport_item) {
                   system.queue_message_answer(true);
               }
           });
        beside(-picker_offset, -picker_offset, control_event::left_click);
    }
    void remove_grave(int position) {
        at(taking(state.graves, target_kind::grave, position), control_event::right_click,
           [this] { system.queue_message_answer(true); });
    }
    // A right click on empty ground, the command, a click on the picker's first cell and the
    // two names asked for.
    void new_item(int command, const std::string& name, const std::string& owner) {
        at(ground(), control_event::right_click, [this, command, name, owner] {
            system.queue_popup_choice(command);
            system.queue_input_answer(name);
            system.queue_input_answer(owner);
        });
        beside(-picker_offset, -picker_offset, control_event::left_click);
    }
};

}  // namespace

void fuzz_game::play() {
    gestures g(*this);
    system.queue_menu(ui::zoom_out_item);
    for (int t = 0; t < 2; ++t) {
        g.drag(g.token(t), {{13, 7}, {41, 23}});
    }
    for (int i = 0; i < 2; ++i) {
        g.at(g.item(state.graves, i), control_event::mouse_moved);
        g.drag(g.item(state.graves, i), {{9, -7}});
    }
    for (int i = 0; i < 3; ++i) {
        g.drop_onto_first_token(i);
    }
    // The last transport is carried by now, unless a token was in the way.
    g.transport_command(-1, ui::attach_item);
    g.transport_command(0, ui::attach_item);
    g.transport_command(0, ui::remove_transport_item);
    g.remove_grave(0);
    g.new_item(ui::place_tombstone_item, "Borin", "Sturmklingen");
    g.new_item(ui::create_transport_item, "Kahn", "Jörg");
    system.queue_action([this] {
        for (int t = 0; t < state.tokens.size(); ++t) {
            arrange_convoy(state, t);
        }
        for (int p = 0; p < state.transports.size(); ++p) {
            if (state.transports[p].links[0] != 0) {
                state.transports.select(p);
                detach_transport(state, detached_place::end_of_convoy);
                break;
            }
        }
    });
    // Back through the last steps and forward again part of the way.
    for (const int command : {ui::undo_item, ui::undo_item, ui::undo_item, ui::redo_item}) {
        system.queue_menu(command);
    }
    g.drag(g.ground(), {{-30, -20}, {40, 30}});
    g.at(g.ground(), control_event::left_double_click);
    g.pass_time();
    system.queue_menu(ui::zoom_in_shortcut);
    g.at(g.ground(), control_event::mouse_moved);
    // A picker left open by a gesture that missed its target ends at a menu event; id 0 is no
    // command.
    system.queue_menu(0);
    run();
}

void check_invariants(const fuzz_game& game, const std::string& when) {
    const std::string broken = broken_invariant(game.state);
    check(broken.empty(), when + ": " + broken);
}

void check_round_trip(fuzz_game& game) {
    const std::string first = scratch_path("first.qms");
    const std::string second = scratch_path("second.qms");
    check(game.save(first), "the game could not be saved");
    const game_record saved(game.state);
    // A game whose level file could not be read names a level that is not there: its file
    // is refused like any such file.
    if (file_size(game.state.level.level_file) < 0) {
        check(!game.load(first), "a game without level file loaded back");
        check(game_record(game.state) == saved, "a refused load changed the game");
        return;
    }
    check(game.load(first), "the saved game could not be loaded");
    check(game_record(game.state) == saved, "the saved game loads back differently");
    check(game.save(second), "the loaded game could not be saved again");
    check(read_file(first) == read_file(second), "the second save differs from the first");
}

}  // namespace quill::fuzzing
