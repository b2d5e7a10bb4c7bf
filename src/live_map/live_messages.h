#pragma once

#include <optional>
#include <string>

#include "live_map/live_view.h"

namespace quill {

// The messages that keep a page's map like the program's, as JSON text. A page that connects
// gets the whole view once:
//   {"type":"full","name":…,"map":{"width","height","version","top"},
//    "pictures":{"p0":{"version","width","height"},…},
//    "tokens":[[x,y,picture,label],…],"graves":[…],"transports":[…],"dragged":-1,
//    "marker":{"x","y","serial"} or null,"labels":{"3":"RIP …",…}}
// and then, after each change, only what changed:
//   {"type":"changes", any of "name","map","pictures" (null for a picture gone),
//    "tokens"/"graves"/"transports":{"length":n,"set":{"4":[x,y,picture,label]}},
//    "dragged","marker","labels" ("" for an inscription gone)}.
// Tiles of the map are at tiles/<map version>/<z>/<x>/<y>.png, pictures at
// pictures/<name>.png?v=<version>.
std::string full_message(const live_view& view);

// Nothing when the page would show the same; a marker that ran out by itself is no change.
std::optional<std::string> change_message(const live_view& before, const live_view& after);

}  // namespace quill
