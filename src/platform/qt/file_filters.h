#pragma once

#include <QStringList>

#include <string>

namespace quill {

// "description|pattern|description|pattern" as the logic writes filter lists, into Qt's name
// filters "description (patterns)". A description that does not show its pattern gets it
// appended; ";" between patterns becomes the blank Qt separates them with.
QStringList qt_name_filters(const std::string& filters);

}  // namespace quill
