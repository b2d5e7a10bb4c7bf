#pragma once

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace quill {

// The platform the tests drive: events, pointer positions and dialog answers are queued
// beforehand and replayed in order; everything the logic shows is recorded for inspection.
// Time and chance are whatever the test sets. Pictures and drawing are the real ones.
class scripted_platform : public platform {
public:
    struct window_record {
        int x = 0;
        int y = 0;
        int inner_width = 0;
        int inner_height = 0;
        std::string title;
        window_style style = window_style::main_window;
        int owner = -1;
        bool open = false;
        bool enabled = true;
        bool has_menu_bar = false;
    };
    struct control_record {
        int window = -1;
        int x = 0;
        int y = 0;
        int width = 0;
        int height = 0;
        bool visible = true;
        bool sunken = false;
        enum class kind { canvas, picture_box, button } type = kind::canvas;
        picture_handle picture = 0;  // canvas contents, or the picture box's picture
        std::string text;            // buttons
    };
    struct menu_record {
        std::string title;
        std::vector<std::pair<int, std::string>> items;  // id 0: separator
    };
    struct message_record {
        std::string title;
        std::string text;
        message_buttons buttons = message_buttons::ok;
        message_icon icon = message_icon::none;
        bool answered_yes = false;
        bool while_busy = false;  // shown inside a busy period, with the normal pointer
    };
    struct input_record {
        std::string title;
        std::string prompt;
        std::string default_text;
    };
    struct file_dialog_record {
        bool save = false;
        std::string title;
        std::string default_path;
        std::string filters;
        int selected_filter = 0;
    };
    struct popup_record {
        int menu = -1;
        int pointer_x = 0;  // window pixels of the pointer when it was shown
        int pointer_y = 0;
        std::vector<std::pair<int, std::string>> items;
    };
    struct early_showing {
        std::string title;  // the main window's
        bool busy = false;
    };
    struct shortcut_record {
        int window = -1;
        unsigned modifiers = 0;
        shortcut_key key = shortcut_key::enter;
        int id = 0;
    };

    // Script. Events are delivered in queue order; an event queued with a pointer position
    // moves the pointer (window pixels of the main window's inner area) when it is delivered.
    // The main window is the one opened with window_style::main_window; events queued for it
    // are addressed to it when they are delivered.
    void queue_event(const window_event& event);
    void queue_event_at(const window_event& event, int x, int y);
    void queue_menu(int id);
    void queue_canvas(control_event type, int x, int y, int control = 0);
    void queue_close();
    void queue_close(int window);
    // Runs when the queue reaches it, between two events.
    void queue_action(std::function<void()> action);
    // The user does nothing for that long: the clock moves on, and a wait that asked to be woken
    // meanwhile is woken at its time.
    void queue_idle(int64_t milliseconds);

    void set_pointer(int x, int y);
    // Places the pointer outside every window.
    void set_pointer_outside();
    void set_pointer_screen(int x, int y);
    void set_clock(int64_t milliseconds);
    // Values for random_int, clamped into its range. An empty range ends the test program.
    void queue_random(int value);
    void queue_message_answer(bool yes);
    // The empty text stands for a cancelled dialog.
    void queue_input_answer(const std::string& text);
    void queue_file_answer(const std::string& path);
    // 0 dismisses the popup without a choice.
    void queue_popup_choice(int id);
    void set_program_file_path(const std::string& path);
    void set_today(local_date date);
    void set_now(local_date_time time);
    // Empty (the default) stands for a platform without a data folder.
    void set_data_dir(const std::string& path);
    // Changes a window's inner size, as the user would by dragging its border; queue a
    // resized event to tell the logic.
    void resize_window(int window, int inner_width, int inner_height);
    // The desktop's screens, the primary first; one screen of 1920 x 1080 unless set.
    void set_screens(std::vector<screen_area> areas);
    // Makes opening windows fail, to test start-up without a window.
    void refuse_windows(bool refuse);

    // What the logic did.
    std::map<int, window_record> windows;
    std::map<int, control_record> controls;
    std::vector<menu_record> menu_bar;
    std::map<int, menu_record> popup_menus;
    std::vector<shortcut_record> shortcuts;
    std::vector<message_record> messages;
    std::vector<input_record> inputs;
    std::vector<file_dialog_record> file_dialogs;
    std::vector<popup_record> popups_shown;
    // What was put on the clipboard, in order.
    std::vector<std::string> copied_texts;
    // Each time the logic had the windows shown at once, before a long step.
    std::vector<early_showing> shown_at_once;
    std::set<int> disabled_menu_items;
    std::set<int> checked_menu_items;
    int active_window = -1;
    // Set when the logic waited for an event after the script ran out; it then gets a close
    // request for the main window, so that a test never blocks.
    bool ran_dry = false;
    int events_delivered = 0;
    // Busy periods: how many began, and how deeply nested they are now (0: normal pointer).
    int busy_periods = 0;
    int busy_depth = 0;

    // The pictures loaded as a level's map, by path.
    std::vector<std::string> map_pictures_loaded;

    // platform
    picture_handle load_map_picture(const std::string& path) override;
    bool open_window(int number, int x, int y, int inner_width, int inner_height,
                     const std::string& title, window_style style, int owner) override;
    void close_window(int number) override;
    void set_window_title(int number, const std::string& title) override;
    int inner_width(int window) override;
    int inner_height(int window) override;
    screen_point inner_screen_position(int window) override;
    void disable_window(int window) override;
    void enable_window(int window) override;
    void activate_window(int window) override;
    void show_windows_now() override;
    window_event wait_event_until(std::optional<int64_t> wake_at) override;
    std::vector<screen_area> screens() override;
    int screen_of(int window) override;
    int mouse_x(int window) override;
    int mouse_y(int window) override;
    void create_menu_bar(int window) override;
    void add_menu(const std::string& title) override;
    void add_menu_item(int id, const std::string& text) override;
    void add_menu_separator() override;
    void create_popup_menu(int menu) override;
    void add_popup_item(int id, const std::string& text) override;
    void show_popup_menu(int menu, int window) override;
    void set_menu_item_text(int id, const std::string& text) override;
    void set_menu_item_checked(int id, bool checked) override;
    void set_menu_item_enabled(int id, bool enabled) override;
    int menu_bar_height(int window) override;
    void add_shortcut(int window, unsigned modifiers, shortcut_key key, int id) override;
    void create_canvas(int window, int control, int x, int y, int width, int height,
                       bool sunken) override;
    void move_control(int control, int x, int y, int width, int height) override;
    void hide_control(int control) override;
    void show_control(int control) override;
    void remove_control(int control) override;
    screen_point control_position(int control) override;
    void create_picture_box(int window, int control, int x, int y, int width, int height,
                            picture_handle picture, bool sunken) override;
    void set_picture_box_image(int control, picture_handle picture) override;
    void create_button(int window, int control, int x, int y, int width, int height,
                       const std::string& text) override;
    std::unique_ptr<drawing> start_canvas_drawing(int control) override;
    picture_handle canvas_picture(int control) override;
    int64_t milliseconds() override;
    int random_int(int low, int high) override;
    local_date_time now() override;
    bool message_box(const std::string& title, const std::string& text, message_buttons buttons,
                     message_icon icon) override;
    std::string input_text(const std::string& title, const std::string& prompt,
                           const std::string& default_text) override;
    std::string open_file_dialog(const std::string& title, const std::string& default_path,
                                 const std::string& filters, int selected_filter) override;
    std::string save_file_dialog(const std::string& title, const std::string& default_path,
                                 const std::string& filters, int selected_filter) override;
    void copy_text(const std::string& text) override;
    std::string program_file_path() override;
    std::string data_dir() override;
    void begin_busy() override;
    void end_busy() override;

private:
    struct step {
        std::optional<window_event> event;
        std::optional<screen_point> pointer;  // main window inner coordinates
        std::function<void()> action;
        bool to_main_window = false;
        int64_t idle = 0;  // milliseconds of doing nothing
    };
    // A new control record in place of any control of that number.
    control_record& place_control(int window, int control, int x, int y, int width, int height);
    std::string answer_file_dialog();

    std::deque<step> script_;
    std::deque<window_event> pending_;  // popup choices, delivered before the script goes on
    screen_point pointer_{-100000, -100000};
    int64_t clock_ = 0;
    std::deque<int> randoms_;
    std::deque<bool> message_answers_;
    std::deque<std::string> input_answers_;
    std::deque<std::string> file_answers_;
    std::deque<int> popup_choices_;
    std::string program_file_path_ = "/quillmark/quillmark";
    local_date_time now_{{7, 12, 2026}, 12, 0, 0};
    std::string data_dir_;
    bool refuse_windows_ = false;
    std::vector<screen_area> screens_{{0, 0, 1920, 1080}};
    static constexpr int max_dry_waits = 1000;
    int dry_waits_ = 0;
    int menu_bar_window_ = -1;
    int main_window_ = -1;
    int last_popup_ = -1;
};

}  // namespace quill
