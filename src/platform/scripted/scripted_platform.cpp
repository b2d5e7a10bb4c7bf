#include "platform/scripted/scripted_platform.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace quill {

void scripted_platform::queue_event(const window_event& event) {
    script_.push_back({event, {}, {}, false});
}

void scripted_platform::queue_event_at(const window_event& event, int x, int y) {
    script_.push_back({event, screen_point{x, y}, {}, false});
}

void scripted_platform::queue_menu(int id) {
    window_event event;
    event.kind = event_kind::menu;
    event.menu_id = id;
    script_.push_back({event, {}, {}, true});
}

void scripted_platform::queue_canvas(control_event type, int x, int y, int control) {
    window_event event;
    event.kind = event_kind::control;
    event.control = control;
    event.type = type;
    script_.push_back({event, screen_point{x, y}, {}, true});
}

void scripted_platform::queue_close() {
    window_event event;
    event.kind = event_kind::close_request;
    script_.push_back({event, {}, {}, true});
}

void scripted_platform::queue_close(int window) {
    window_event event;
    event.kind = event_kind::close_request;
    event.window = window;
    queue_event(event);
}

void scripted_platform::queue_action(std::function<void()> action) {
    script_.push_back({{}, {}, std::move(action), false});
}

void scripted_platform::copy_text(const std::string& text) {
    copied_texts.push_back(text);
}

void scripted_platform::queue_idle(int64_t milliseconds) {
    step idle;
    idle.idle = milliseconds;
    script_.push_back(std::move(idle));
}

void scripted_platform::set_pointer(int x, int y) {
    const screen_point origin = inner_screen_position(main_window_);
    pointer_ = {origin.x + x, origin.y + y};
}

void scripted_platform::set_pointer_outside() {
    pointer_ = {-100000, -100000};
}
void scripted_platform::set_pointer_screen(int x, int y) {
    pointer_ = {x, y};
}
void scripted_platform::set_clock(int64_t milliseconds) {
    clock_ = milliseconds;
}
void scripted_platform::queue_random(int value) {
    randoms_.push_back(value);
}
void scripted_platform::queue_message_answer(bool yes) {
    message_answers_.push_back(yes);
}
void scripted_platform::queue_input_answer(const std::string& text) {
    input_answers_.push_back(text);
}
void scripted_platform::queue_file_answer(const std::string& path) {
    file_answers_.push_back(path);
}
void scripted_platform::queue_popup_choice(int id) {
    popup_choices_.push_back(id);
}
void scripted_platform::set_program_file_path(const std::string& path) {
    program_file_path_ = path;
}
void scripted_platform::set_today(local_date date) {
    now_.date = date;
}
void scripted_platform::set_now(local_date_time time) {
    now_ = time;
}
void scripted_platform::set_data_dir(const std::string& path) {
    data_dir_ = path;
}

void scripted_platform::resize_window(int window, int inner_width, int inner_height) {
    auto found = windows.find(window);
    if (found != windows.end()) {
        found->second.inner_width = inner_width;
        found->second.inner_height = inner_height;
    }
}

picture_handle scripted_platform::load_map_picture(const std::string& path) {
    map_pictures_loaded.push_back(path);
    return pictures().load(path);
}

void scripted_platform::set_screens(std::vector<screen_area> areas) {
    if (!areas.empty()) {
        screens_ = std::move(areas);
    }
}

std::vector<screen_area> scripted_platform::screens() {
    return screens_;
}

int scripted_platform::screen_of(int window) {
    auto found = windows.find(window);
    if (found == windows.end()) {
        return 0;
    }
    const window_record& record = found->second;
    return screen_covered_most(screens_,
                               {record.x, record.y, record.inner_width, record.inner_height});
}

void scripted_platform::refuse_windows(bool refuse) {
    refuse_windows_ = refuse;
}

bool scripted_platform::open_window(int number, int x, int y, int inner_width, int inner_height,
                                    const std::string& title, window_style style, int owner) {
    if (refuse_windows_) {
        return false;
    }
    window_record& window = windows[number];
    window = {x, y, inner_width, inner_height, title, style, owner, true, true, false};
    active_window = number;
    if (style == window_style::main_window) {
        main_window_ = number;
    }
    return true;
}

