#include "e2e/x_session.h"

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xfixes.h>

#include <QDir>
#include <QFile>
#include <QStringList>

#include <algorithm>
#include <bit>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <sstream>
#include <thread>

namespace quill::e2e {

namespace {

using ::testing::AssertionFailure;
using ::testing::AssertionResult;
using ::testing::AssertionSuccess;

constexpr auto patience = std::chrono::seconds(15);
constexpr int patience_ms = 15000;
constexpr int screen_width = 1600;
constexpr int screen_height = 1000;

// A desktop of two monitors side by side: Xvfb puts every screen at 0,0, so the dummy driver of
// the real X server makes one large screen that xrandr then splits. The modes are the ones
// cvt gives for 60 Hz.
constexpr const char* dummy_settings = R"(Section "Device"
    Identifier "dummy"
    Driver "dummy"
    VideoRam 65536
EndSection
Section "Monitor"
    Identifier "monitor"
    HorizSync 5.0 - 1000.0
    VertRefresh 5.0 - 200.0
EndSection
Section "Screen"
    Identifier "screen"
    Device "dummy"
    Monitor "monitor"
    DefaultDepth 24
    SubSection "Display"
        Depth 24
        Virtual 3520 1200
    EndSubSection
EndSection
)";
const std::vector<QStringList> monitor_layout = {
    {"--newmode", "1600x1000_60.00", "132.25", "1600", "1696", "1864", "2128", "1000", "1003",
     "1009", "1038", "-hsync", "+vsync"},
    {"--newmode", "1920x1080_60.00", "173.00", "1920", "2048", "2248", "2576", "1080", "1083",
     "1088", "1120", "-hsync", "+vsync"},
    {"--addmode", "DUMMY0", "1600x1000_60.00"},
    {"--addmode", "DUMMY1", "1920x1080_60.00"},
    {"--output", "DUMMY0", "--mode", "1600x1000_60.00", "--pos", "0x0", "--primary", "--output",
     "DUMMY1", "--mode", "1920x1080_60.00", "--pos", "1600x0"},
};

// New windows take the focus, as on a desktop. The mouse section is there to be empty: without
// one openbox binds its default mouse actions, among them a click on a window that raises it, for
// which it holds every press until it lets it through; presses that follow each other faster than
// a hand can press get lost on that way.
constexpr const char* window_manager_settings = R"(<?xml version="1.0" encoding="UTF-8"?>
<openbox_config xmlns="http://openbox.org/3.4/rc">
  <focus><focusNew>yes</focusNew></focus>
  <mouse></mouse>
</openbox_config>
)";

// Windows come and go between two requests; such errors are expected, not fatal.
int ignore_error(Display*, XErrorEvent*) {
    return 0;
}

std::vector<unsigned long> property_values(Display* display, Window window, const char* name,
                                           Atom type) {
    Atom actual = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long left = 0;
    unsigned char* data = nullptr;
    std::vector<unsigned long> values;
    if (XGetWindowProperty(display, window, XInternAtom(display, name, False), 0, 1024, False, type,
                           &actual, &format, &count, &left, &data) == Success &&
        data != nullptr) {
        if (format == 32) {
            const auto* longs = reinterpret_cast<const unsigned long*>(data);
            values.assign(longs, longs + count);
        }
        XFree(data);
    }
    return values;
}

std::string window_title(Display* display, Window window) {
    Atom actual = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long left = 0;
    unsigned char* data = nullptr;
    std::string title;
    if (XGetWindowProperty(display, window, XInternAtom(display, "_NET_WM_NAME", False), 0, 1024,
                           False, XInternAtom(display, "UTF8_STRING", False), &actual, &format,
                           &count, &left, &data) == Success &&
        data != nullptr) {
        title.assign(reinterpret_cast<const char*>(data), count);
        XFree(data);
    }
    return title;
}

bool viewable(Display* display, Window window) {
    XWindowAttributes attributes;
    return XGetWindowAttributes(display, window, &attributes) != 0 &&
           attributes.map_state == IsViewable;
}

int channel(unsigned long pixel, unsigned long mask) {
    return static_cast<int>((pixel & mask) >> std::countr_zero(mask));
}

