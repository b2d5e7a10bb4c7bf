#include "app/command_line.h"

#include <utility>

namespace quill {

namespace {

command_line wrong(std::string problem) {
    return {command_line::request::wrong, {}, std::move(problem)};
}

}  // namespace

command_line parse_command_line(const std::vector<std::string>& arguments) {
    command_line result;
    bool options_ended = false;
    for (const std::string& argument : arguments) {
        if (!options_ended && argument == "--") {
            options_ended = true;
        } else if (!options_ended && (argument == "-h" || argument == "--help")) {
            result.what = command_line::request::help;
        } else if (!options_ended && argument.size() > 1 && argument.front() == '-') {
            return wrong("Unbekannte Option: " + argument);
        } else if (argument.empty()) {
            return wrong("Der Dateiname ist leer.");
        } else if (!result.party_file.empty()) {
            return wrong("Es kann nur eine Datei geöffnet werden.");
        } else {
            result.party_file = argument;
        }
    }
    return result;
}

std::string usage_text() {
    return "Aufruf: quillmark [SPIEL.qms | SPIEL.gls]\n"
           "Startet Quillmark und lädt den gespeicherten Spielstand, wenn eine Datei genannt "
           "ist.\n"
           "  -h, --help  zeigt diese Hilfe\n";
}

}  // namespace quill
