#pragma once

#include <string>

#include "platform/picture_store.h"

namespace quill {

// The text as a QR code that a phone's camera reads: black modules on white, with the quiet zone
// of four modules around them that readers need, each module module_pixels square. 0 when the
// text does not fit into a code.
picture_handle make_qr_picture(picture_store& pictures, const std::string& text, int module_pixels);

}  // namespace quill
