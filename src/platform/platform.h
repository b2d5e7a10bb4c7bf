#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/drawing.h"
#include "platform/picture_store.h"

namespace quill {

// The inner height of a window with a menu bar counts this many pixels for the bar, whatever
// the real bar needs.
inline constexpr int menu_bar_allowance = 25;

enum class window_style {
    // The program's one main window, which dialogs belong to when no other window of the
    // program is active. Title bar with system menu, resizable border, maximize button, no
    // minimize button.
    main_window,
    dialog,  // title bar with close box, fixed size, owned by another window
    popup,   // no title bar or border, owned by another window, at screen coordinates
    // A window that only shows: title bar with close box, resizable, no menu bar. No pointer
    // over it, and it never owns a dialog.
    viewer,
    // A viewer without title bar or border that fills the screen at the position it opens at.
    full_screen,
};

enum class event_kind {
    none,
    close_request,
    resized,
    moved,
    activated,
    deactivated,
    repaint,
    menu,
    control
};

enum class control_event {
    none,
    mouse_moved,
    left_pressed,
    left_released,
    left_click,   // pressed and released inside the control; also a push button's press
    right_click,  // right button released inside the control
    left_double_click,
    wheel,
};

struct screen_point {
    int x = 0;
    int y = 0;
};

// A screen's place and size on the desktop, in screen pixels.
struct screen_area {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    bool operator==(const screen_area&) const = default;
};

struct window_event {
    event_kind kind = event_kind::none;
    int window = -1;
    int menu_id = 0;   // menu events: item id (menu bars, popup menus and shortcuts alike)
    int control = -1;  // control events: control number
    control_event type = control_event::none;
    // Where the pointer was when the event happened, in screen pixels: mouse_x and mouse_y
    // report it while the event is handled, however far the pointer has moved since. Empty
    // when the platform knows no such place; the pointer's present place counts then.
    std::optional<screen_point> pointer;
};

enum class key_modifier : unsigned { none = 0, ctrl = 1, shift = 2, alt = 4 };

enum class shortcut_key { keypad_plus, keypad_minus, enter, plus, minus, z, y, f11, escape };

enum class message_buttons { ok, yes_no };
enum class message_icon { none, error };

struct local_date {
    int day = 1;
    int month = 1;
    int year = 1970;
};

struct local_date_time {
    local_date date;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// The windowing and dialog services the logic relies on. The real program runs on the Qt
// backend; tests run on a scripted backend that replays queued events and dialog answers.
// Windows and controls are known by number, as the logic numbers them.
class platform {
public:
    virtual ~platform() = default;

    // Pictures and drawing are shared by every backend.
    picture_store& pictures() { return pictures_; }
    // Decodes a picture file that may take long, such as a level's map, into the store. When it
    // takes longer than half a second the main window shows how much of it is decoded, and
    // meanwhile it is redrawn and can be moved, but takes no input. 0 as from
    // picture_store::load.
    virtual picture_handle load_map_picture(const std::string& path) {
        return pictures_.load(path);
    }

    // Windows.
    virtual bool open_window(int number, int x, int y, int inner_width, int inner_height,
                             const std::string& title, window_style style, int owner) = 0;
    virtual void close_window(int number) = 0;
    virtual void set_window_title(int number, const std::string& title) = 0;
    virtual int inner_width(int window) = 0;
    // Counts the menu bar when the window has one.
    virtual int inner_height(int window) = 0;
    // The inner height below the menu bar, where the controls are.
    int client_height(int window) { return inner_height(window) - menu_bar_height(window); }
    virtual screen_point inner_screen_position(int window) = 0;
    virtual void disable_window(int window) = 0;
    virtual void enable_window(int window) = 0;
    virtual void activate_window(int window) = 0;
    // Shows the windows opened so far at once, framed and drawn, for a long step that follows
    // and keeps events from being handled; otherwise windows appear with the next wait for an
    // event or the next dialog.
    virtual void show_windows_now() = 0;

    // The screens of the desktop, the primary one first; never empty.
    virtual std::vector<screen_area> screens() = 0;
    // The index in screens() of the screen that holds most of the window; 0 when unknown.
    virtual int screen_of(int window) = 0;

    // Blocks until the next event arrives, without time limit.
    window_event wait_event() { return wait_event_until(std::nullopt); }
    // Blocks until the next event arrives or, when wake_at is given, until milliseconds()
    // reaches it; waking so gives an event of kind none. Lets a program that sits idle still do
    // what is due at a time, such as writing unsaved changes.
    virtual window_event wait_event_until(std::optional<int64_t> wake_at) = 0;
    // Pointer position relative to the window's inner area; -1 on an axis outside it. While an
    // event is handled, where that event happened.
    virtual int mouse_x(int window) = 0;
    virtual int mouse_y(int window) = 0;