void scripted_platform::close_window(int number) {
    auto found = windows.find(number);
    if (found == windows.end()) {
        return;
    }
    found->second.open = false;
    std::erase_if(controls, [number](const auto& entry) { return entry.second.window == number; });
    if (active_window == number) {
        active_window = found->second.owner;
    }
}

void scripted_platform::set_window_title(int number, const std::string& title) {
    auto found = windows.find(number);
    if (found != windows.end()) {
        found->second.title = title;
    }
}

int scripted_platform::inner_width(int window) {
    auto found = windows.find(window);
    return found == windows.end() ? 0 : found->second.inner_width;
}

int scripted_platform::inner_height(int window) {
    auto found = windows.find(window);
    return found == windows.end() ? 0 : found->second.inner_height;
}

screen_point scripted_platform::inner_screen_position(int window) {
    auto found = windows.find(window);
    if (found == windows.end()) {
        return {};
    }
    const window_record& record = found->second;
    // The controls' area starts below the menu bar.
    return {record.x, record.y + (record.has_menu_bar ? menu_bar_allowance : 0)};
}

void scripted_platform::disable_window(int window) {
    if (windows.contains(window)) {
        windows[window].enabled = false;
    }
}

void scripted_platform::enable_window(int window) {
    if (windows.contains(window)) {
        windows[window].enabled = true;
    }
}

void scripted_platform::activate_window(int window) {
    if (windows.contains(window)) {
        active_window = window;
    }
}

void scripted_platform::show_windows_now() {
    auto main = windows.find(main_window_);
    shown_at_once.push_back(
        {main == windows.end() ? std::string() : main->second.title, busy_depth > 0});
}

window_event scripted_platform::wait_event_until(std::optional<int64_t> wake_at) {
    if (!pending_.empty()) {
        window_event event = pending_.front();
        pending_.pop_front();
        ++events_delivered;
        return event;
    }
    while (!script_.empty()) {
        if (script_.front().idle > 0) {
            step& idle = script_.front();
            if (wake_at && *wake_at < clock_ + idle.idle) {
                const int64_t slept = std::max<int64_t>(0, *wake_at - clock_);
                clock_ += slept;
                idle.idle -= slept;
                return {};
            }
            clock_ += idle.idle;
            script_.pop_front();
            continue;
        }
        step next = std::move(script_.front());
        script_.pop_front();
        if (next.action) {
            next.action();
            if (!pending_.empty()) {
                return wait_event_until(wake_at);
            }
        }
        if (next.pointer) {
            set_pointer(next.pointer->x, next.pointer->y);
        }
        if (next.event && next.to_main_window) {
            next.event->window = main_window_;
        }
        if (next.event) {
            ++events_delivered;
            return *next.event;
        }
    }
    ran_dry = true;
    // A modal loop that ignores the main window's close request would wait forever on an
    // exhausted script; end such a test loudly instead of hanging it.
    if (++dry_waits_ > max_dry_waits) {
        std::fprintf(stderr, "scripted platform: the script ran out inside a modal wait\n");
        std::abort();
    }
    window_event close;
    close.kind = event_kind::close_request;
    close.window = main_window_;
    return close;
}

int scripted_platform::mouse_x(int window) {
    auto found = windows.find(window);
    if (found == windows.end()) {
        return -1;
    }
    const int x = pointer_.x - inner_screen_position(window).x;
    return x >= 0 && x < found->second.inner_width ? x : -1;
}

int scripted_platform::mouse_y(int window) {
    auto found = windows.find(window);
    if (found == windows.end()) {
        return -1;
    }
    const int y = pointer_.y - inner_screen_position(window).y;
    return y >= 0 && y < client_height(window) ? y : -1;
}

void scripted_platform::create_menu_bar(int window) {
    menu_bar_window_ = window;
    if (windows.contains(window)) {
        windows[window].has_menu_bar = true;
    }
}

