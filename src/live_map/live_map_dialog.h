#pragma once

#include "live_map/live_map.h"
#include "platform/platform.h"

namespace quill {

// The dialog "Live-Karte" of a sharing: its links, the first as a QR code that a phone's camera
// reads, a button that copies that link and one that ends the sharing. Closing the dialog keeps
// the sharing on. Modal: the main window waits until it is closed.
void show_live_map_dialog(live_map& live, platform& system);

}  // namespace quill
