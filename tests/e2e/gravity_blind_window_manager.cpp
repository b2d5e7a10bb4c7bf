#include "e2e/gravity_blind_window_manager.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <poll.h>

#include <map>
#include <vector>

namespace quill::e2e {

namespace {

using ::testing::AssertionFailure;
using ::testing::AssertionResult;
using ::testing::AssertionSuccess;

Display* as_display(void* display) {
    return static_cast<Display*>(display);
}

// Only one client of a display may redirect its root window's children: the window manager.
std::atomic<bool> redirect_refused{false};

int note_refusal(Display*, XErrorEvent* error) {
    if (error->error_code == BadAccess) {
        redirect_refused = true;
    }
    return 0;
}

void set_windows(Display* display, Window window, const char* name, Atom type,
                 const std::vector<unsigned long>& values) {
    XChangeProperty(display, window, XInternAtom(display, name, False), type, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(values.data()),
                    static_cast<int>(values.size()));
}

// Where a framed window now stands, told the way a window manager tells it.
void tell_place(Display* display, Window window, int x, int y, int width, int height) {
    XEvent event{};
    event.xconfigure.type = ConfigureNotify;
    event.xconfigure.event = window;
    event.xconfigure.window = window;
    event.xconfigure.x = x;
    event.xconfigure.y = y;
    event.xconfigure.width = width;
    event.xconfigure.height = height;
    XSendEvent(display, window, False, StructureNotifyMask, &event);
}

}  // namespace

gravity_blind_window_manager::~gravity_blind_window_manager() {
    stopping_ = true;
    if (thread_.joinable()) {
        thread_.join();
    }
    if (display_ != nullptr) {
        XCloseDisplay(as_display(display_));
    }
}

AssertionResult gravity_blind_window_manager::start(const std::string& display_name) {
    Display* display = XOpenDisplay(display_name.c_str());
    if (display == nullptr) {
        return AssertionFailure() << "cannot connect to " << display_name;
    }
    display_ = display;
    XSetErrorHandler(note_refusal);
    const Window root = DefaultRootWindow(display);
    XSelectInput(display, root, SubstructureRedirectMask | SubstructureNotifyMask);
    XSync(display, False);
    if (redirect_refused) {
        return AssertionFailure() << "another window manager runs on " << display_name;
    }
    // Programs learn their frame from the frame extents a window manager says it supports.
    const Window check = XCreateSimpleWindow(display, root, -10, -10, 1, 1, 0, 0, 0);
    set_windows(display, root, "_NET_SUPPORTING_WM_CHECK", XA_WINDOW, {check});
    set_windows(display, check, "_NET_SUPPORTING_WM_CHECK", XA_WINDOW, {check});
    set_windows(display, root, "_NET_SUPPORTED", XA_ATOM,
                {XInternAtom(display, "_NET_FRAME_EXTENTS", False),
                 XInternAtom(display, "_NET_CLIENT_LIST", False)});
    XSync(display, False);
    thread_ = std::thread([this] { run(); });
    return AssertionSuccess();
}

void gravity_blind_window_manager::run() {
    Display* display = as_display(display_);
    const Window root = DefaultRootWindow(display);
    std::map<Window, Window> frames;  // by the window they hold
    std::vector<unsigned long> clients;
    while (!stopping_) {
        if (XPending(display) == 0) {
            pollfd connection{ConnectionNumber(display), POLLIN, 0};
            poll(&connection, 1, 20);
            continue;
        }
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == MapRequest) {
            const Window window = event.xmaprequest.window;
            XWindowAttributes inner;
            if (frames.contains(window) || XGetWindowAttributes(display, window, &inner) == 0) {
                XMapWindow(display, window);
                continue;
            }
            // The frame goes around the inner area where it stands.
            const Window frame = XCreateSimpleWindow(
                display, root, inner.x - border, inner.y - title_bar,
                static_cast<unsigned>(inner.width + 2 * border),
                static_cast<unsigned>(inner.height + title_bar + bottom), 0, 0, 0x808080);
            XSelectInput(display, frame, SubstructureRedirectMask | SubstructureNotifyMask);
            XAddToSaveSet(display, window);
            XReparentWindow(display, window, frame, border, title_bar);
            set_windows(display, window, "_NET_FRAME_EXTENTS", XA_CARDINAL,
                        {border, border, title_bar, bottom});
            XMapWindow(display, window);
            XMapWindow(display, frame);
            frames[window] = frame;
            clients.push_back(window);
            set_windows(display, root, "_NET_CLIENT_LIST", XA_WINDOW, clients);
            tell_place(display, window, inner.x, inner.y, inner.width, inner.height);
        } else if (event.type == ConfigureRequest) {
            const XConfigureRequestEvent& request = event.xconfigurerequest;
            const auto framed = frames.find(request.window);
            if (framed == frames.end()) {
                XWindowChanges changes{request.x,
                                       request.y,
                                       request.width,
                                       request.height,
                                       request.border_width,
                                       request.above,
                                       request.detail};
                XConfigureWindow(display, request.window, static_cast<unsigned>(request.value_mask),
                                 &changes);
                continue;
            }
            XWindowAttributes inner;
            XWindowAttributes frame;
            XGetWindowAttributes(display, request.window, &inner);
            XGetWindowAttributes(display, framed->second, &frame);
            // The position asked for is taken for the inner area's, whatever the gravity.
            const int x = (request.value_mask & CWX) != 0 ? request.x : frame.x + border;
            const int y = (request.value_mask & CWY) != 0 ? request.y : frame.y + title_bar;
            const int width = (request.value_mask & CWWidth) != 0 ? request.width : inner.width;
            const int height = (request.value_mask & CWHeight) != 0 ? request.height : inner.height;
            XMoveResizeWindow(display, framed->second, x - border, y - title_bar,
                              static_cast<unsigned>(width + 2 * border),
                              static_cast<unsigned>(height + title_bar + bottom));
            XResizeWindow(display, request.window, static_cast<unsigned>(width),
                          static_cast<unsigned>(height));
            tell_place(display, request.window, x, y, width, height);
        }
        XFlush(display);
    }
}

}  // namespace quill::e2e
