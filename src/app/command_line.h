#pragma once

#include <string>
#include <vector>

namespace quill {

// What the program was asked to do by its arguments.
struct command_line {
    enum class request { run, help, wrong };
    request what = request::run;
    // The party file to open after start-up; empty for none.
    std::string party_file;
    // Why the arguments are wrong, in German, for request::wrong.
    std::string problem;
};

// The arguments after the program's name: at most one file, "-h" or "--help", and "--" before a
// file whose name begins with "-". Qt's own options are not taken: the program is the one
// that reads its arguments.
command_line parse_command_line(const std::vector<std::string>& arguments);

// The short German usage text, ending in a line break.
std::string usage_text();

}  // namespace quill
