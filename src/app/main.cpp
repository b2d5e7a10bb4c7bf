#include <QApplication>

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "app/command_line.h"
#include "app/program.h"
#include "platform/qt/display_check.h"
#include "platform/qt/qt_platform.h"

int main(int argc, char** argv) {
    const quill::command_line command =
        quill::parse_command_line(std::vector<std::string>(argv + 1, argv + argc));
    if (command.what == quill::command_line::request::help) {
        std::fputs(quill::usage_text().c_str(), stdout);
        return 0;
    }
    if (command.what == quill::command_line::request::wrong) {
        std::fprintf(stderr, "quillmark: %s\n%s", command.problem.c_str(),
                     quill::usage_text().c_str());
        return 2;
    }
    // Without a display Qt would abort with a message that suggests reinstalling.
    if (const std::string problem = quill::missing_display(); !problem.empty()) {
        std::fprintf(stderr, "%s\n", problem.c_str());
        return 1;
    }
    // The folder of a file named relative to the working directory becomes party_dir.
    std::string party_file = command.party_file;
    if (!party_file.empty()) {
        std::error_code failed;
        const std::filesystem::path absolute = std::filesystem::absolute(party_file, failed);
        if (!failed) {
            party_file = absolute.string();
        }
    }
    quill::use_german_system_locale();
    // Qt gets no arguments: they were the program's, and a file name must not be taken for one
    // of Qt's options.
    int qt_argc = 1;
    QApplication application(qt_argc, argv);
    quill::qt_platform system;
    quill::game_state state;
    return quill::run_program(system, state, party_file);
}
