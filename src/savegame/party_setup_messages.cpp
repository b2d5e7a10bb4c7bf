#include "savegame/party_setup_messages.h"

namespace quill {

std::string missing_level_text(const std::string& level_path) {
    return "Die Leveldatei '" + level_path + "' kann nicht gefunden werden.";
}

void show_party_setup_error(platform& system, const std::string& text) {
    system.message_box("Quillmark", text, message_buttons::ok, message_icon::error);
}

}  // namespace quill
