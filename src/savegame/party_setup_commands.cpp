#include <algorithm>
#include <cctype>

#include "savegame/party_setup_file.h"

namespace quill {

namespace {

constexpr const char* save_title = "Quillmark - Aufstellung speichern";
constexpr const char* load_title = "Quillmark - Aufstellung laden";
constexpr const char* save_filters = "Partyaufstellung (*.qms)|*.qms";
constexpr const char* load_filters =
    "Partyaufstellung (*.qms)|*.qms|Altes Dateiformat (*.gls)|*.gls";
constexpr int first_filter = 0;

// Everything up to and including the last separator; empty for a bare name.
std::string directory_part(const std::string& path) {
    const std::string::size_type separator = path.find_last_of("/\\");
    return separator == std::string::npos ? std::string() : path.substr(0, separator + 1);
}

bool ends_with(const std::string& text, const std::string& ending) {
    return text.size() >= ending.size() &&
           text.compare(text.size() - ending.size(), ending.size(), ending) == 0;
}

// Only the name tells the two formats apart: their contents carry no common mark.
bool names_old_format(const std::string& path) {
    if (path.size() < 3) {
        return false;
    }
    std::string ending = path.substr(path.size() - 3);
    std::ranges::transform(ending, ending.begin(),
                           [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ending == "gls";
}

}  // namespace

save_outcome save_party_setup(game_state& state, platform& system) {
    std::string path =
        system.save_file_dialog(save_title, state.party_dir, save_filters, first_filter);
    if (path.empty()) {
        return save_outcome::cancelled;
    }
    state.party_dir = directory_part(path);
    if (!ends_with(path, ".qms")) {
        path += ".qms";
    }
    return write_party_setup(state, system, path) ? save_outcome::saved : save_outcome::failed;
}

void load_party_setup(game_state& state, platform& system) {
    const std::string path =
        system.open_file_dialog(load_title, state.party_dir, load_filters, first_filter);
    if (path.empty()) {
        return;
    }
    open_party_file(state, system, path);
}

void open_party_file(game_state& state, platform& system, const std::string& path) {
    state.party_dir = directory_part(path);
    const busy_scope busy(system);
    if (names_old_format(path)) {
        read_old_party_setup(state, system, path);
    } else {
        read_party_setup(state, system, path);
    }
}

}  // namespace quill
