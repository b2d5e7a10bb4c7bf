#pragma once

#include <string>

#include "platform/platform.h"

namespace quill {

inline constexpr const char* cannot_create_text = "Die Datei konnte nicht erstellt werden.";
inline constexpr const char* cannot_open_text = "Die Datei konnte nicht geöffnet werden.";
inline constexpr const char* incompatible_text =
    "Das Dateiformat ist nicht kompatibel mit der verwendeten Version von Quillmark.";

std::string missing_level_text(const std::string& level_path);

// The error box every party setup failure is reported in.
void show_party_setup_error(platform& system, const std::string& text);

}  // namespace quill
