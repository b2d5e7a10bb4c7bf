#include <gtest/gtest.h>

#include "app/command_line.h"

namespace quill {
namespace {

using request = command_line::request;

TEST(command_line_test, takes_one_file_help_and_rejects_everything_else) {
    struct case_t {
        std::vector<std::string> arguments;
        request what;
        std::string party_file;
        std::string problem;
    };
    const std::vector<case_t> cases = {
        {{}, request::run, "", ""},
        {{"SPIEL.qms"}, request::run, "SPIEL.qms", ""},
        {{"/home/a/alt.GLS"}, request::run, "/home/a/alt.GLS", ""},
        {{"Neues Spiel.qms"}, request::run, "Neues Spiel.qms", ""},
        {{"-"}, request::run, "-", ""},
        {{"--", "-spiel.qms"}, request::run, "-spiel.qms", ""},
        {{"--", "--"}, request::run, "--", ""},
        {{"-h"}, request::help, "", ""},
        {{"--help", "a.qms"}, request::help, "a.qms", ""},
        {{"a.qms", "b.qms"}, request::wrong, "", "Es kann nur eine Datei geöffnet werden."},
        {{"-platform", "offscreen"}, request::wrong, "", "Unbekannte Option: -platform"},
        {{"a.qms", "--version"}, request::wrong, "", "Unbekannte Option: --version"},
        {{"-x", "--", "a.qms"}, request::wrong, "", "Unbekannte Option: -x"},
        {{""}, request::wrong, "", "Der Dateiname ist leer."},
    };
    for (const case_t& c : cases) {
        std::string shown;
        for (const std::string& argument : c.arguments) {
            shown += "[" + argument + "]";
        }
        const command_line parsed = parse_command_line(c.arguments);
        EXPECT_EQ(parsed.what, c.what) << shown;
        EXPECT_EQ(parsed.party_file, c.party_file) << shown;
        EXPECT_EQ(parsed.problem, c.problem) << shown;
    }
    EXPECT_TRUE(usage_text().starts_with("Aufruf: quillmark"));
    EXPECT_TRUE(usage_text().ends_with("\n"));
}

}  // namespace
}  // namespace quill
