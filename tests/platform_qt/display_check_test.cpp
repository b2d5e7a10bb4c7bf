#include <gtest/gtest.h>

#include <map>
#include <set>

#include "platform/qt/display_check.h"

namespace quill {
namespace {

// An environment and the sockets that answer, written as "unix:PATH", "abstract:PATH" or
// "tcp:PORT".
struct display_case {
    std::map<std::string, std::string> environment;
    std::set<std::string> answering;
    // Empty: a display is there; otherwise a part of the message.
    std::string missing;
};

std::string socket_name(const display_socket& socket) {
    switch (socket.type) {
        case display_socket::kind::unix_path:
            return "unix:" + socket.path;
        case display_socket::kind::unix_abstract:
            return "abstract:" + socket.path;
        case display_socket::kind::loopback_tcp:
            return "tcp:" + std::to_string(socket.port);
    }
    return {};
}

TEST(display_check, tells_a_missing_display_before_qt_would_abort) {
    const std::vector<display_case> cases = {
        // Nothing set, as in a session over ssh.
        {{}, {}, "DISPLAY ist nicht gesetzt"},
        {{{"DISPLAY", ""}}, {}, "DISPLAY ist nicht gesetzt"},
        {{{"QT_QPA_PLATFORM", "xcb"}}, {}, "DISPLAY ist nicht gesetzt"},
        // Platforms that need no display are Qt's own matter.
        {{{"QT_QPA_PLATFORM", "offscreen"}}, {}, ""},
        {{{"QT_QPA_PLATFORM", "vnc:size=800x600"}}, {}, ""},
        // A local X server, by its abstract or its file socket.
        {{{"DISPLAY", ":0"}}, {"abstract:/tmp/.X11-unix/X0"}, ""},
        {{{"DISPLAY", ":12.0"}}, {"unix:/tmp/.X11-unix/X12"}, ""},
        {{{"DISPLAY", "unix:3"}}, {"unix:/tmp/.X11-unix/X3"}, ""},
        {{{"DISPLAY", ":7"}}, {"unix:/tmp/.X11-unix/X0"}, "die Anzeige \":7\" antwortet nicht"},
        // Forwarded over ssh to a port on this machine.
        {{{"DISPLAY", "localhost:10.0"}}, {"tcp:6010"}, ""},
        {{{"DISPLAY", "localhost:10.0"}}, {}, "die Anzeige \"localhost:10.0\" antwortet nicht"},
        // Another host, or a form this check does not know, is left to Qt.
        {{{"DISPLAY", "tisch:0"}}, {}, ""},
        {{{"DISPLAY", "/private/tmp/launchd/org.xquartz:0"}}, {}, ""},
        {{{"DISPLAY", ":x"}}, {}, ""},
        // Wayland: its socket in the runtime folder, or an absolute path.
        {{{"WAYLAND_DISPLAY", "wayland-0"}, {"XDG_RUNTIME_DIR", "/run/user/1000"}},
         {"unix:/run/user/1000/wayland-0"},
         ""},
        {{{"WAYLAND_DISPLAY", "/run/w"}, {"QT_QPA_PLATFORM", "wayland"}}, {"unix:/run/w"}, ""},
        {{{"WAYLAND_DISPLAY", "wayland-0"}, {"XDG_RUNTIME_DIR", "/run/user/1000"}},
         {},
         "die Wayland-Anzeige \"wayland-0\" antwortet nicht"},
        {{{"QT_QPA_PLATFORM", "wayland"}}, {}, "WAYLAND_DISPLAY ist nicht gesetzt"},
        // A list of platforms is tried in order; one that answers is enough.
        {{{"QT_QPA_PLATFORM", "wayland;xcb"}, {"DISPLAY", ":0"}}, {"unix:/tmp/.X11-unix/X0"}, ""},
        {{{"QT_QPA_PLATFORM", "xcb;offscreen"}}, {}, ""},
    };
    for (const display_case& c : cases) {
        std::string shown;
        for (const auto& [name, value] : c.environment) {
            shown += name + "=" + value + " ";
        }
        const std::string message = missing_display(
            [&](const std::string& name) -> std::optional<std::string> {
                const auto found = c.environment.find(name);
                return found == c.environment.end() ? std::nullopt
                                                    : std::optional<std::string>(found->second);
            },
            [&](const display_socket& socket) {
                return c.answering.contains(socket_name(socket));
            });
        if (c.missing.empty()) {
            EXPECT_EQ(message, "") << shown;
        } else {
            EXPECT_NE(message.find(c.missing), std::string::npos) << shown << ": " << message;
            EXPECT_NE(message.find("xvfb-run"), std::string::npos) << shown;
            EXPECT_EQ(message.find('\n'), std::string::npos) << shown;
        }
    }
}

}  // namespace
}  // namespace quill