    // Menus. A menu bar belongs to one window; menus and items are added in order.
    virtual void create_menu_bar(int window) = 0;
    virtual void add_menu(const std::string& title) = 0;
    virtual void add_menu_item(int id, const std::string& text) = 0;
    virtual void add_menu_separator() = 0;
    // Popup menus are numbered by the logic; items are added to the last created one.
    virtual void create_popup_menu(int menu) = 0;
    virtual void add_popup_item(int id, const std::string& text) = 0;
    // Shows the popup one pixel up and left of the pointer and blocks until it closes; a
    // chosen item arrives as the next menu event.
    virtual void show_popup_menu(int menu, int window) = 0;
    virtual void set_menu_item_text(int id, const std::string& text) = 0;
    // Shows a tick before the item (or takes it away); an item once ticked shows its state.
    virtual void set_menu_item_checked(int id, bool checked) = 0;
    // A disabled item is shown greyed and cannot be chosen.
    virtual void set_menu_item_enabled(int id, bool enabled) = 0;
    // menu_bar_allowance for a window with a menu bar, else 0.
    virtual int menu_bar_height(int window) = 0;
    virtual void add_shortcut(int window, unsigned modifiers, shortcut_key key, int id) = 0;

    // Controls. A coordinate of keep_value in move_control leaves that value unchanged.
    static constexpr int keep_value = INT32_MIN;
    virtual void create_canvas(int window, int control, int x, int y, int width, int height,
                               bool sunken) = 0;
    virtual void move_control(int control, int x, int y, int width, int height) = 0;
    virtual void hide_control(int control) = 0;
    virtual void show_control(int control) = 0;
    virtual void remove_control(int control) = 0;
    virtual screen_point control_position(int control) = 0;
    virtual void create_picture_box(int window, int control, int x, int y, int width, int height,
                                    picture_handle picture, bool sunken) = 0;
    virtual void set_picture_box_image(int control, picture_handle picture) = 0;
    virtual void create_button(int window, int control, int x, int y, int width, int height,
                               const std::string& text) = 0;

    // Drawing on a canvas; what was drawn is shown when the session ends.
    virtual std::unique_ptr<drawing> start_canvas_drawing(int control) = 0;
    // The canvas contents as a picture of the store (0 for an unknown control).
    virtual picture_handle canvas_picture(int control) = 0;

    // Time and chance. The counter only increases.
    virtual int64_t milliseconds() = 0;
    // Uniform in low..high, both included.
    virtual int random_int(int low, int high) = 0;
    // The local date and time of day.
    virtual local_date_time now() = 0;
    local_date today() { return now().date; }

    // Modal dialogs. message_box returns true only when Yes was pressed.
    virtual bool message_box(const std::string& title, const std::string& text,
                             message_buttons buttons, message_icon icon) = 0;
    // The empty text when cancelled.
    virtual std::string input_text(const std::string& title, const std::string& prompt,
                                   const std::string& default_text) = 0;
    // filters: "description|pattern|description|pattern"; the empty text when cancelled. An
    // empty default path opens the user's documents folder, not the working directory, which for
    // a program started from a desktop menu is often the root.
    virtual std::string open_file_dialog(const std::string& title, const std::string& default_path,
                                         const std::string& filters, int selected_filter) = 0;
    virtual std::string save_file_dialog(const std::string& title, const std::string& default_path,
                                         const std::string& filters, int selected_filter) = 0;

    // Puts the text on the clipboard, for pasting elsewhere.
    virtual void copy_text(const std::string& text) = 0;

    // Full path of the program file.
    virtual std::string program_file_path() = 0;
    // The user's folder for the program's own data (automatic saves); empty when there is none.
    virtual std::string data_dir() = 0;

    // The pointer shows that the program is busy from begin_busy until the matching end_busy,
    // so that a long load does not look like a hang; pairs may nest. Dialogs shown meanwhile
    // have the normal pointer. A backend without such a pointer shows nothing.
    virtual void begin_busy() {}
    virtual void end_busy() {}

private:
    picture_store pictures_;
};

// The busy pointer for the life of a scope, however it is left.
class busy_scope {
public:
    explicit busy_scope(platform& system) : system_(system) { system_.begin_busy(); }
    ~busy_scope() { system_.end_busy(); }
    busy_scope(const busy_scope&) = delete;
    busy_scope& operator=(const busy_scope&) = delete;

private:
    platform& system_;
};

// The index of the screen that holds the largest part of the box; 0 when none holds any.
int screen_covered_most(const std::vector<screen_area>& screens, const screen_area& box);

// "%dd.%mm.%yyyy" and the other masks built from %dd, %mm and %yyyy.
std::string format_date(const std::string& mask, const local_date& date);

}  // namespace quill
