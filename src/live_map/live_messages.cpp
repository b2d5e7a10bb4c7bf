#include "live_map/live_messages.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>

#include "live_map/map_tiles.h"

namespace quill {

namespace {

QString text(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

QJsonObject map_of(const live_view& view) {
    return {{"width", view.map_width},
            {"height", view.map_height},
            {"version", static_cast<qint64>(view.background_version)},
            {"top", view.background != 0 ? top_tile_level(view.map_width, view.map_height) : 0}};
}

QJsonObject picture_of(const live_picture& picture) {
    return {{"version", static_cast<qint64>(picture.version)},
            {"width", picture.width},
            {"height", picture.height}};
}

// The picture's name is its list's letter and the kind; null without a picture.
QJsonArray item_of(const live_item& item, char list) {
    const QJsonValue picture = item.kind < 0 ? QJsonValue(QJsonValue::Null)
                                             : QJsonValue(list + QString::number(item.kind));
    return {item.x, item.y, picture, item.label};
}

QJsonArray items_of(const std::vector<live_item>& items, char list) {
    QJsonArray shown;
    for (const live_item& item : items) {
        shown.append(item_of(item, list));
    }
    return shown;
}

// A running marker is sent once, when it starts; the page lets it run out by itself.
QJsonValue marker_of(const live_marker& marker) {
    if (!marker.active) {
        return QJsonValue::Null;
    }
    return QJsonObject{
        {"x", marker.x}, {"y", marker.y}, {"serial", static_cast<qint64>(marker.start_time)}};
}

bool same_text(const label_table& a, const label_table& b, int slot) {
    // The same shared text, which is the rule, is known without reading it.
    return &a[slot] == &b[slot] || a[slot] == b[slot];
}

QJsonObject changed_items(const std::vector<live_item>& before, const std::vector<live_item>& after,
                          char list) {
    QJsonObject set;
    for (std::size_t i = 0; i < after.size(); ++i) {
        if (i >= before.size() || before[i] != after[i]) {
            set.insert(QString::number(i), item_of(after[i], list));
        }
    }
    if (set.isEmpty() && before.size() == after.size()) {
        return {};
    }
    return {{"length", static_cast<int>(after.size())}, {"set", set}};
}

QString message_text(const QJsonObject& message) {
    return QString::fromUtf8(QJsonDocument(message).toJson(QJsonDocument::Compact));
}

}  // namespace

std::string full_message(const live_view& view) {
    QJsonObject pictures;
    for (const live_picture& picture : view.pictures) {
        pictures.insert(text(picture.name), picture_of(picture));
    }
    QJsonObject labels;
    for (int slot = 0; slot < label_count; ++slot) {
        if (!view.labels[slot].empty()) {
            labels.insert(QString::number(slot), text(view.labels[slot]));
        }
    }
    const QJsonObject message{{"type", "full"},
                              {"name", text(view.name)},
                              {"map", map_of(view)},
                              {"pictures", pictures},
                              {"tokens", items_of(view.tokens, 'p')},
                              {"graves", items_of(view.graves, 'g')},
                              {"transports", items_of(view.transports, 'r')},
                              {"dragged", view.dragged_transport},
                              {"marker", marker_of(view.marker)},
                              {"labels", labels}};
    return message_text(message).toStdString();
}

std::optional<std::string> change_message(const live_view& before, const live_view& after) {
    QJsonObject message;
    if (before.name != after.name) {
        message.insert("name", text(after.name));
    }
    if (before.background != after.background ||
        before.background_version != after.background_version ||
        before.map_width != after.map_width || before.map_height != after.map_height) {
        message.insert("map", map_of(after));
    }
    QJsonObject pictures;
    for (const live_picture& picture : after.pictures) {
        const live_picture* earlier = find_picture(before, picture.name);
        if (earlier == nullptr || *earlier != picture) {
            pictures.insert(text(picture.name), picture_of(picture));
        }
    }
    for (const live_picture& picture : before.pictures) {
        if (find_picture(after, picture.name) == nullptr) {
            pictures.insert(text(picture.name), QJsonValue::Null);
        }
    }
    if (!pictures.isEmpty()) {
        message.insert("pictures", pictures);
    }
    const auto add_items = [&](const char* key, const std::vector<live_item>& was,
                               const std::vector<live_item>& is, char list) {
        const QJsonObject changed = changed_items(was, is, list);
        if (!changed.isEmpty()) {
            message.insert(key, changed);
        }
    };
    add_items("tokens", before.tokens, after.tokens, 'p');
    add_items("graves", before.graves, after.graves, 'g');
    add_items("transports", before.transports, after.transports, 'r');
    if (before.dragged_transport != after.dragged_transport) {
        message.insert("dragged", after.dragged_transport);
    }
    if (after.marker.active && before.marker != after.marker) {
        message.insert("marker", marker_of(after.marker));
    }
    QJsonObject labels;
    for (int slot = 0; slot < label_count; ++slot) {
        if (!same_text(before.labels, after.labels, slot)) {
            labels.insert(QString::number(slot), text(after.labels[slot]));
        }
    }
    if (!labels.isEmpty()) {
        message.insert("labels", labels);
    }
    if (message.isEmpty()) {
        return std::nullopt;
    }
    message.insert("type", "changes");
    return message_text(message).toStdString();
}

}  // namespace quill