rgb colour_at(XImage* image, int x, int y) {
    const unsigned long pixel = XGetPixel(image, x, y);
    return {channel(pixel, image->red_mask), channel(pixel, image->green_mask),
            channel(pixel, image->blue_mask)};
}

}  // namespace

std::ostream& operator<<(std::ostream& out, rgb colour) {
    return out << "(" << colour.r << ", " << colour.g << ", " << colour.b << ")";
}

std::ostream& operator<<(std::ostream& out, point at) {
    return out << "(" << at.x << ", " << at.y << ")";
}

x_session::~x_session() {
    if (display_ != nullptr) {
        XCloseDisplay(display_);
    }
    // Terminated rather than killed, so that the server removes its lock file and socket.
    for (QProcess* process : {&window_manager_, &server_}) {
        process->terminate();
        process->waitForFinished(patience_ms);
    }
}

AssertionResult x_session::start(bool with_window_manager) {
    server_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    // The server picks a free display and writes its number to the given descriptor.
    server_.start("Xvfb",
                  {"-displayfd", "1", "-screen", "0",
                   QString("%1x%2x24").arg(screen_width).arg(screen_height), "-nolisten", "tcp"});
    AssertionResult connected = connect("Xvfb");
    if (!connected) {
        return connected;
    }
    width_ = screen_width;
    height_ = screen_height;
    return with_window_manager ? start_window_manager() : AssertionSuccess();
}

AssertionResult x_session::start_two_screens() {
    if (!server_files_.isValid()) {
        return AssertionFailure() << "no folder for the X server's settings";
    }
    const QString settings = server_files_.filePath("dummy.conf");
    QFile settings_file(settings);
    if (!settings_file.open(QIODevice::WriteOnly) || settings_file.write(dummy_settings) < 0) {
        return AssertionFailure() << "cannot write " << settings.toStdString();
    }
    settings_file.close();
    QDir(server_files_.path()).mkdir("conf.d");
    server_.setProcessChannelMode(QProcess::SeparateChannels);
    server_.setStandardErrorFile(server_files_.filePath("server.err"));
    // Nothing from the machine's own X settings; the log in the folder of this session.
    server_.start("Xorg", {"-displayfd", "1", "-config", settings, "-configdir",
                           server_files_.filePath("conf.d"), "-logfile",
                           server_files_.filePath("Xorg.log"), "-nolisten", "tcp", "-noreset"});
    AssertionResult connected = connect("Xorg");
    if (!connected) {
        return connected;
    }
    for (const QStringList& arguments : monitor_layout) {
        QProcess xrandr;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("DISPLAY", QString::fromStdString(display_name_));
        xrandr.setProcessEnvironment(environment);
        xrandr.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        xrandr.start("xrandr", arguments);
        if (!xrandr.waitForFinished(patience_ms) || xrandr.exitCode() != 0) {
            return AssertionFailure()
                   << "xrandr " << arguments.join(' ').toStdString() << " failed";
        }
    }
    // xrandr fits the desktop around the monitors.
    XWindowAttributes root;
    if (XGetWindowAttributes(display_, DefaultRootWindow(display_), &root) == 0) {
        return AssertionFailure() << "the desktop's size is unknown";
    }
    width_ = root.width;
    height_ = root.height;
    return start_window_manager();
}

AssertionResult x_session::connect(const std::string& server) {
    // A window manager of the scenario's own may talk to the server from a thread of its own.
    XInitThreads();
    if (!server_.waitForStarted(patience_ms)) {
        return AssertionFailure() << server << " could not be started: "
                                  << server_.errorString().toStdString();
    }
    QByteArray number;
    while (!number.contains('\n')) {
        if (!server_.waitForReadyRead(patience_ms)) {
            return AssertionFailure() << server << " reported no display number";
        }
        number += server_.readAllStandardOutput();
    }
    display_name_ = ":" + number.trimmed().toStdString();
    display_ = XOpenDisplay(display_name_.c_str());
    if (display_ == nullptr) {
        return AssertionFailure() << "cannot connect to " << server << " on " << display_name_;
    }
    XSetErrorHandler(ignore_error);
    int event_base = 0;
    int error_base = 0;
    int major = 0;
    int minor = 0;
    if (!XTestQueryExtension(display_, &event_base, &error_base, &major, &minor)) {
        return AssertionFailure() << server << " on " << display_name_ << " offers no XTEST";
    }
    return AssertionSuccess();
}

