#pragma once

#include <memory>

#include "platform/platform.h"

class QWidget;

namespace quill {

// Makes Qt format dates and numbers the German way in its own windows (the file dialogs' lists),
// whatever the user's environment says. Qt reads the system locale once, so this must run
// before the QApplication is created.
void use_german_system_locale();

// The platform of the real program, on Qt Widgets. The QApplication must exist before it is
// constructed and outlive it.
class qt_platform : public platform {
public:
    qt_platform();
    ~qt_platform() override;
    qt_platform(const qt_platform&) = delete;
    qt_platform& operator=(const qt_platform&) = delete;

    picture_handle load_map_picture(const std::string& path) override;
    bool open_window(int number, int x, int y, int inner_width, int inner_height,
                     const std::string& title, window_style style, int owner = -1) override;
    void close_window(int number) override;
    void set_window_title(int number, const std::string& title) override;
    int inner_width(int window) override;
    int inner_height(int window) override;
    screen_point inner_screen_position(int window) override;
    void disable_window(int window) override;
    void enable_window(int window) override;
    void activate_window(int window) override;
    void show_windows_now() override;

    std::vector<screen_area> screens() override;
    int screen_of(int window) override;
    window_event wait_event_until(std::optional<int64_t> wake_at) override;
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

    // For tests: how long a map's load runs before its progress shows (half a second).
    void set_progress_delay(int milliseconds);
    // For tests, which drive the widgets directly; nullptr for an unknown number.
    QWidget* window_widget(int window) const;
    // The part of a window below its menu bar, holding the controls.
    QWidget* client_widget(int window) const;
    QWidget* widget_for_control(int control) const;

private:
    struct impl;
    std::unique_ptr<impl> impl_;
};

}  // namespace quill
