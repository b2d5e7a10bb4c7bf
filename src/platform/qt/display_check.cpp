#include "platform/qt/display_check.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#if defined(__linux__)
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#endif

namespace quill {

namespace {

constexpr int x_tcp_base_port = 6000;

std::string variable(const environment_lookup& environment, const std::string& name) {
    return environment(name).value_or(std::string());
}

// The sockets an X client would try for DISPLAY, "[protocol/][host]:number[.screen]"; nullopt
// when that cannot be told here (another host, a form of another system), which leaves it to Qt.
std::optional<std::vector<display_socket>> x_sockets(const std::string& display) {
    std::string rest = display;
    std::string protocol;
    const std::string::size_type slash = rest.find('/');
    if (slash == 0) {
        return std::nullopt;
    }
    if (slash != std::string::npos) {
        protocol = rest.substr(0, slash);
        rest = rest.substr(slash + 1);
    }
    const std::string::size_type colon = rest.rfind(':');
    if (colon == std::string::npos) {
        return std::nullopt;
    }
    const std::string host = rest.substr(0, colon);
    std::string number;
    int value = 0;
    for (std::string::size_type i = colon + 1; i < rest.size() && rest[i] != '.'; ++i) {
        if (rest[i] < '0' || rest[i] > '9' || number.size() >= 5) {
            return std::nullopt;
        }
        number += rest[i];
        value = value * 10 + (rest[i] - '0');
    }
    if (number.empty()) {
        return std::nullopt;
    }
    if ((host.empty() || host == "unix") && protocol != "tcp" && protocol != "inet") {
        const std::string path = "/tmp/.X11-unix/X" + number;
        return std::vector<display_socket>{{display_socket::kind::unix_abstract, path, 0},
                                           {display_socket::kind::unix_path, path, 0}};
    }
    if (host == "localhost" || host == "127.0.0.1" || host == "::1") {
        return std::vector<display_socket>{
            {display_socket::kind::loopback_tcp, {}, x_tcp_base_port + value}};
    }
    return std::nullopt;
}

}  // namespace

std::string missing_display(const environment_lookup& environment, const socket_probe& probe) {
    bool wants_x = false;
    bool wants_wayland = false;
    const std::string platforms = variable(environment, "QT_QPA_PLATFORM");
    if (platforms.empty()) {
        // Qt picks one of the two by the session.
        wants_x = true;
        wants_wayland = true;
    }
    std::string::size_type start = 0;
    while (start < platforms.size()) {
        std::string::size_type end = platforms.find(';', start);
        if (end == std::string::npos) {
            end = platforms.size();
        }
        const std::string entry = platforms.substr(start, end - start);
        const std::string name = entry.substr(0, entry.find(':'));
        if (name == "xcb") {
            wants_x = true;
        } else if (name.starts_with("wayland")) {
            wants_wayland = true;
        } else if (!name.empty()) {
            return {};
        }
        start = end + 1;
    }

    std::vector<std::string> reasons;
    if (wants_x) {
        const std::string display = variable(environment, "DISPLAY");
        if (display.empty()) {
            reasons.push_back("DISPLAY ist nicht gesetzt");
        } else {
            const auto sockets = x_sockets(display);
            if (!sockets) {
                return {};
            }
            for (const display_socket& socket : *sockets) {
                if (probe(socket)) {
                    return {};
                }
            }
            reasons.push_back("die Anzeige \"" + display + "\" antwortet nicht");
        }
    }
    if (wants_wayland) {
        const std::string name = variable(environment, "WAYLAND_DISPLAY");
        const std::string runtime = variable(environment, "XDG_RUNTIME_DIR");
        if (!name.empty()) {
            const std::string path = name.front() == '/' ? name : runtime + "/" + name;
            if ((name.front() == '/' || !runtime.empty()) &&
                probe({display_socket::kind::unix_path, path, 0})) {
                return {};
            }
            reasons.push_back("die Wayland-Anzeige \"" + name + "\" antwortet nicht");
        } else if (!wants_x) {
            reasons.push_back("WAYLAND_DISPLAY ist nicht gesetzt");
        }
    }
    std::string text = "Quillmark findet keine grafische Anzeige (";
    for (std::size_t i = 0; i < reasons.size(); ++i) {
        text += (i == 0 ? "" : ", ") + reasons[i];
    }
    return text + "). Ohne Bildschirm läuft es in einer virtuellen Anzeige: xvfb-run -a quillmark";
}

#if defined(__linux__)

namespace {

bool connects(int family, const sockaddr* address, socklen_t length) {
    const int descriptor = ::socket(family, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (descriptor < 0) {
        return false;
    }
    const bool connected = ::connect(descriptor, address, length) == 0;
    ::close(descriptor);
    return connected;
}

bool probe_socket(const display_socket& socket) {
    if (socket.type == display_socket::kind::loopback_tcp) {
        sockaddr_in v4{};
        v4.sin_family = AF_INET;
        v4.sin_port = htons(static_cast<uint16_t>(socket.port));
        v4.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        sockaddr_in6 v6{};
        v6.sin6_family = AF_INET6;
        v6.sin6_port = htons(static_cast<uint16_t>(socket.port));
        v6.sin6_addr = in6addr_loopback;
        return connects(AF_INET, reinterpret_cast<const sockaddr*>(&v4), sizeof v4) ||
               connects(AF_INET6, reinterpret_cast<const sockaddr*>(&v6), sizeof v6);
    }
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    // An abstract socket's name follows a zero byte.
    const std::size_t offset = socket.type == display_socket::kind::unix_abstract ? 1 : 0;
    if (socket.path.size() + offset >= sizeof address.sun_path) {
        return false;
    }
    std::memcpy(address.sun_path + offset, socket.path.data(), socket.path.size());
    const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + offset +
                                               socket.path.size() + (offset == 0 ? 1 : 0));
    return connects(AF_UNIX, reinterpret_cast<const sockaddr*>(&address), length);
}

}  // namespace

std::string missing_display() {
    return missing_display(
        [](const std::string& name) -> std::optional<std::string> {
            const char* value = std::getenv(name.c_str());
            return value == nullptr ? std::nullopt : std::optional<std::string>(value);
        },
        probe_socket);
}

#else

// Elsewhere the display is not found through these variables.
std::string missing_display() {
    return {};
}

#endif

}  // namespace quill