AssertionResult x_session::start_window_manager() {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DISPLAY", QString::fromStdString(display_name_));
    window_manager_.setProcessEnvironment(environment);
    window_manager_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    if (!window_manager_config_.open() ||
        window_manager_config_.write(window_manager_settings) < 0 ||
        !window_manager_config_.flush()) {
        return AssertionFailure() << "cannot write the settings of openbox";
    }
    window_manager_.start("openbox",
                          {"--sm-disable", "--config-file", window_manager_config_.fileName()});
    if (!window_manager_.waitForStarted(patience_ms)) {
        return AssertionFailure() << "openbox could not be started: "
                                  << window_manager_.errorString().toStdString();
    }
    return wait_until(
        [this] {
            return !property_values(display_, DefaultRootWindow(display_),
                                    "_NET_SUPPORTING_WM_CHECK", XA_WINDOW)
                        .empty();
        },
        "openbox to manage the screen");
}

AssertionResult x_session::wait_window(const std::string& title, Window& found) {
    found = None;
    return wait_until(
        [&] {
            for (const unsigned long window : property_values(display_, DefaultRootWindow(display_),
                                                              "_NET_CLIENT_LIST", XA_WINDOW)) {
                if (window_title(display_, window) == title && viewable(display_, window)) {
                    found = window;
                    return true;
                }
            }
            return false;
        },
        "a window titled \"" + title + "\"");
}

AssertionResult x_session::wait_gone(Window window) {
    return wait_until(
        [&] {
            const std::vector<unsigned long> clients = property_values(
                display_, DefaultRootWindow(display_), "_NET_CLIENT_LIST", XA_WINDOW);
            return std::find(clients.begin(), clients.end(), window) == clients.end() ||
                   !viewable(display_, window);
        },
        "the window \"" + window_title(display_, window) + "\" to close");
}

AssertionResult x_session::wait_active(Window window) {
    return wait_until(
        [&] {
            const std::vector<unsigned long> active = property_values(
                display_, DefaultRootWindow(display_), "_NET_ACTIVE_WINDOW", XA_WINDOW);
            return !active.empty() && active.front() == window;
        },
        "the window \"" + window_title(display_, window) + "\" to be active");
}

std::vector<window_box> x_session::open_popups() {
    Window root = None;
    Window parent = None;
    Window* children = nullptr;
    unsigned int count = 0;
    std::vector<window_box> popups;
    if (XQueryTree(display_, DefaultRootWindow(display_), &root, &parent, &children, &count) == 0) {
        return popups;
    }
    // The window manager shows one such window of its own, out of sight.
    const std::vector<unsigned long> manager =
        property_values(display_, root, "_NET_SUPPORTING_WM_CHECK", XA_WINDOW);
    for (unsigned int i = 0; i < count; ++i) {
        XWindowAttributes attributes;
        if (std::find(manager.begin(), manager.end(), children[i]) == manager.end() &&
            XGetWindowAttributes(display_, children[i], &attributes) != 0 &&
            attributes.map_state == IsViewable && attributes.override_redirect) {
            popups.push_back({{attributes.x, attributes.y}, attributes.width, attributes.height});
        }
    }
    XFree(children);
    return popups;
}

AssertionResult x_session::wait_popups(size_t count) {
    return wait_until([&] { return open_popups().size() == count; },
                      std::to_string(count) + " open menus");
}

point x_session::origin(Window window) {
    int x = 0;
    int y = 0;
    Window child = None;
    XTranslateCoordinates(display_, window, DefaultRootWindow(display_), 0, 0, &x, &y, &child);
    return {x, y};
}

window_box x_session::inner(Window window) {
    XWindowAttributes attributes;
    if (XGetWindowAttributes(display_, window, &attributes) == 0) {
        return {};
    }
    return {origin(window), attributes.width, attributes.height};
}

