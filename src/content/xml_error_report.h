#pragma once

#include <string>

#include "platform/platform.h"
#include "platform/xml_document.h"

namespace quill {

// "Error in the XML file:" CR "Message: " … CR "Line: " … "   Character: " …
std::string xml_error_text(const xml_document& document);

// The one error box of every XML reader of the program.
void report_xml_error(platform& system, const xml_document& document);

}  // namespace quill
