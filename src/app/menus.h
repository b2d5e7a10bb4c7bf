#pragma once

#include <string>

#include "platform/platform.h"
#include "state/undo_history.h"

namespace quill {

// The menu bar of the main window and the two popup menus of the map canvas.
void build_menus(platform& system);
// Greys the undo and redo items while there is nothing to take back or do again.
void show_undo_state(platform& system, const undo_history& history);
void register_shortcuts(platform& system);
// The item of the live map reads what it does: start the sharing, or show it again.
std::string live_map_item_text(bool sharing);

}  // namespace quill
