#pragma once

#include <gtest/gtest.h>
#include <QProcess>
#include <QTemporaryDir>
#include <QTemporaryFile>

// After Qt: Xlib's macros break Qt's headers.
#include <X11/Xlib.h>

#include <chrono>
#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

namespace quill::e2e {

struct point {
    int x = 0;
    int y = 0;
    point operator+(point other) const { return {x + other.x, y + other.y}; }
};

struct rgb {
    int r = 0;
    int g = 0;
    int b = 0;
    bool operator==(const rgb&) const = default;
};

std::ostream& operator<<(std::ostream& out, point at);
std::ostream& operator<<(std::ostream& out, rgb colour);

// A screen pixel that a wait expects.
struct seen {
    point at;
    rgb colour;
};

struct window_box {
    point at;
    int width = 0;
    int height = 0;
};

// An X server of its own with a window manager, driven like a person would: real pointer and
// key input through XTest, screen pixels read back. Every wait polls and ends with a failure
// that says what was missing.
class x_session {
public:
    x_session() = default;
    x_session(const x_session&) = delete;
    x_session& operator=(const x_session&) = delete;
    ~x_session();

    // The X server, and the window manager unless it is to come later.
    ::testing::AssertionResult start(bool with_window_manager = true);
    ::testing::AssertionResult start_window_manager();
    // A real X server instead, with two monitors side by side (1600 x 1000, the primary, and
    // 1920 x 1080 right of it), and the window manager.
    ::testing::AssertionResult start_two_screens();
    // The keyboard layout by its XKB name ("de"), as setxkbmap sets it.
    ::testing::AssertionResult use_keyboard_layout(const std::string& layout);
    const std::string& display_name() const { return display_name_; }

    // A window the window manager manages, by its title.
    ::testing::AssertionResult wait_window(const std::string& title, Window& found);
    ::testing::AssertionResult wait_gone(Window window);
    ::testing::AssertionResult wait_active(Window window);
    // Mapped windows that the window manager does not manage: menus, in stacking order.
    std::vector<window_box> open_popups();
    ::testing::AssertionResult wait_popups(size_t count);
    point origin(Window window);
    // The inner area's size.
    window_box inner(Window window);
    // What the clipboard holds as text; empty when nothing or no answer within the patience.
    std::string clipboard_text();
    // Until the window manager has framed the window with the frame's outer corner there.
    ::testing::AssertionResult wait_framed_at(Window window, point corner);

    // Through the window manager, as its close button does.
    void close(Window window);
    void move(point to);
    void press(point at, unsigned button = Button1);
    // A press and a move right after it, sent together, as a quick hand makes them.
    void press_and_move(point at, point to);
    void release(unsigned button = Button1);
    void click(point at, unsigned button = Button1);
    void double_press(point at);
    void key(KeySym key, std::vector<KeySym> held = {});
    void type(const std::string& text);

    // The pointer's present picture, as a serial number that tells shapes apart.
    unsigned long pointer_shape();
    // Whether the pointer's present picture has no pixel that shows.
    bool pointer_hidden();
    rgb pixel(point at);
    // The first pixel of that colour in the box, scanning rows from the top.
    bool find(rgb colour, point from, int width, int height, point& found);
    ::testing::AssertionResult wait_screen(const std::vector<seen>& expected);
    ::testing::AssertionResult wait_until(const std::function<bool()>& done,
                                          const std::string& what);
    ::testing::AssertionResult wait_until(const std::function<bool()>& done,
                                          const std::string& what, std::chrono::seconds patience);

private:
    // Once the server was started: its display number read, the connection made.
    ::testing::AssertionResult connect(const std::string& server);
    void key_event(KeySym key, bool down);
    // Writes the screen to a picture named after the running test; returns its path.
    std::string save_screen();

    QProcess server_;
    QTemporaryDir server_files_;
    // The whole desktop's size.
    int width_ = 0;
    int height_ = 0;
    QProcess window_manager_;
    QTemporaryFile window_manager_config_;
    Display* display_ = nullptr;
    std::string display_name_;
};

}  // namespace quill::e2e
