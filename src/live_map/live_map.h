#pragma once

#include <QHostAddress>

#include <memory>
#include <string>
#include <vector>

#include "live_map/live_view.h"
#include "platform/platform.h"
#include "state/game_state.h"

namespace quill {

class live_server;
class tile_service;
struct http_answer;

// The live map: the game, read-only, in the browsers of the local network. While it is shared,
// a page at the link shows the map as the program does and gets what changes after every event.
// It reads the game and never changes it; nothing is served from the file system.
class live_map {
public:
    explicit live_map(platform& system);
    ~live_map();
    live_map(const live_map&) = delete;
    live_map& operator=(const live_map&) = delete;

    // Starts sharing the game with a new key, on every address of the machine unless another
    // is given; false when no port could be had.
    bool start(const game_state& state, const QHostAddress& address = QHostAddress::Any);
    void stop();
    bool sharing() const;
    // One link for each network address the sharing is reached at: each of the machine's, or
    // 127.0.0.1 when it has none, when it listens on every address.
    std::vector<std::string> links() const;
    // Pages connected now.
    int page_count() const;

    // After every event: tells the pages what changed.
    void publish(const game_state& state);

private:
    void answer(const QString& path, const std::function<void(http_answer)>& reply);
    void follow_map(const live_view& view);
    // What the pages show now, taken afresh when no page was there to be told of changes.
    const live_view& current_view();

    platform& system_;
    std::unique_ptr<live_server> server_;
    std::unique_ptr<tile_service> tiles_;
    const game_state* state_ = nullptr;
    live_view shown_;
    bool shown_is_current_ = false;
    QHostAddress address_;
    picture_handle tiled_map_ = 0;
    uint64_t tiled_version_ = 0;
};

}  // namespace quill
