#pragma once

#include <functional>
#include <optional>
#include <string>

namespace quill {

// Where a display server listens, as a client would connect to it.
struct display_socket {
    enum class kind { unix_path, unix_abstract, loopback_tcp };
    kind type = kind::unix_path;
    std::string path;  // unix_path, unix_abstract
    int port = 0;      // loopback_tcp
};

// The environment variable's value; nullopt when it is not set.
using environment_lookup = std::function<std::optional<std::string>(const std::string& name)>;
// Whether a connection to the socket can be made.
using socket_probe = std::function<bool(const display_socket&)>;

// Qt ends the program with an abort when its platform finds no display. This tells beforehand:
// a German line that names xvfb-run when the X11 or Wayland platforms Qt would use have no
// display set or none that answers on this machine, empty otherwise. Any other platform chosen
// in QT_QPA_PLATFORM (offscreen, for example), and displays on other hosts, are left to Qt.
std::string missing_display(const environment_lookup& environment, const socket_probe& probe);

// The same for this process's environment, probing the real sockets.
std::string missing_display();

}  // namespace quill
