#include "platform/xml_document.h"

#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QStringDecoder>

#include <expat.h>

#include <algorithm>
#include <memory>
#include <optional>
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

// Decodes one byte, or "A" after it, on its own; nullopt when the byte is not a character
// of its own there (multi-byte and stateful encodings), -1 when the encoding leaves it undefined.
std::optional<int> single_byte_value(QStringDecoder& decoder, char byte, bool probe_following) {
    const char bytes[2] = {byte, 'A'};
    const QString text = decoder.decode(QByteArrayView(bytes, probe_following ? 2 : 1));
    if (probe_following) {
        if (text.size() != 2 || text[1] != QLatin1Char('A')) {
            return std::nullopt;
        }
    } else if (text.size() != 1) {
        return -1;
    }
    const QChar unit = text[0];
    if (unit.isSurrogate() || unit == QChar::ReplacementCharacter) {
        return -1;
    }
    return unit.unicode();
}

// Any single-byte encoding Qt's converters know, byte by byte. A byte of 0x80..0x9F that the
// encoding leaves undefined (as windows-1252 does five) keeps its own value as a control
// character, as common decoders do, so that a stray byte does not make the whole file
// unreadable; other undefined bytes are malformed. Expat itself checks the ASCII range.
int XMLCALL provide_encoding(void*, const XML_Char* name, XML_Encoding* info) {
    info->data = nullptr;
    info->convert = nullptr;
    info->release = nullptr;
    QStringDecoder decoder(name, QStringConverter::Flag::Stateless);
    if (!decoder.isValid()) {
        return XML_STATUS_ERROR;
    }
    for (int byte = 0; byte < 256; ++byte) {
        const auto value = static_cast<char>(byte);
        if (!single_byte_value(decoder, value, true)) {
            return XML_STATUS_ERROR;
        }
        const int code = *single_byte_value(decoder, value, false);
        info->map[byte] = code >= 0 ? code : byte >= 0x80 && byte <= 0x9F ? byte : -1;
    }
    return XML_STATUS_OK;
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
