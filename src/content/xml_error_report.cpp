#include "content/xml_error_report.h"

namespace quill {

std::string xml_error_text(const xml_document& document) {
    return "Error in the XML file:\rMessage: " + document.error_text +
           "\rLine: " + std::to_string(document.error_line) +
           "   Character: " + std::to_string(document.error_column);
}

void report_xml_error(platform& system, const xml_document& document) {
    system.message_box("Error", xml_error_text(document), message_buttons::ok, message_icon::error);
}

}  // namespace quill