void scripted_platform::add_menu(const std::string& title) {
    menu_bar.push_back({title, {}});
}

void scripted_platform::add_menu_item(int id, const std::string& text) {
    if (!menu_bar.empty()) {
        menu_bar.back().items.emplace_back(id, text);
    }
}

void scripted_platform::add_menu_separator() {
    if (!menu_bar.empty()) {
        menu_bar.back().items.emplace_back(0, std::string());
    }
}

void scripted_platform::create_popup_menu(int menu) {
    popup_menus[menu] = {};
    last_popup_ = menu;
}

void scripted_platform::add_popup_item(int id, const std::string& text) {
    if (popup_menus.contains(last_popup_)) {
        popup_menus[last_popup_].items.emplace_back(id, text);
    }
}

void scripted_platform::show_popup_menu(int menu, int window) {
    popup_record shown;
    shown.menu = menu;
    shown.pointer_x = mouse_x(window);
    shown.pointer_y = mouse_y(window);
    if (popup_menus.contains(menu)) {
        shown.items = popup_menus[menu].items;
    }
    popups_shown.push_back(shown);
    if (popup_choices_.empty()) {
        return;
    }
    const int chosen = popup_choices_.front();
    popup_choices_.pop_front();
    if (chosen != 0) {
        window_event event;
        event.kind = event_kind::menu;
        event.window = window;
        event.menu_id = chosen;
        pending_.push_back(event);
    }
}

void scripted_platform::set_menu_item_text(int id, const std::string& text) {
    auto rename = [&](std::vector<std::pair<int, std::string>>& items) {
        for (auto& item : items) {
            if (item.first == id) {
                item.second = text;
            }
        }
    };
    for (auto& menu : menu_bar) {
        rename(menu.items);
    }
    for (auto& [number, menu] : popup_menus) {
        rename(menu.items);
    }
}

void scripted_platform::set_menu_item_checked(int id, bool checked) {
    if (checked) {
        checked_menu_items.insert(id);
    } else {
        checked_menu_items.erase(id);
    }
}

void scripted_platform::set_menu_item_enabled(int id, bool enabled) {
    if (enabled) {
        disabled_menu_items.erase(id);
    } else {
        disabled_menu_items.insert(id);
    }
}

int scripted_platform::menu_bar_height(int window) {
    auto found = windows.find(window);
    return found != windows.end() && found->second.has_menu_bar ? menu_bar_allowance : 0;
}

void scripted_platform::add_shortcut(int window, unsigned modifiers, shortcut_key key, int id) {
    shortcuts.push_back({window, modifiers, key, id});
}

scripted_platform::control_record& scripted_platform::place_control(int window, int control, int x,
                                                                    int y, int width, int height) {
    remove_control(control);
    control_record& record = controls[control];
    record.window = window;
    record.x = x;
    record.y = y;
    record.width = width;
    record.height = height;
    return record;
}

void scripted_platform::create_canvas(int window, int control, int x, int y, int width, int height,
                                      bool sunken) {
    control_record& record = place_control(window, control, x, y, width, height);
    record.sunken = sunken;
    record.picture = pictures().create(std::max(width, 1), std::max(height, 1), {255, 255, 255});
}

void scripted_platform::move_control(int control, int x, int y, int width, int height) {
    auto found = controls.find(control);
    if (found == controls.end()) {
        return;
    }
    control_record& record = found->second;
    if (x != keep_value) {
        record.x = x;
    }
    if (y != keep_value) {
        record.y = y;
    }
    const bool resized = (width != keep_value && width != record.width) ||
                         (height != keep_value && height != record.height);
    if (width != keep_value) {
        record.width = width;
    }
    if (height != keep_value) {
        record.height = height;
    }
    if (resized && record.type == control_record::kind::canvas) {
        pictures().free(record.picture);
        record.picture = pictures().create(std::max(record.width, 1), std::max(record.height, 1),
                                           {255, 255, 255});
    }
}

