#include "platform/xml_document.h"

#include "platform/files.h"

#include <algorithm>
#include <string>
#include <vector>

namespace quill {

namespace {

// XML 1.0 cannot carry these control characters at all, not even as references; writing them
// would produce a file that no longer parses, so they are left out.
bool is_forbidden_control(char c) {
    auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 && byte != '\t' && byte != '\n' && byte != '\r';
}

// A reader turns a carriage return in text into a line feed, and any line break or tab in an
// attribute value into a blank; as references they come back unchanged.
void append_escaped(std::string& out, std::string_view text, bool attribute) {
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += attribute ? "&quot;" : "\"";
                break;
            case '\r':
                out += "&#13;";
                break;
            case '\n':
                out += attribute ? "&#10;" : "\n";
                break;
            case '\t':
                out += attribute ? "&#9;" : "\t";
                break;
            default:
                if (!is_forbidden_control(c)) {
                    out += c;
                }
        }
    }
}

bool is_blank(std::string_view text) {
    return text.find_first_not_of(" \t\r\n") == std::string_view::npos;
}

void append_start_tag(std::string& out, const xml_element& element) {
    out += '<';
    out += element.name;
    for (const xml_attribute& attribute : element.attributes) {
        out += ' ';
        out += attribute.name;
        out += "=\"";
        append_escaped(out, attribute.value, true);
        out += '"';
    }
}

}  // namespace

std::string format_xml(const xml_element& root, int indent, std::string_view line_break) {
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>";
    out += line_break;

    // Walked with an explicit stack so that the depth of the tree never matters.
    struct open_element {
        const xml_element* element;
        std::size_t next_child;
    };
    std::vector<open_element> open;
    auto indentation = [&](std::size_t level) {
        return std::string(level * static_cast<std::size_t>(std::max(indent, 0)), ' ');
    };

    auto write = [&](const xml_element& element) {
        out += indentation(open.size());
        append_start_tag(out, element);
        if (!element.children.empty()) {
            out += '>';
            // Text beside children is kept after the start tag; blank text there is only the
            // layout of the file it was read from, which this layout replaces.
            if (!is_blank(element.text)) {
                append_escaped(out, element.text, false);
            }
            out += line_break;
            open.push_back({&element, 0});
            return;
        }
        if (element.text.empty()) {
            out += "/>";
        } else {
            out += '>';
            append_escaped(out, element.text, false);
            out += "</";
            out += element.name;
            out += '>';
        }
        out += line_break;
    };

    write(root);
    while (!open.empty()) {
        open_element& top = open.back();
        if (top.next_child < top.element->children.size()) {
            write(top.element->children[top.next_child++]);
            continue;
        }
        const xml_element& finished = *top.element;
        open.pop_back();
        out += indentation(open.size());
        out += "</";
        out += finished.name;
        out += '>';
        out += line_break;
    }
    return out;
}

bool save_xml_file(const std::string& path, const xml_element& root) {
    return save_file_atomically(path, format_xml(root));
}

}  // namespace quill
