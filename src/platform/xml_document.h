#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quill {

struct xml_attribute {
    std::string name;
    std::string value;
};

// Texts are UTF-8, whatever the encoding of the file.
struct xml_element {
    std::string name;
    // The character data directly inside the element (not inside its children), unchanged.
    std::string text;
    std::vector<xml_attribute> attributes;  // in document order
    std::vector<xml_element> children;      // in document order
};

struct xml_document {
    // False when the file was missing, could not be opened or was empty: there is no document.
    bool loaded = false;
    // What was parsed, also when a parse error came later.
    std::optional<xml_element> root;
    bool well_formed = true;
    std::string error_text;  // the parser's description of the error
    int error_line = 0;      // 1-based
    int error_column = 0;    // 1-based character position within the line
};

// Parses with Expat. The encoding comes from the XML declaration (UTF-8 without one); besides
// Expat's own encodings, every single-byte encoding Qt's text converters know is understood.
// Elements nested more than 1000 levels deep end the parse with an error; a file larger than 16 MiB
// is not read.
xml_document read_xml_file(const std::string& path);
xml_document parse_xml(std::string_view bytes);

// UTF-8 without byte-order mark, beginning with <?xml version="1.0" encoding="UTF-8"?>, each
// element on a line of its own indented by indent blanks per level, lines ending in
// line_break, special characters escaped, an element without text or children written as an
// empty-element tag.
std::string format_xml(const xml_element& root, int indent = 2,
                       std::string_view line_break = "\r\n");
// Writes format_xml(root) atomically; false on any failure, the old file then left as it was.
bool save_xml_file(const std::string& path, const xml_element& root);

}  // namespace quill
