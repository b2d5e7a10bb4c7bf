#include "live_map/live_map.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QNetworkInterface>
#include <QRegularExpression>

#include "live_map/live_messages.h"
#include "live_map/live_server.h"
#include "live_map/map_tiles.h"
#include "live_map/tile_service.h"

namespace quill {

namespace {

constexpr quint16 preferred_port = 8765;
constexpr int tile_cache_seconds = 3600;

struct page_file {
    const char* path;
    const char* resource;
    const char* content_type;
};

// The page and what it loads, built into the program.
constexpr page_file page_files[] = {
    {"", ":/live_map/index.html", "text/html; charset=utf-8"},
    {"index.html", ":/live_map/index.html", "text/html; charset=utf-8"},
    {"live_map.js", ":/live_map/live_map.js", "text/javascript; charset=utf-8"},
    {"live_map.css", ":/live_map/live_map.css", "text/css; charset=utf-8"},
    {"leaflet.js", ":/live_map/leaflet.js", "text/javascript; charset=utf-8"},
    {"leaflet.css", ":/live_map/leaflet.css", "text/css; charset=utf-8"},
};

http_answer page_answer(const page_file& file) {
    QFile resource(QString::fromLatin1(file.resource));
    if (!resource.open(QIODevice::ReadOnly)) {
        return {};
    }
    return {200, file.content_type, resource.readAll()};
}

QByteArray png_of(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

}  // namespace

live_map::live_map(platform& system) : system_(system) {}

live_map::~live_map() {
    stop();
}

bool live_map::start(const game_state& state, const QHostAddress& address) {
    stop();
    state_ = &state;
    tiles_ = std::make_unique<tile_service>();
    server_ = std::make_unique<live_server>();
    server_->answer = [this](const QString& path, std::function<void(http_answer)> reply) {
        answer(path, reply);
    };
    server_->greeting = [this] { return QByteArray::fromStdString(full_message(current_view())); };
    if (!server_->start(address, preferred_port)) {
        stop();
        return false;
    }
    address_ = address;
    shown_is_current_ = false;
    follow_map(current_view());
    return true;
}

void live_map::stop() {
    server_.reset();
    tiles_.reset();
    state_ = nullptr;
    shown_ = {};
    shown_is_current_ = false;
    tiled_map_ = 0;
    tiled_version_ = 0;
}

bool live_map::sharing() const {
    return server_ != nullptr && server_->running();
}

std::vector<std::string> live_map::links() const {
    if (!sharing()) {
        return {};
    }
    const auto link = [this](const QString& host) {
        return QStringLiteral("http://%1:%2/k/%3/")
            .arg(host)
            .arg(server_->port())
            .arg(server_->key())
            .toStdString();
    };
    if (address_ != QHostAddress::Any && address_ != QHostAddress::AnyIPv4) {
        return {link(address_.toString())};
    }
    std::vector<std::string> found;
    for (const QNetworkInterface& interface : QNetworkInterface::allInterfaces()) {
        const auto flags = interface.flags();
        if (!flags.testFlag(QNetworkInterface::IsUp) ||
            !flags.testFlag(QNetworkInterface::IsRunning) ||
            flags.testFlag(QNetworkInterface::IsLoopBack)) {
            continue;
        }
        for (const QNetworkAddressEntry& entry : interface.addressEntries()) {
            const QHostAddress ip = entry.ip();
            if (ip.protocol() == QAbstractSocket::IPv4Protocol) {
                found.push_back(link(ip.toString()));
            }
        }
    }
    if (found.empty()) {
        found.push_back(link(QStringLiteral("127.0.0.1")));
    }
    return found;
}

int live_map::page_count() const {
    return sharing() ? server_->page_count() : 0;
}

void live_map::publish(const game_state& state) {
    if (!sharing()) {
        return;
    }
    state_ = &state;
    if (server_->page_count() == 0) {
        shown_is_current_ = false;
        if (state.level.background != tiled_map_ ||
            system_.pictures().version(state.level.background) != tiled_version_) {
            follow_map(current_view());
        }
        return;
    }
    live_view view = take_live_view(state, system_.pictures());
    follow_map(view);
    if (const std::optional<std::string> changes = change_message(current_view(), view)) {
        server_->broadcast(QByteArray::fromStdString(*changes));
    }
    shown_ = std::move(view);
    shown_is_current_ = true;
}

const live_view& live_map::current_view() {
    if (!shown_is_current_ && state_ != nullptr) {
        shown_ = take_live_view(*state_, system_.pictures());
        shown_is_current_ = true;
    }
    return shown_;
}

// The tiles are made from the picture the game shows; a new picture (a new level, a loaded
// game) makes new tiles under a new version.
void live_map::follow_map(const live_view& view) {
    if (view.background == tiled_map_ && view.background_version == tiled_version_) {
        return;
    }
    tiled_map_ = view.background;
    tiled_version_ = view.background_version;
    const QImage* picture = system_.pictures().image(view.background);
    tiles_->set_map(picture != nullptr ? *picture : QImage());
}

void live_map::answer(const QString& path, const std::function<void(http_answer)>& reply) {
    for (const page_file& file : page_files) {
        if (path == QLatin1String(file.path)) {
            reply(page_answer(file));
            return;
        }
    }
    static const QRegularExpression tile_path(
        QStringLiteral("^tiles/(\\d{1,19})/(\\d{1,2})/(\\d{1,9})/(\\d{1,9})\\.png$"));
    static const QRegularExpression picture_path(
        QStringLiteral("^pictures/([a-z]\\d{0,9})\\.png$"));
    if (const QRegularExpressionMatch tile = tile_path.match(path); tile.hasMatch()) {
        if (tile.captured(1).toULongLong() != tiled_version_) {
            reply({});
            return;
        }
        tiles_->request(tile.captured(2).toInt(), tile.captured(3).toInt(),
                        tile.captured(4).toInt(), [reply](QByteArray png) {
                            // A tile's address names its map's version: it never changes.
                            reply(png.isEmpty() ? http_answer{}
                                                : http_answer{200, "image/png", std::move(png),
                                                              tile_cache_seconds});
                        });
        return;
    }
    if (const QRegularExpressionMatch name = picture_path.match(path); name.hasMatch()) {
        const live_picture* picture = find_picture(current_view(), name.captured(1).toStdString());
        const QImage* image =
            picture != nullptr ? system_.pictures().image(picture->handle) : nullptr;
        if (image != nullptr && !image->isNull()) {
            reply({200, "image/png", png_of(*image), 0});
            return;
        }
    }
    reply({});
}

}  // namespace quill
