#include "platform/xml_document.h"

#include <QFile>
#include <QFileInfo>
#include <QString>

#include <expat.h>

#include <algorithm>
#include <array>
#include <initializer_list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace quill {

namespace {

// Destroying, copying or comparing a tree recurses once per level. A document nested deeper
// than this is cut off where the limit is reached, which keeps every such walk to a few
// hundred kilobytes of stack even in a sanitised debug build; content files nest three deep.
constexpr int max_depth = 1000;

// Content files are a few kilobytes; anything beyond this is not one of them and would only
// cost memory, since the tree is several times the size of the markup.
constexpr qint64 max_file_size = 16 * 1024 * 1024;

// Expat takes its input length as an int.
constexpr std::size_t chunk_size = 1 << 20;

// windows-1252 from 0x80 to 0x9F. The five bytes the code page leaves undefined (0x81, 0x8D,
// 0x8F, 0x90, 0x9D) keep their own value as a control character, as common decoders do, so
// that a stray byte does not make the whole file unreadable.
constexpr std::array<int, 32> windows_1252_high = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// The eight places where ISO-8859-15 differs from ISO-8859-1.
constexpr std::array<std::pair<int, int>, 8> iso_8859_15_changes = {{
    {0xA4, 0x20AC},
    {0xA6, 0x0160},
    {0xA8, 0x0161},
    {0xB4, 0x017D},
    {0xB8, 0x017E},
    {0xBC, 0x0152},
    {0xBD, 0x0153},
    {0xBE, 0x0178},
}};

bool same_name(const char* a, const char* b) {
    for (; *a != '\0' && *b != '\0'; ++a, ++b) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        if (lower(*a) != lower(*b)) {
            return false;
        }
    }
    return *a == *b;
}

bool is_any_of(const XML_Char* name, std::initializer_list<const char*> candidates) {
    return std::any_of(candidates.begin(), candidates.end(),
                       [name](const char* candidate) { return same_name(name, candidate); });
}

int XMLCALL provide_encoding(void*, const XML_Char* name, XML_Encoding* info) {
    for (int byte = 0; byte < 256; ++byte) {
        info->map[byte] = byte;
    }
    info->data = nullptr;
    info->convert = nullptr;
    info->release = nullptr;
    if (is_any_of(name, {"windows-1252", "cp1252", "x-cp1252"})) {
        for (int i = 0; i < 32; ++i) {
            info->map[0x80 + i] = windows_1252_high[i];
        }
        return XML_STATUS_OK;
    }
    if (is_any_of(name, {"iso-8859-15", "iso8859-15", "iso_8859-15", "latin-9", "latin9"})) {
        for (auto [byte, code_point] : iso_8859_15_changes) {
            info->map[byte] = code_point;
        }
        return XML_STATUS_OK;
    }
    return XML_STATUS_ERROR;
}

struct tree_builder {
    XML_Parser parser = nullptr;
    xml_document* document = nullptr;
    // The open elements, innermost last. Only the innermost one gets children, so the
    // addresses of its ancestors stay valid while it is open.
    std::vector<xml_element*> open;
};

void XMLCALL start_element(void* user_data, const XML_Char* name, const XML_Char** attributes) {
    auto& builder = *static_cast<tree_builder*>(user_data);
    if (builder.open.size() >= max_depth) {
        xml_document& document = *builder.document;
        document.well_formed = false;
        document.error_text =
            "elements nested more than " + std::to_string(max_depth) + " levels deep";
        document.error_line = static_cast<int>(XML_GetCurrentLineNumber(builder.parser));
        document.error_column = static_cast<int>(XML_GetCurrentColumnNumber(builder.parser)) + 1;
        XML_StopParser(builder.parser, XML_FALSE);
        return;
    }
    xml_element* element = nullptr;
    if (builder.open.empty()) {
        element = &builder.document->root.emplace();
    } else {
        element = &builder.open.back()->children.emplace_back();
    }
    element->name = name;
    for (const XML_Char** attribute = attributes; *attribute != nullptr; attribute += 2) {
        element->attributes.push_back({attribute[0], attribute[1]});
    }
    builder.open.push_back(element);
}

void XMLCALL end_element(void* user_data, const XML_Char*) {
    auto& builder = *static_cast<tree_builder*>(user_data);
    if (!builder.open.empty()) {
        builder.open.pop_back();
    }
}

void XMLCALL character_data(void* user_data, const XML_Char* text, int length) {
    auto& builder = *static_cast<tree_builder*>(user_data);
    if (!builder.open.empty()) {
        builder.open.back()->text.append(text, static_cast<std::size_t>(length));
    }
}

struct parser_deleter {
    void operator()(XML_ParserStruct* parser) const { XML_ParserFree(parser); }
};

}  // namespace

xml_document parse_xml(std::string_view bytes) {
    xml_document document;
    if (bytes.empty()) {
        return document;
    }
    document.loaded = true;

    std::unique_ptr<XML_ParserStruct, parser_deleter> parser(XML_ParserCreate(nullptr));
    if (!parser) {
        document.well_formed = false;
        document.error_text = XML_ErrorString(XML_ERROR_NO_MEMORY);
        return document;
    }
    tree_builder builder;
    builder.parser = parser.get();
    builder.document = &document;
    XML_SetUserData(parser.get(), &builder);
    XML_SetElementHandler(parser.get(), start_element, end_element);
    XML_SetCharacterDataHandler(parser.get(), character_data);
    XML_SetUnknownEncodingHandler(parser.get(), provide_encoding, nullptr);
    // External entities and the external DTD subset are never fetched: without an external
    // entity handler Expat skips such references, and parameter entities stay unparsed.
    XML_SetParamEntityParsing(parser.get(), XML_PARAM_ENTITY_PARSING_NEVER);

    XML_Status status = XML_STATUS_OK;
    std::size_t offset = 0;
    do {
        std::size_t length = std::min(chunk_size, bytes.size() - offset);
        bool last = offset + length == bytes.size();
        status = XML_Parse(parser.get(), bytes.data() + offset, static_cast<int>(length),
                           last ? XML_TRUE : XML_FALSE);
        offset += length;
    } while (status == XML_STATUS_OK && offset < bytes.size());

    // A stop for nesting too deep has already described itself.
    if (status == XML_STATUS_ERROR && document.well_formed) {
        document.well_formed = false;
        document.error_text = XML_ErrorString(XML_GetErrorCode(parser.get()));
        document.error_line = static_cast<int>(XML_GetCurrentLineNumber(parser.get()));
        document.error_column = static_cast<int>(XML_GetCurrentColumnNumber(parser.get())) + 1;
    }
    return document;
}

xml_document read_xml_file(const std::string& path) {
    const QString name = QString::fromStdString(path);
    if (!QFileInfo(name).isFile()) {
        return {};
    }
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    if (file.size() > max_file_size) {
        return {};
    }
    // Reading one byte past the known size tells a file that grew meanwhile apart, without
    // reserving the whole limit for every small content file.
    const QByteArray bytes = file.read(file.size() + 1);
    if (bytes.size() > file.size() || bytes.size() > max_file_size) {
        return {};
    }
    return parse_xml(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

}  // namespace quill