// Asked as any program asks for a paste: the owner converts the selection into a property of a
// window of ours and says so.
std::string x_session::clipboard_text() {
    const Window requestor =
        XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, 1, 1, 0, 0, 0);
    const Atom target = XInternAtom(display_, "UTF8_STRING", False);
    const Atom property = XInternAtom(display_, "QUILLMARK_PASTE", False);
    XConvertSelection(display_, XInternAtom(display_, "CLIPBOARD", False), target, property,
                      requestor, CurrentTime);
    XSync(display_, False);
    std::string text;
    const auto deadline = std::chrono::steady_clock::now() + patience;
    XEvent event;
    while (std::chrono::steady_clock::now() < deadline) {
        if (!XCheckTypedWindowEvent(display_, requestor, SelectionNotify, &event)) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            continue;
        }
        if (event.xselection.property == None) {
            break;
        }
        Atom actual = None;
        int format = 0;
        unsigned long count = 0;
        unsigned long left = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(display_, requestor, property, 0, 65536, True, AnyPropertyType,
                               &actual, &format, &count, &left, &data) == Success &&
            data != nullptr) {
            text.assign(reinterpret_cast<const char*>(data), count);
            XFree(data);
        }
        break;
    }
    XDestroyWindow(display_, requestor);
    return text;
}

AssertionResult x_session::wait_framed_at(Window window, point corner) {
    std::ostringstream what;
    what << "the frame of \"" << window_title(display_, window) << "\" at " << corner;
    return wait_until(
        [&] {
            // Left, right, top, bottom; there once the window manager has framed the window.
            const std::vector<unsigned long> extents =
                property_values(display_, window, "_NET_FRAME_EXTENTS", XA_CARDINAL);
            const point inner = origin(window);
            return extents.size() == 4 && inner.x - static_cast<int>(extents[0]) == corner.x &&
                   inner.y - static_cast<int>(extents[2]) == corner.y;
        },
        what.str());
}

void x_session::close(Window window) {
    // As a task bar asks: the window manager then sends the window its close request.
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display_, "_NET_CLOSE_WINDOW", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = CurrentTime;
    event.xclient.data.l[1] = 2;  // a pager or task bar
    XSendEvent(display_, DefaultRootWindow(display_), False,
               SubstructureRedirectMask | SubstructureNotifyMask, &event);
    XSync(display_, False);
}

void x_session::move(point to) {
    XTestFakeMotionEvent(display_, -1, to.x, to.y, CurrentTime);
    XSync(display_, False);
}

void x_session::press(point at, unsigned button) {
    move(at);
    XTestFakeButtonEvent(display_, button, True, CurrentTime);
    XSync(display_, False);
}

void x_session::press_and_move(point at, point to) {
    move(at);
    XTestFakeButtonEvent(display_, Button1, True, CurrentTime);
    XTestFakeMotionEvent(display_, -1, to.x, to.y, CurrentTime);
    XSync(display_, False);
}

void x_session::release(unsigned button) {
    XTestFakeButtonEvent(display_, button, False, CurrentTime);
    XSync(display_, False);
}

void x_session::click(point at, unsigned button) {
    press(at, button);
    release(button);
}

void x_session::double_press(point at) {
    click(at);
    press(at);
}

void x_session::key_event(KeySym key, bool down) {
    XTestFakeKeyEvent(display_, XKeysymToKeycode(display_, key), down ? True : False, CurrentTime);
    XSync(display_, False);
}

void x_session::key(KeySym key, std::vector<KeySym> held) {
    for (const KeySym modifier : held) {
        key_event(modifier, true);
    }
    key_event(key, true);
    key_event(key, false);
    for (auto modifier = held.rbegin(); modifier != held.rend(); ++modifier) {
        key_event(*modifier, false);
    }
}

void x_session::type(const std::string& text) {
    for (const char c : text) {
        // Printable ASCII characters are their own key symbols.
        const auto symbol = static_cast<KeySym>(static_cast<unsigned char>(c));
        const KeyCode code = XKeysymToKeycode(display_, symbol);
        const bool shifted = XkbKeycodeToKeysym(display_, code, 0, 0) != symbol;
        key(symbol, shifted ? std::vector<KeySym>{XK_Shift_L} : std::vector<KeySym>{});
    }
}