void scripted_platform::hide_control(int control) {
    if (controls.contains(control)) {
        controls[control].visible = false;
    }
}

void scripted_platform::show_control(int control) {
    if (controls.contains(control)) {
        controls[control].visible = true;
    }
}

void scripted_platform::remove_control(int control) {
    auto found = controls.find(control);
    if (found == controls.end()) {
        return;
    }
    if (found->second.type == control_record::kind::canvas) {
        pictures().free(found->second.picture);
    }
    controls.erase(found);
}

screen_point scripted_platform::control_position(int control) {
    auto found = controls.find(control);
    return found == controls.end() ? screen_point{}
                                   : screen_point{found->second.x, found->second.y};
}

void scripted_platform::create_picture_box(int window, int control, int x, int y, int width,
                                           int height, picture_handle picture, bool sunken) {
    control_record& record = place_control(window, control, x, y, width, height);
    record.sunken = sunken;
    record.type = control_record::kind::picture_box;
    record.picture = picture;
}

void scripted_platform::set_picture_box_image(int control, picture_handle picture) {
    if (controls.contains(control)) {
        controls[control].picture = picture;
    }
}

void scripted_platform::create_button(int window, int control, int x, int y, int width, int height,
                                      const std::string& text) {
    control_record& record = place_control(window, control, x, y, width, height);
    record.type = control_record::kind::button;
    record.text = text;
}

std::unique_ptr<drawing> scripted_platform::start_canvas_drawing(int control) {
    return std::make_unique<drawing>(pictures(), canvas_picture(control));
}

picture_handle scripted_platform::canvas_picture(int control) {
    auto found = controls.find(control);
    return found != controls.end() && found->second.type == control_record::kind::canvas
               ? found->second.picture
               : 0;
}

int64_t scripted_platform::milliseconds() {
    return clock_;
}

int scripted_platform::random_int(int low, int high) {
    // The real source has no value to give for an empty range; the logic must not ask.
    if (high < low) {
        std::fprintf(stderr, "scripted platform: random_int(%d, %d) asks for an empty range\n", low,
                     high);
        std::abort();
    }
    if (randoms_.empty()) {
        return low;
    }
    const int value = randoms_.front();
    randoms_.pop_front();
    return std::clamp(value, low, high);
}

local_date_time scripted_platform::now() {
    return now_;
}

bool scripted_platform::message_box(const std::string& title, const std::string& text,
                                    message_buttons buttons, message_icon icon) {
    bool yes = false;
    if (!message_answers_.empty()) {
        yes = buttons == message_buttons::yes_no && message_answers_.front();
        message_answers_.pop_front();
    }
    messages.push_back({title, text, buttons, icon, yes, busy_depth > 0});
    return yes;
}

std::string scripted_platform::input_text(const std::string& title, const std::string& prompt,
                                          const std::string& default_text) {
    inputs.push_back({title, prompt, default_text});
    if (input_answers_.empty()) {
        return {};
    }
    std::string answer = input_answers_.front();
    input_answers_.pop_front();
    return answer;
}

std::string scripted_platform::answer_file_dialog() {
    if (file_answers_.empty()) {
        return {};
    }
    std::string answer = file_answers_.front();
    file_answers_.pop_front();
    return answer;
}

std::string scripted_platform::open_file_dialog(const std::string& title,
                                                const std::string& default_path,
                                                const std::string& filters, int selected_filter) {
    file_dialogs.push_back({false, title, default_path, filters, selected_filter});
    return answer_file_dialog();
}

std::string scripted_platform::save_file_dialog(const std::string& title,
                                                const std::string& default_path,
                                                const std::string& filters, int selected_filter) {
    file_dialogs.push_back({true, title, default_path, filters, selected_filter});
    return answer_file_dialog();
}

std::string scripted_platform::program_file_path() {
    return program_file_path_;
}

std::string scripted_platform::data_dir() {
    return data_dir_;
}

void scripted_platform::begin_busy() {
    ++busy_periods;
    ++busy_depth;
}

void scripted_platform::end_busy() {
    --busy_depth;
}

}  // namespace quill
