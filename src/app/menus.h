#pragma once

#include "platform/platform.h"

namespace quill {

// The menu bar of the main window and the two popup menus of the map canvas.
void build_menus(platform& system);
void register_shortcuts(platform& system);

}  // namespace quill