rgb x_session::pixel(point at) {
    XImage* image =
        XGetImage(display_, DefaultRootWindow(display_), at.x, at.y, 1, 1, AllPlanes, ZPixmap);
    if (image == nullptr) {
        return {-1, -1, -1};
    }
    const rgb colour = colour_at(image, 0, 0);
    XDestroyImage(image);
    return colour;
}

bool x_session::find(rgb colour, point from, int width, int height, point& found) {
    const int left = std::max(0, from.x);
    const int top = std::max(0, from.y);
    width = std::min(width - (left - from.x), width_ - left);
    height = std::min(height - (top - from.y), height_ - top);
    if (width <= 0 || height <= 0) {
        return false;
    }
    XImage* image =
        XGetImage(display_, DefaultRootWindow(display_), left, top, static_cast<unsigned>(width),
                  static_cast<unsigned>(height), AllPlanes, ZPixmap);
    if (image == nullptr) {
        return false;
    }
    bool hit = false;
    for (int y = 0; y < height && !hit; ++y) {
        for (int x = 0; x < width && !hit; ++x) {
            if (colour_at(image, x, y) == colour) {
                found = {left + x, top + y};
                hit = true;
            }
        }
    }
    XDestroyImage(image);
    return hit;
}

AssertionResult x_session::wait_screen(const std::vector<seen>& expected) {
    AssertionResult result = wait_until(
        [&] {
            return std::all_of(expected.begin(), expected.end(),
                               [&](const seen& one) { return pixel(one.at) == one.colour; });
        },
        "these pixels:");
    if (!result) {
        for (const seen& one : expected) {
            result << "\n  " << one.at << " is " << pixel(one.at) << ", expected " << one.colour;
        }
    }
    return result;
}

AssertionResult x_session::use_keyboard_layout(const std::string& layout) {
    QProcess setter;
    setter.setProcessChannelMode(QProcess::ForwardedChannels);
    setter.start("setxkbmap", {"-display", QString::fromStdString(display_name_),
                               QString::fromStdString(layout)});
    if (!setter.waitForFinished(patience_ms) || setter.exitCode() != 0) {
        return AssertionFailure() << "setxkbmap could not set the layout " << layout;
    }
    return AssertionSuccess();
}

unsigned long x_session::pointer_shape() {
    XFixesCursorImage* image = XFixesGetCursorImage(display_);
    if (image == nullptr) {
        return 0;
    }
    const unsigned long serial = image->cursor_serial;
    XFree(image);
    return serial;
}

bool x_session::pointer_hidden() {
    XFixesCursorImage* image = XFixesGetCursorImage(display_);
    if (image == nullptr) {
        return false;
    }
    const size_t count = size_t{image->width} * image->height;
    const bool hidden = std::all_of(image->pixels, image->pixels + count,
                                    [](unsigned long argb) { return (argb >> 24) == 0; });
    XFree(image);
    return hidden;
}

AssertionResult x_session::wait_until(const std::function<bool()>& done, const std::string& what) {
    return wait_until(done, what, patience);
}

AssertionResult x_session::wait_until(const std::function<bool()>& done, const std::string& what,
                                      std::chrono::seconds how_long) {
    const auto deadline = std::chrono::steady_clock::now() + how_long;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return AssertionFailure() << "waited " << how_long.count() << " s for " << what
                                      << "; the screen is in " << save_screen();
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return AssertionSuccess();
}

std::string x_session::save_screen() {
    XImage* image =
        XGetImage(display_, DefaultRootWindow(display_), 0, 0, static_cast<unsigned>(width_),
                  static_cast<unsigned>(height_), AllPlanes, ZPixmap);
    if (image == nullptr) {
        return "no picture";
    }
    const std::filesystem::path file =
        std::filesystem::current_path() /
        (std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + ".ppm");
    std::ofstream out(file, std::ios::binary);
    out << "P6\n" << width_ << " " << height_ << "\n255\n";
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            const rgb colour = colour_at(image, x, y);
            out << static_cast<char>(colour.r) << static_cast<char>(colour.g)
                << static_cast<char>(colour.b);
        }
    }
    XDestroyImage(image);
    return file.string();
}

}  // namespace quill::e2e
