#include "live_map/http_request_parsing.h"

#include <QList>

namespace quill {

namespace {

constexpr QByteArrayView line_end = "\r\n";
constexpr QByteArrayView head_end = "\r\n\r\n";

// The characters of a method or field name.
bool is_token_char(char c) {
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) {
        return true;
    }
    return QByteArrayView("!#$%&'*+-.^_`|~").contains(c);
}

bool is_token(QByteArrayView text) {
    if (text.isEmpty()) {
        return false;
    }
    for (char c : text) {
        if (!is_token_char(c)) {
            return false;
        }
    }
    return true;
}

bool is_visible_ascii(QByteArrayView text) {
    for (char c : text) {
        if (c <= ' ' || c >= 0x7f) {
            return false;
        }
    }
    return !text.isEmpty();
}

// Control bytes other than the tab, and CR or LF outside a line end, never belong in a head.
bool has_stray_control(QByteArrayView bytes) {
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c == '\r') {
            if (i + 1 < bytes.size() && bytes[i + 1] != '\n') {
                return true;
            }
        } else if (c == '\n') {
            if (i == 0 || bytes[i - 1] != '\r') {
                return true;
            }
        } else if ((c < 0x20 && c != '\t') || c == 0x7f) {
            return true;
        }
    }
    return false;
}

bool parse_request_line(QByteArrayView line, http_request& request) {
    const qsizetype first_space = line.indexOf(' ');
    const qsizetype last_space = line.lastIndexOf(' ');
    if (first_space <= 0 || last_space == first_space) {
        return false;
    }
    const QByteArrayView method = line.first(first_space);
    const QByteArrayView target = line.sliced(first_space + 1, last_space - first_space - 1);
    const QByteArrayView version = line.sliced(last_space + 1);
    if (!is_token(method) || !is_visible_ascii(target)) {
        return false;
    }
    if (version == "HTTP/1.1") {
        request.minor_version = 1;
    } else if (version == "HTTP/1.0") {
        request.minor_version = 0;
    } else {
        return false;
    }
    request.method = method.toByteArray();
    request.target = target.toByteArray();
    return true;
}

bool parse_field(QByteArrayView line, http_request& request) {
    const qsizetype colon = line.indexOf(':');
    if (colon <= 0 || !is_token(line.first(colon))) {
        return false;
    }
    request.fields.emplace_back(line.first(colon).toByteArray().toLower(),
                                line.sliced(colon + 1).trimmed().toByteArray());
    return true;
}

}  // namespace

int http_request::count(QByteArrayView lower_name) const {
    int found = 0;
    for (const auto& [name, field_value] : fields) {
        found += name == lower_name ? 1 : 0;
    }
    return found;
}

QByteArray http_request::value(QByteArrayView lower_name) const {
    for (const auto& [name, field_value] : fields) {
        if (name == lower_name) {
            return field_value;
        }
    }
    return {};
}

bool http_request::lists(QByteArrayView lower_name, QByteArrayView token) const {
    for (const auto& [name, field_value] : fields) {
        if (name != lower_name) {
            continue;
        }
        for (const QByteArray& item : field_value.split(',')) {
            if (item.trimmed().compare(token, Qt::CaseInsensitive) == 0) {
                return true;
            }
        }
    }
    return false;
}

head_parse parse_request_head(QByteArrayView bytes, qsizetype max_bytes) {
    head_parse result;
    const qsizetype end = bytes.indexOf(head_end);
    const qsizetype head_size = end < 0 ? -1 : end + head_end.size();
    const QByteArrayView seen = head_size < 0 ? bytes : bytes.first(head_size);
    if (has_stray_control(seen.first(std::min(seen.size(), max_bytes)))) {
        result.state = head_state::malformed;
        return result;
    }
    const qsizetype first_line_end = seen.indexOf(line_end);
    if (first_line_end >= 0 && !parse_request_line(seen.first(first_line_end), result.request)) {
        result.state = head_state::malformed;
        return result;
    }
    if (head_size < 0 || head_size > max_bytes) {
        result.state = head_size > max_bytes || bytes.size() >= max_bytes ? head_state::too_large
                                                                          : head_state::incomplete;
        return result;
    }
    qsizetype line_start = first_line_end + line_end.size();
    while (line_start < end + line_end.size()) {
        const qsizetype line_stop = seen.indexOf(line_end, line_start);
        const QByteArrayView line = seen.sliced(line_start, line_stop - line_start);
        if (!parse_field(line, result.request)) {
            result.state = head_state::malformed;
            return result;
        }
        line_start = line_stop + line_end.size();
    }
    result.request.head_size = head_size;
    result.state = head_state::complete;
    return result;
}

}  // namespace quill
