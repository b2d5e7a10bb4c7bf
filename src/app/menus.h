#pragma once

#include "platform/platform.h"
#include "state/undo_history.h"

namespace quill {

// The menu bar of the main window and the two popup menus of the map canvas.
void build_menus(platform& system);
// Greys the undo and redo items while there is nothing to take back or do again.
void show_undo_state(platform& system, const undo_history& history);
void register_shortcuts(platform& system);

}  // namespace quill
